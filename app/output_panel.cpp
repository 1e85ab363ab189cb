#include "app/output_panel.h"

#include "app/control_factory.h"
#include "app/pic_settings_source.h"
#include "app/prompts.h"
#include "app/window_frames.h"
#include "convert/byte_matrix.h"
#include "convert/picture_text.h"
#include "convert/reformat.h"
#include "convert/text_file.h"
#include "serial/field_reader.h"
#include "text/file_kind.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

OutputPanel::OutputPanel(const WindowFrames &frames, const Canvas &canvas, const PicSettingsSource &picSettings,
                         Prompts &prompts, QObject *parent)
    : QObject(parent), canvas_(canvas), picSettings_(picSettings), prompts_(prompts)
{
    buildControls(frames);
    auto byteOrderChosen = [this] { horizontalBytes_ = verticalOption->isChecked() ? 0 : 1; };
    connect(verticalOption, &QRadioButton::clicked, this, byteOrderChosen);
    connect(horizontalOption, &QRadioButton::clicked, this, byteOrderChosen);
    connect(convertButton, &QPushButton::clicked, this, &OutputPanel::convert);
    connect(reformatButton, &QPushButton::clicked, this, &OutputPanel::reformat);
    connect(copyButton, &QPushButton::clicked, this, &OutputPanel::copy);
    connect(saveTextButton, &QPushButton::clicked, this, &OutputPanel::save);
    connect(clearTextButton, &QPushButton::clicked, this, &OutputPanel::clear);
    connect(restoreButton, &QPushButton::clicked, this, &OutputPanel::restore);
}

