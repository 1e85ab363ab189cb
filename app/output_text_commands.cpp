// The output text: Convert writes the display bytes as text, Reformat For
// Output turns it into the transmission, and the text output window's
// Copy, Save, Clear and Restore.

#include "app/main_window.h"

#include "app/prompts.h"
#include "convert/byte_matrix.h"
#include "convert/reformat.h"
#include "convert/text_file.h"
#include "serial/param_prefix.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <stdexcept>

void MainWindow::onByteOrderChosen()
{
    state_.horizontalBytes = verticalOption->isChecked() ? 0 : 1;
}

void MainWindow::makeParamPrefix()
{
    state_.paramPrefix.clear();
    const std::optional<QString> prefix =
        buildParamPrefix(state_.eepromMode, state_.picBuffer, startAddressEdit->text(), state_.picDelay);
    if (!prefix)
        throw std::invalid_argument("the EEPROM start address is not a number from 0 to 65535");
    state_.paramPrefix = *prefix;
}

void MainWindow::convert()
{
    outputText->clear();
    saveTextButton->setEnabled(true);
    state_.workText.clear();
    state_.sendText.clear();
    state_.paramPrefix.clear();
    try {
        makeParamPrefix();
        state_.ByteMatrix = ::ByteMatrix();
        state_.byteValues.fill(0);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        state_.ByteMatrix = buildByteMatrix(canvas_, &state_.byteValues);
        const OutputFormat format{headerEdit->text(), footerEdit->text(), delimiterEdit->text(), formatEdit->text()};
        outputText->setPlainText(formatByteMatrix(state_.ByteMatrix, state_.horizontalBytes, format));
        state_.workText = outputText->toPlainText();
        state_.savedOutput = state_.workText;
        QApplication::restoreOverrideCursor();
    } catch (const std::exception &) {
        if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        prompts_.message(ConversionErrorMessage);
    }
    reformatButton->setEnabled(true);
}

void MainWindow::reformat()
{
    if (!formatAllowsReformat(formatEdit->text(), delimiterEdit->text())) {
        prompts_.message(NoFormatOrDelimitersMessage);
        return;
    }
    // No prefix (the last Convert failed, or Clear removed it): the PIC
    // would not know what the digits are for.
    if (state_.paramPrefix.isEmpty()) {
        prompts_.message(ConversionErrorMessage);
        return;
    }
    state_.workText = workTextFrom(outputText->toPlainText());
    state_.sendText = reformatForOutput(state_.workText, state_.picBuffer, state_.waitChars, state_.paramPrefix);
    outputText->setPlainText(state_.sendText);
    sendButton->setEnabled(true);
    reformatButton->setEnabled(false);
}

void MainWindow::copyOutput()
{
    QApplication::clipboard()->setText(outputText->toPlainText());
    prompts_.message(QStringLiteral("Text copied to Clipboad"));
}

void MainWindow::saveOutput()
{
    const QString text = outputText->toPlainText();
    const QString name =
        prompts_.ask(FileNamePrompt, QStringLiteral("Save Hex File"), QString::fromLatin1(HexFileDefaultName));
    if (name.isEmpty())
        return;
    const QString failure = writeHexFile(text, name);
    if (!failure.isEmpty())
        prompts_.message(SaveErrorPrefix + failure);
}

void MainWindow::clearOutput()
{
    outputText->clear();
    state_.paramPrefix.clear();
    saveTextButton->setEnabled(false);
}

void MainWindow::restoreOutput()
{
    outputText->setPlainText(state_.savedOutput);
    saveTextButton->setEnabled(true);
}
