#include "app/start_address_box.h"

#include "serial/start_address_entry.h"

#include <QAction>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QToolTip>

namespace {
AddressBoxState stateOf(const QLineEdit &box)
{
    return {box.text(), box.cursorPosition(), box.hasSelectedText() ? box.selectionStart() : 0,
            box.selectedText().size()};
}
} // namespace

StartAddressBox::StartAddressBox(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(StartAddressBoxLength);
    // Whatever the user puts in the box replaces a long address.
    connect(this, &QLineEdit::textEdited, this, &StartAddressBox::forgetLongAddress);
}

QString StartAddressBox::addressText() const
{
    if (longAddress_ && text().isEmpty())
        return QString::number(*longAddress_);
    return text();
}

void StartAddressBox::setAddress(int address)
{
    if (const std::optional<QString> inBox = addressBoxText(address)) {
        forgetLongAddress();
        setText(*inBox);
        return;
    }
    longAddress_ = address;
    setText(QString());
    // Shown as the placeholder, in the text's own colours.
    QPalette shown = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        shown.setColor(group, QPalette::PlaceholderText, shown.color(group, QPalette::Text));
    setPalette(shown);
    setPlaceholderText(QString::number(address));
}

void StartAddressBox::forgetLongAddress()
{
    longAddress_.reset();
    setPlaceholderText(QString());
}

void StartAddressBox::keyPressEvent(QKeyEvent *event)
{
    reasonShown_.clear();
    if (event->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            pasteChecked(QClipboard::Clipboard);
        event->accept();
        return;
    }
    // What the line edit would insert: printable text without Ctrl or Meta.
    const QString typed = event->text();
    const bool inserts =
        !typed.isEmpty() && typed.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (inserts && !isReadOnly() && !allowed(judgeTypedIntoAddressBox(stateOf(*this), typed))) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void StartAddressBox::keyReleaseEvent(QKeyEvent *event)
{
    // A balloon goes at the next key, the refused one's release included.
    if (!reasonShown_.isEmpty() && !event->isAutoRepeat()) {
        showReason(reasonShown_);
        reasonShown_.clear();
    }
    QLineEdit::keyReleaseEvent(event);
}

void StartAddressBox::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the selection on systems that have one.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection() && !isReadOnly()) {
        deselect();
        pasteChecked(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void StartAddressBox::dropEvent(QDropEvent *event)
{
    // Text moved inside the box keeps its length.
    if (event->source() == this && event->dropAction() == Qt::MoveAction) {
        QLineEdit::dropEvent(event);
        return;
    }
    AddressBoxState at{text(), cursorPositionAt(event->position().toPoint()), 0, 0};
    const AddressBoxEdit edit = judgePastedIntoAddressBox(at, event->mimeData()->text());
    if (isReadOnly() || !allowed(edit)) {
        event->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    deselect();
    setCursorPosition(static_cast<int>(at.cursor));
    insert(edit.insert);
    event->acceptProposedAction();
}

void StartAddressBox::inputMethodEvent(QInputMethodEvent *event)
{
    const QString committed = event->commitString();
    if (!committed.isEmpty() && !allowed(judgeTypedIntoAddressBox(stateOf(*this), committed))) {
        QInputMethodEvent nothing(QString(), {});
        QLineEdit::inputMethodEvent(&nothing);
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void StartAddressBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's Paste is checked as the keys' is.
    if (auto *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, this, &QLineEdit::paste);
        connect(paste, &QAction::triggered, this, [this] { pasteChecked(QClipboard::Clipboard); });
    }
    menu->addSeparator();
    QAction *ask = menu->addAction(QStringLiteral("&Start Address..."));
    ask->setObjectName(QStringLiteral("eepromStartAddress"));
    connect(ask, &QAction::triggered, this, &StartAddressBox::startAddressAsked);
    menu->popup(event->globalPos());
}

void StartAddressBox::pasteChecked(QClipboard::Mode mode)
{
    const AddressBoxEdit edit = judgePastedIntoAddressBox(stateOf(*this), QGuiApplication::clipboard()->text(mode));
    if (allowed(edit))
        insert(edit.insert);
}

bool StartAddressBox::allowed(const AddressBoxEdit &edit)
{
    if (edit.accepted)
        return true;
    reasonShown_ = edit.reason;
    showReason(edit.reason);
    return false;
}

void StartAddressBox::showReason(const QString &reason)
{
    // Under the box, where the eye is; it asks nothing and goes by itself.
    // As rich text the balloon wraps its lines instead of crossing the screen.
    QToolTip::showText(mapToGlobal(QPoint(0, height())), QStringLiteral("<p>%1</p>").arg(reason.toHtmlEscaped()), this);
}
