#pragma once

#include "import/picture_import.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

#include <optional>

class Prompts;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

// The picture the canvas will get, each dot drawn as a Zoom x Zoom square.
class ImportPreview : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Zoom = 3;
    static constexpr int Border = 1;

    explicit ImportPreview(QSize target, QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage picture_;
};

// Import Picture: how a picture file becomes dots (fit, threshold, dither,
// invert), with a preview that follows every change. Modal.
class ImportDialog : public QDialog
{
    Q_OBJECT

public:
    // What OK gives: the dots, and the file they came from.
    struct Imported
    {
        QImage picture;
        QString fileName;
    };
    // What the window calls. Reads the file; when it cannot, shows the reason
    // through prompts and returns nothing. Otherwise shows the dialog and
    // returns the picture on OK, nothing on Cancel. With remembered, the
    // dialog starts from those options and OK stores the chosen ones there.
    // The recent pictures are offered in its Recent list.
    static std::optional<Imported> run(QWidget *parent, Prompts &prompts, const QString &fileName, bool halfHeight,
                                       ImportOptions *remembered = nullptr, const QStringList &recent = {});

    // For a picture already read (tests build the dialog this way and drive
    // it without exec()).
    explicit ImportDialog(PictureImport import, QWidget *parent = nullptr);
    // The file it shows first, and the recent pictures to offer besides.
    void offerRecent(const QString &fileName, const QStringList &recent);
    const QString &fileName() const { return fileName_; }

    // Sets the controls (and the preview) to the options.
    void setOptions(const ImportOptions &options);
    // The options the controls show; with the automatic threshold on, the
    // threshold is the one it found.
    ImportOptions options() const;
    // What OK gives: black and white dots at the display's size (128 x 32 in
    // the half-height mode), the same as the preview shows.
    QImage picture() const { return import_.picture(); }

private:
    void applyControls();
    void showThreshold();
    void openRecent(int index);

    PictureImport import_;
    QString fileName_;
    ImportPreview *preview;
    QComboBox *recentCombo;
    QComboBox *fitCombo;
    QCheckBox *autoThresholdCheck;
    QSlider *thresholdSlider;
    QLabel *thresholdValueLabel;
    QComboBox *ditherCombo;
    QCheckBox *invertCheck;
    QLabel *messageLabel;
    QPushButton *okButton;
    QPushButton *cancelButton;
};
