#pragma once

#include "app/prompts.h"
#include "app/send_hold.h"
#include "convert/series_text.h"
#include "import/picture_series.h"
#include "serial/series_plan.h"
#include "terminal/traffic_log.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class PictureDocument;
class PortSession;
class QProgressBar;
class SeriesImport;
class SeriesPlayer;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimer;

// What the series takes from the main window when it needs it: the port,
// PIC settings and Output Format in force, and the picture document.
struct SeriesHost
{
    struct Settings
    {
        bool eepromMode = false;
        QString startAddressText;
        qint16 picBuffer = 32;
        qint16 picDelay = 10;
        std::optional<int> xmitDelayMs; // nothing when the box holds no delay
        SeriesTextSettings text;        // its waitChars are the wait text
        LineDuration characterTime{};
    };
    std::function<Settings()> settings;
    std::function<bool()> portOpen;
    // Its Import options and height: a series is imported as a picture
    // is. To Canvas puts a frame on it.
    PictureDocument *picture = nullptr;
    std::function<void(bool)> holdWindow; // the main window during a send
};

// The Series window: a series of pictures loaded, previewed, arranged and
// sent frame by frame through the port session, to the LCD with holds and
// loops or into the EEPROM one picture after the other.
class SeriesWindow : public QWidget
{
    Q_OBJECT
public:
    SeriesWindow(SeriesHost host, PortSession &session, Prompts &prompts, QWidget *parent);

    // Adds the frames of these files and folders, imported with the Import
    // options in force, on a worker thread: the window answers meanwhile
    // and its Cancel ends the import. A message says why when one cannot
    // be read; the files join Import's recent pictures.
    void loadPaths(const QStringList &paths);
    bool isImporting() const;
    bool isSending() const { return sending_; }
    // Ends the send after the character in flight, also in a hold. With
    // quietly, no message says so (the window is closing).
    void stop(bool quietly = false);
    // A send of the main window holds what would change its picture or its
    // line: To Canvas and Send, with a note that says so.
    void holdForOtherSend(bool held);

protected:
    void changeEvent(QEvent *event) override;

signals:
    // Characters of the frame in flight that have left, for the log.
    void sentChars(const QString &chars);

private:
    void buildControls();
    void load();
    void showFrames();
    void moveFrame(int by);
    // Every selected frame at once, Ctrl+A selecting all of them.
    void deleteFrames();
    void imported(const QStringList &paths, std::optional<std::vector<SeriesFrame>> loaded, QString error);
    void cancelImport();
    void endImport();
    void putOnCanvas();
    void togglePlay();
    void stopPlay();
    void showEstimate();
    std::optional<SeriesSendPlan> makePlan(QString *error) const;
    void send();
    // Hands the characters of the frame in flight that have left to the log.
    void logSent(int frame, int loop, qsizetype sent);
    void frameProgress(int frame, int loop, qsizetype sent, qsizetype total, double secondsLeft);
    void finished(const SeriesSendResult &result);
    int currentRow() const;
    void showSelected(); // in the preview, while nothing plays

    SeriesHost host_;
    SentChars sentChars_;
    PortSession &session_;
    std::unique_ptr<Prompts> ownPrompts_; // over this window, where the prompts show over windows
    Prompts &prompts_;
    std::vector<SeriesFrame> frames_;
    SeriesSendPlan plan_;
    std::pair<int, int> inFlight_{-1, -1}; // the frame and round whose characters are logged
    bool sending_ = false;
    bool quietStop_ = false;
    bool otherSendHeld_ = false; // the main window is sending
    SendHold hold_;
    SendHold otherSendHold_;

    QListWidget *frameStrip = nullptr;
    QLabel *preview = nullptr;
    QLabel *rateText = nullptr;
    QLabel *timeText = nullptr;
    QPushButton *loadButton = nullptr;
    QPushButton *folderButton = nullptr;
    QPushButton *playButton = nullptr;
    QPushButton *earlierButton = nullptr;
    QPushButton *laterButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QPushButton *canvasButton = nullptr;
    QSpinBox *holdBox = nullptr;
    QSpinBox *loopsBox = nullptr;
    QPushButton *sendButton = nullptr;
    QPushButton *stopButton = nullptr;
    QPushButton *cancelImportButton = nullptr;
    QProgressBar *importProgress = nullptr;
    SeriesPlayer *player = nullptr;
    SeriesImport *importer = nullptr;
};
