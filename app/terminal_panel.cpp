#include "app/terminal_panel.h"

#include "app/control_factory.h"
#include "app/prompts.h"
#include "serial/field_reader.h"
#include "serial/port_session.h"
#include "terminal/receive_window.h"
#include "terminal/shared_traffic_log.h"

#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <functional>
#include <utility>

using namespace Colour;

namespace {
// The transmit window: every key pressed in it is reported before the box
// edits as usual.
class TransmitBox : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;
    std::function<void(int key, const QString &text)> keyPressed;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (keyPressed)
            keyPressed(event->key(), event->text());
        QPlainTextEdit::keyPressEvent(event);
    }
};

// Marks the receive window's changes made by the program for their length,
// so that only the user's own are taken for typing.
class ProgramEdit
{
public:
    explicit ProgramEdit(bool &flag) : flag_(flag), was_(std::exchange(flag, true)) {}
    ~ProgramEdit() { flag_ = was_; }
    ProgramEdit(const ProgramEdit &) = delete;
    ProgramEdit &operator=(const ProgramEdit &) = delete;

private:
    bool &flag_;
    bool was_;
};

// The hex view's fixed-pitch font: at this size the receive window's 170
// pixels hold a line of 8 bytes.
constexpr double HexFontPoints = 7.5;

QFont hexFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(HexFontPoints);
    return font;
}
} // namespace

TerminalPanel::TerminalPanel(QWidget *client, PortSession &session, Prompts &prompts, QObject *parent)
    : QObject(parent), session_(session), prompts_(prompts), log_(std::make_shared<SharedTrafficLog>())
{
    buildControls(client);
    // A failure to write waits in the log for the window.
    session_.setReceiveLog([log = log_](const QString &text) { log->write(TrafficDirection::Received, text); });
    connect(receivePollTimer, &QTimer::timeout, &session_, &PortSession::poll);
    connect(&session_, &PortSession::received, this, &TerminalPanel::showReceived);
    // No poll runs during a send; the port may be gone after it.
    connect(&session_, &PortSession::sendingChanged, this, [this](bool sending) {
        if (sending)
            receivePollTimer->stop();
        else if (portOpen_)
            receivePollTimer->start();
    });
    connect(receiveText, &QPlainTextEdit::textChanged, this, &TerminalPanel::onReceiveTextChanged);
    connect(receiveText->document(), &QTextDocument::contentsChange, this, &TerminalPanel::followUserEdit);
    // Its width decides the hex view's line; the viewport's own resize comes
    // once its new width is set.
    receiveText->viewport()->installEventFilter(this);
}

void TerminalPanel::buildControls(QWidget *client)
{
    receiveText = make<QPlainTextEdit>(client, Control::ReceiveText);
    receiveText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    receiveText->setPlainText(SerialInputTitle + QStringLiteral("\r\n"));
    // Received text is appended, not set: an undo step for each append
    // would hold every character that ever arrived.
    receiveText->setUndoRedoEnabled(false);
    setColours(receiveText, White, Navy);
    auto *box = make<TransmitBox>(client, Control::TransmitText);
    box->keyPressed = [this](int key, const QString &text) { sendTypedKey(key, text); };
    transmitText = box;
    transmitText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    transmitText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setColours(transmitText, White, Maroon);
    transmitActiveLabel =
        label(client, Control::TransmitActive, QStringLiteral("Transmit Window Active"), Grey, LightGreen);
    transmitActiveLabel->setFont(sansFont(8.25, true));
    transmitActiveLabel->hide();
    receivePollTimer = named(new QTimer(this), controlName(Control::ReceivePoll));
    receivePollTimer->setInterval(50);
}

void TerminalPanel::showOpening()
{
    transcript_.clear(); // what the window showed goes with it
    const ProgramEdit edit(programEdit_);
    receiveText->setPlainText(WaitingText);
}

void TerminalPanel::showOpen()
{
    transcript_.clear();
    showOpenLook();
}

void TerminalPanel::showReconnected(const QString &device)
{
    // The offsets and times go on from the first open: one session.
    appendToReceiveWindow(transcript_.notice(QStringLiteral("(reconnected to %1)").arg(device), shownEndsLine()));
    showOpenLook();
}

void TerminalPanel::showOpenLook()
{
    portOpen_ = true;
    receivePollTimer->start();
    setColours(receiveText, PaleYellow, Navy);
    setColours(transmitText, PaleGreen, Maroon);
    transmitActiveLabel->show();
}

void TerminalPanel::showClosed()
{
    portOpen_ = false;
    receivePollTimer->stop();
    {
        const ProgramEdit edit(programEdit_);
        receiveText->setPlainText(receiveTextOnClose(receiveText->toPlainText()));
    }
    transmitActiveLabel->hide();
    setColours(receiveText, White, Navy);
    setColours(transmitText, White, Maroon);
    transmitText->clear();
}

void TerminalPanel::holdDuringSend(bool held, const QString &why)
{
    // Keys typed now would go out in the middle of the send.
    if (held)
        hold_.hold({transmitText}, {}, why);
    else
        hold_.release();
}

void TerminalPanel::setTransmitText(const QString &text)
{
    transmitText->setPlainText(text);
}

void TerminalPanel::showReceived()
{
    // The line's thread has logged every character already.
    reportLogFailure();
    appendToReceiveWindow(transcript_.received(session_.takeReceived(), ReceiveWindowLimit));
}

bool TerminalPanel::showsPlaceholder() const
{
    return receiveText->document()->characterCount() - 1 == WaitingText.size() &&
           receiveText->toPlainText() == WaitingText;
}

bool TerminalPanel::shownEndsLine() const
{
    // The placeholder goes with the next text; an empty last block is an
    // empty window or one whose text ends with a line break.
    return showsPlaceholder() || receiveText->document()->lastBlock().length() == 1;
}

