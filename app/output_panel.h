#pragma once

#include "app/send_hold.h"
#include "convert/byte_matrix.h"

#include <QImage>
#include <QObject>
#include <QPoint>

#include <optional>

class Canvas;
class PicSettingsSource;
class Prompts;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;
struct WindowFrames;

// The output text: the Output Format boxes, the byte order, Convert (the
// picture's bytes as text), Reformat For Output (the transmission text),
// and the text output window with Copy, Save, Clear and Restore.
class OutputPanel : public QObject
{
    Q_OBJECT
public:
    OutputPanel(const WindowFrames &frames, const Canvas &canvas, const PicSettingsSource &picSettings,
                Prompts &prompts, QObject *parent);

    // What Send to LCD sends: the text the last Reformat For Output made,
    // empty again after a Convert.
    const QString &transmissionText() const { return sendText_; }
    // The picture the text output window describes (converted text in the
    // Output Format boxes' shape, or a byte list from source code), read in
    // the chosen byte order; nothing, after a message saying what was
    // found, when it describes none.
    std::optional<QImage> pictureFromText();
    // A text file's text into the text output window (a file dropped on it).
    void loadTextFile(const QString &fileName);
    // Whether a point of the window, in the window's own pixels, lies on
    // the text output window.
    bool isUnder(const QWidget *window, QPoint point) const;
    qint16 horizontalBytes() const { return horizontalBytes_; }
    // The four Output Format boxes.
    OutputFormat outputFormat() const;
    // During a send the output text and its settings do not change.
    void holdDuringSend(bool held, const QString &why = QString());

signals:
    // Reformat For Output made a transmission text: Send to LCD may go.
    void reformatted();
    // Convert wrote the picture's bytes.
    void converted();

private:
    void buildControls(const WindowFrames &frames);
    void convert();
    void reformat();
    void copy();
    void save();
    void clear();
    void restore();

    const Canvas &canvas_;
    const PicSettingsSource &picSettings_;
    Prompts &prompts_;
    qint16 horizontalBytes_ = 0; // 0 Vertical, any other value Horizontal
    QString workText_;           // working copy of the output text
    QString savedOutput_;        // the last converted text, for Restore
    QString paramPrefix_;        // the prefix taken at the last Convert
    QString sendText_;           // the transmission text
    SendHold hold_;

    QLineEdit *headerEdit = nullptr;
    QLineEdit *footerEdit = nullptr;
    QLineEdit *formatEdit = nullptr;
    QLineEdit *delimiterEdit = nullptr;
    QRadioButton *verticalOption = nullptr;
    QRadioButton *horizontalOption = nullptr;
    QPushButton *convertButton = nullptr;
    QPlainTextEdit *outputText = nullptr;
    QPushButton *copyButton = nullptr;
    QPushButton *saveTextButton = nullptr;
    QPushButton *clearTextButton = nullptr;
    QPushButton *restoreButton = nullptr;
    QPushButton *reformatButton = nullptr;
};
