#pragma once

#include <QClipboard>
#include <QLineEdit>

#include <optional>

struct AddressBoxEdit;

// The EEPROM start-address box: four characters, read as a decimal number.
// Every way text gets in (keys, paste by key, menu or middle button, drop,
// input method) goes through the rules of start_address_entry.h, so nothing
// is cut to fit; what is refused says why in a balloon under the box.
// Addresses of five digits come in through the context menu's Start
// Address..., and then show in the empty box as its placeholder, since the
// box's own text cannot hold them.
class StartAddressBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit StartAddressBox(QWidget *parent);

    // The address as the prefix reads it: the box's text, or the address
    // given through Start Address... while the box shows that one.
    QString addressText() const;
    void setAddress(int address);

signals:
    // The context menu's Start Address... was chosen.
    void startAddressAsked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void pasteChecked(QClipboard::Mode mode);
    // Shows the reason when the edit is refused; true when it may go in.
    bool allowed(const AddressBoxEdit &edit);
    void showReason(const QString &reason);
    void forgetLongAddress();

    std::optional<int> longAddress_; // given through Start Address..., too long for the box
    QString reasonShown_;            // shown again once the refused key is let go
};