void TerminalPanel::appendToReceiveWindow(const QString &shown)
{
    if (shown.isEmpty())
        return;
    const ProgramEdit programEdit(programEdit_);
    // Only the new text is laid out, and the oldest lines go to make room.
    const qsizetype length = showsPlaceholder() ? 0 : receiveText->document()->characterCount() - 1;
    const ReceiveAppend edit = receiveAppend(length, shown);
    if (edit.replaceAll) {
        receiveText->setPlainText(edit.text);
    } else {
        QTextDocument *document = receiveText->document();
        qsizetype from = edit.dropFront;
        if (from > 0 && document->characterAt(from).isLowSurrogate())
            ++from;
        QTextCursor cursor(document);
        cursor.setPosition(from, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(edit.text);
    }
    // The newest text is what the user wants to see, from the start of its
    // line (a hex line is wider than the window).
    receiveText->moveCursor(QTextCursor::End);
    receiveText->ensureCursorVisible();
    receiveText->horizontalScrollBar()->setValue(0);
}

void TerminalPanel::onReceiveTextChanged()
{
    // Typing can push the window past its limit too; the oldest text goes.
    if (receiveText->document()->characterCount() - 1 > ReceiveWindowLimit) {
        const ProgramEdit edit(programEdit_);
        receiveText->setPlainText(capReceiveText(receiveText->toPlainText()));
    }
}

void TerminalPanel::followUserEdit(int position, int removed, int added)
{
    if (programEdit_ || transcript_.isEmpty())
        return;
    // Typing and erasing at the end of the window, where each arrival
    // leaves the cursor, keep their place among what arrives.
    const int end = receiveText->document()->characterCount() - 1;
    if (removed == 0 && added > 0 && position + added == end) {
        QTextCursor typed(receiveText->document());
        typed.setPosition(position);
        typed.setPosition(end, QTextCursor::KeepAnchor);
        transcript_.typed(typed.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
    } else if (added == 0 && removed > 0 && position == end) {
        transcript_.erased(removed);
    }
}

bool TerminalPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == receiveText->viewport() && event->type() == QEvent::Resize && transcript_.view().hex)
        showView(transcript_.view());
    return QObject::eventFilter(watched, event);
}

void TerminalPanel::sendTypedKey(int key, const QString &text)
{
    // Tab and Shift+Tab move to the next control; they are not typed.
    if (!portOpen_ || key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return;
    if (const std::optional<char> ch = keyPressToSend(key, text)) {
        session_.type(*ch);
        log(TrafficDirection::Sent, QString(QLatin1Char(*ch)));
    }
}

void TerminalPanel::setHexView(bool on)
{
    ReceiveView view = transcript_.view();
    view.hex = on;
    // Columns line up in a fixed-pitch font, and a line is never broken.
    receiveText->setFont(on ? hexFont() : QFont());
    receiveText->setLineWrapMode(on ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    showView(view);
}

void TerminalPanel::setTimes(bool on)
{
    ReceiveView view = transcript_.view();
    view.times = on;
    showView(view);
}

void TerminalPanel::showView(ReceiveView view)
{
    // As many bytes a hex line as the window's width holds in its font.
    const QFontMetricsF metrics(receiveText->font());
    const qreal room =
        receiveText->viewport()->width() - 2 * receiveText->document()->documentMargin() - receiveText->cursorWidth();
    const HexLayout layout = hexLayoutFor(int(room / metrics.horizontalAdvance(QLatin1Char('0'))), view.times);
    view.hexBytesPerLine = layout.bytesPerLine;
    view.hexOffsets = layout.offsets;
    if (transcript_.view() == view)
        return;
    const QString shown = transcript_.show(view);
    if (transcript_.isEmpty())
        return; // the caption or the placeholder stays
    const ProgramEdit edit(programEdit_);
    receiveText->setPlainText(shown);
    receiveText->moveCursor(QTextCursor::End);
    receiveText->ensureCursorVisible();
    receiveText->horizontalScrollBar()->setValue(0);
}

bool TerminalPanel::setLogging(bool on)
{
    log_->close();
    if (!on)
        return false;
    const QString chosen =
        prompts_.ask(FileNamePrompt, QStringLiteral("Log to File"),
                     logFileName_.isEmpty() ? QDir::home().filePath(QStringLiteral("voxcel.log")) : logFileName_);
    if (chosen.isEmpty())
        return false; // cancelled: no file is touched
    logFileName_ = chosen;
    QString error;
    if (log_->open(logFileName_, &error))
        return true;
    logFailed(error);
    return false;
}

void TerminalPanel::logFailed(const QString &error)
{
    prompts_.message(QStringLiteral("Log File Error - ") + error);
}

void TerminalPanel::logSent(const QString &chars)
{
    log(TrafficDirection::Sent, chars);
}

void TerminalPanel::log(TrafficDirection direction, const QString &chars)
{
    if (!log_->write(direction, chars))
        reportLogFailure();
}

void TerminalPanel::reportLogFailure()
{
    const QString error = log_->takeFailure();
    if (error.isEmpty())
        return;
    // The port goes on; only the log stops.
    emit loggingStopped();
    logFailed(error);
}

void TerminalPanel::openFieldFile()
{
    const QString name = prompts_.openFileName(QStringLiteral("LCD File to Open"));
    if (name.isEmpty())
        return; // cancelled
    const FieldFileResult read = readFieldFile(name);
    // Appending sends nothing: only typed keys go to the PIC.
    QTextCursor end(transmitText->document());
    end.movePosition(QTextCursor::End);
    end.insertText(displayableText(read.text));
    if (!read.error.isEmpty())
        prompts_.message(fileOpenErrorPrefix + read.error);
}