void OutputPanel::buildControls(const WindowFrames &frames)
{
    QGroupBox *format = frames.outputFormat;
    label(format, Control::HeaderLabel, QStringLiteral("Header"));
    headerEdit = make<QLineEdit>(format, Control::Header);
    label(format, Control::FooterLabel, QStringLiteral("Footer"));
    footerEdit = make<QLineEdit>(format, Control::Footer);
    auto *formatLabel = label(format, Control::FormatLabel, QStringLiteral("Format"));
    formatLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    formatEdit = make<QLineEdit>(format, Control::Format);
    formatEdit->setText(QStringLiteral("$"));
    auto *delimiterLabel = label(format, Control::DelimiterLabel, QStringLiteral("Delimiter"));
    delimiterLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    delimiterEdit = make<QLineEdit>(format, Control::Delimiter);
    delimiterEdit->setText(QStringLiteral(","));

    verticalOption = option(frames.byteMatrix, Control::Vertical, QStringLiteral("Vertical"));
    verticalOption->setChecked(true);
    horizontalOption = option(frames.byteMatrix, Control::Horizontal, QStringLiteral("Horizontal"));
    for (QRadioButton *orderOption : {verticalOption, horizontalOption})
        setColours(orderOption, Colour::Grey, Colour::White);

    convertButton = button(frames.graphics, Control::Convert, QStringLiteral("Convert"));

    // The text output window, editable by the user.
    auto *outputLabel = label(frames.client, Control::OutputTextLabel, QStringLiteral("Editable Text"), Colour::Grey);
    outputLabel->setFont(sansFont(8.25, true));
    outputText = make<QPlainTextEdit>(frames.client, Control::OutputText);
    outputText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A file dropped here gives its text, which the window reads (see
    // loadTextFile); the box itself would insert the file's name.
    outputText->setAcceptDrops(false);
    outputText->viewport()->setAcceptDrops(false);

    QGroupBox *commands = frames.outputCommands;
    copyButton = button(commands, Control::CopyText, QStringLiteral("Copy"));
    saveTextButton = button(commands, Control::SaveText, QStringLiteral("Save"), false);
    clearTextButton = button(commands, Control::ClearText, QStringLiteral("Clear"));
    restoreButton = button(commands, Control::RestoreText, QStringLiteral("Restore"));
    reformatButton = button(frames.directLoad, Control::Reformat, QStringLiteral("Reformat For Output"), false);
}

void OutputPanel::holdDuringSend(bool held, const QString &why)
{
    if (held)
        hold_.hold({headerEdit, footerEdit, formatEdit, delimiterEdit, verticalOption, horizontalOption, convertButton,
                    outputText, clearTextButton, restoreButton, reformatButton},
                   {}, why);
    else
        hold_.release();
}

OutputFormat OutputPanel::outputFormat() const
{
    return {headerEdit->text(), footerEdit->text(), delimiterEdit->text(), formatEdit->text()};
}

void OutputPanel::convert()
{
    outputText->clear();
    saveTextButton->setEnabled(true);
    workText_.clear();
    sendText_.clear();
    paramPrefix_.clear();
    if (const std::optional<QString> prefix = picSettings_.paramPrefix()) {
        paramPrefix_ = *prefix;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        outputText->setPlainText(formatByteMatrix(buildByteMatrix(canvas_), horizontalBytes_, outputFormat()));
        workText_ = outputText->toPlainText();
        savedOutput_ = workText_;
        QApplication::restoreOverrideCursor();
        emit converted();
    } else {
        prompts_.message(ConversionErrorMessage);
    }
    reformatButton->setEnabled(true);
}

void OutputPanel::reformat()
{
    if (!formatAllowsReformat(formatEdit->text(), delimiterEdit->text())) {
        prompts_.message(NoFormatOrDelimitersMessage);
        return;
    }
    // No prefix (the last Convert failed, or Clear removed it): the PIC
    // would not know what the digits are for.
    if (paramPrefix_.isEmpty()) {
        prompts_.message(ConversionErrorMessage);
        return;
    }
    workText_ = workTextFrom(outputText->toPlainText());
    sendText_ = reformatForOutput(workText_, picSettings_.picBuffer(), picSettings_.waitChars(), paramPrefix_);
    outputText->setPlainText(sendText_);
    reformatButton->setEnabled(false);
    emit reformatted();
}

void OutputPanel::copy()
{
    QApplication::clipboard()->setText(outputText->toPlainText());
    prompts_.message(QStringLiteral("Text copied to Clipboad"));
}

void OutputPanel::save()
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

void OutputPanel::clear()
{
    outputText->clear();
    paramPrefix_.clear();
    saveTextButton->setEnabled(false);
}

void OutputPanel::restore()
{
    outputText->setPlainText(savedOutput_);
    saveTextButton->setEnabled(true);
}

std::optional<QImage> OutputPanel::pictureFromText()
{
    const OutputFormat format{headerEdit->text(), footerEdit->text(), delimiterEdit->text(), formatEdit->text()};
    QString message;
    const std::optional<TextPicture> read =
        readPictureText(outputText->toPlainText(), format, horizontalBytes_, &message);
    if (!read) {
        prompts_.message(message); // what was found; the canvas stays as it is
        return std::nullopt;
    }
    return pictureFromByteMatrix(read->matrix);
}

void OutputPanel::loadTextFile(const QString &fileName)
{
    // Far more than any converted picture or byte list needs.
    constexpr qint64 MaxTextBytes = 4 * 1024 * 1024;
    if (!isRegularFile(fileName)) {
        prompts_.message(fileOpenErrorPrefix + QStringLiteral("%1 is not a file that can be read").arg(fileName));
        return;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        prompts_.message(fileOpenErrorPrefix + file.errorString());
        return;
    }
    const QByteArray bytes = file.read(MaxTextBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxTextBytes) {
        prompts_.message(fileOpenErrorPrefix +
                         (bytes.size() > MaxTextBytes ? QStringLiteral("the file is too long") : file.errorString()));
        return;
    }
    outputText->setPlainText(QString::fromLatin1(bytes)); // 8-bit text, as Save writes it
    saveTextButton->setEnabled(true);
}

bool OutputPanel::isUnder(const QWidget *window, QPoint point) const
{
    return outputText->rect().contains(outputText->mapFrom(window, point));
}
