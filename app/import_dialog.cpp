#include "app/import_dialog.h"

#include "app/prompts.h"
#include "app/window_look.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {
// In the order of ImportFit and ImportDither.
const QStringList FitCaptions{QStringLiteral("Fit"), QStringLiteral("Fill"), QStringLiteral("Stretch"),
                              QStringLiteral("Original size")};
const QStringList DitherCaptions{QStringLiteral("None"), QStringLiteral("Floyd-Steinberg"), QStringLiteral("Atkinson"),
                                 QStringLiteral("Ordered")};
} // namespace

ImportPreview::ImportPreview(QSize target, QWidget *parent) : QWidget(parent)
{
    setFixedSize(target.width() * Zoom + 2 * Border, target.height() * Zoom + 2 * Border);
    picture_ = QImage(target, QImage::Format_RGB32);
    picture_.fill(Qt::white);
}

void ImportPreview::setPicture(const QImage &picture)
{
    picture_ = picture;
    update();
}

void ImportPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Colour::Grey);
    // Without smoothing every dot stays a sharp square.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(Border, Border, picture_.width() * Zoom, picture_.height() * Zoom), picture_);
}

ImportDialog::ImportDialog(PictureImport import, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      import_(std::move(import))
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import Picture"));
    setModal(true);

    preview = named(new ImportPreview(import_.targetSize(), this), "importPreview");
    recentCombo = named(new QComboBox(this), "importRecent");
    recentCombo->setToolTip(QStringLiteral("The pictures imported last"));
    fitCombo = named(new QComboBox(this), "importFit");
    fitCombo->addItems(FitCaptions);
    autoThresholdCheck = named(new QCheckBox(QStringLiteral("&Automatic threshold"), this), "importAuto");
    thresholdSlider = named(new QSlider(Qt::Horizontal, this), "importThreshold");
    thresholdSlider->setRange(0, 255);
    thresholdSlider->setPageStep(16);
    thresholdValueLabel = named(new QLabel(this), "importThresholdValue");
    // Room for "255" so the slider does not move as the number changes.
    thresholdValueLabel->setMinimumWidth(thresholdValueLabel->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    thresholdValueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ditherCombo = named(new QComboBox(this), "importDither");
    ditherCombo->addItems(DitherCaptions);
    invertCheck = named(new QCheckBox(QStringLiteral("&Invert"), this), "importInvert");
    messageLabel = named(new QLabel(this), "importMessage");
    messageLabel->setWordWrap(true);
    messageLabel->hide();

    auto *buttons = named(new QDialogButtonBox(this), "importButtons");
    okButton = named(buttons->addButton(QDialogButtonBox::Ok), "importOk");
    cancelButton = named(buttons->addButton(QDialogButtonBox::Cancel), "importCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *thresholdRow = new QHBoxLayout;
    thresholdRow->addWidget(thresholdSlider);
    thresholdRow->addWidget(thresholdValueLabel);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Picture:"), recentCombo);
    form->addRow(QStringLiteral("&Fit:"), fitCombo);
    form->addRow(QStringLiteral("&Threshold:"), autoThresholdCheck);
    form->addRow(QString(), thresholdRow);
    form->addRow(QStringLiteral("&Dither:"), ditherCombo);
    form->addRow(QString(), invertCheck);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(preview, 0, Qt::AlignHCenter);
    layout->addLayout(form);
    layout->addWidget(messageLabel);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setOptions(import_.options());

    connect(fitCombo, &QComboBox::currentIndexChanged, this, &ImportDialog::applyControls);
    connect(autoThresholdCheck, &QCheckBox::toggled, this, &ImportDialog::applyControls);
    connect(thresholdSlider, &QSlider::valueChanged, this, &ImportDialog::applyControls);
    connect(ditherCombo, &QComboBox::currentIndexChanged, this, &ImportDialog::applyControls);
    connect(invertCheck, &QCheckBox::toggled, this, &ImportDialog::applyControls);
    connect(recentCombo, &QComboBox::activated, this, &ImportDialog::openRecent);
}

void ImportDialog::offerRecent(const QString &fileName, const QStringList &recent)
{
    fileName_ = fileName;
    recentCombo->clear();
    const QString shown = QFileInfo(fileName).absoluteFilePath();
    for (const QString &name : QStringList{shown} + recent) {
        if (recentCombo->findData(name) >= 0)
            continue;
        recentCombo->addItem(QFileInfo(name).fileName(), name);
        recentCombo->setItemData(recentCombo->count() - 1, name, Qt::ToolTipRole);
    }
}

void ImportDialog::openRecent(int index)
{
    const QString name = recentCombo->itemData(index).toString();
    QString error;
    std::optional<PictureImport> opened = PictureImport::open(name, import_.targetSize(), &error);
    if (!opened) {
        messageLabel->setText(error);
        messageLabel->show();
        recentCombo->setCurrentIndex(recentCombo->findData(QFileInfo(fileName_).absoluteFilePath()));
        return;
    }
    import_ = std::move(*opened);
    fileName_ = name;
    applyControls();
}

std::optional<ImportDialog::Imported> ImportDialog::run(QWidget *parent, Prompts &prompts, const QString &fileName,
                                                        bool halfHeight, ImportOptions *remembered,
                                                        const QStringList &recent)
{
    QString error;
    std::optional<PictureImport> import = PictureImport::open(fileName, importTargetSize(halfHeight), &error);
    if (!import) {
        prompts.message(error);
        return std::nullopt;
    }
    ImportDialog dialog(std::move(*import), parent);
    dialog.offerRecent(fileName, recent);
    if (remembered)
        dialog.setOptions(*remembered);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (remembered)
        *remembered = dialog.options();
    return Imported{dialog.picture(), dialog.fileName()};
}

void ImportDialog::setOptions(const ImportOptions &options)
{
    {
        const QSignalBlocker blockFit(fitCombo);
        const QSignalBlocker blockAuto(autoThresholdCheck);
        const QSignalBlocker blockThreshold(thresholdSlider);
        const QSignalBlocker blockDither(ditherCombo);
        const QSignalBlocker blockInvert(invertCheck);
        fitCombo->setCurrentIndex(static_cast<int>(options.fit));
        autoThresholdCheck->setChecked(options.autoThreshold);
        thresholdSlider->setValue(options.threshold);
        ditherCombo->setCurrentIndex(static_cast<int>(options.dither));
        invertCheck->setChecked(options.invert);
    }
    applyControls();
}

ImportOptions ImportDialog::options() const
{
    ImportOptions options;
    options.fit = static_cast<ImportFit>(fitCombo->currentIndex());
    options.autoThreshold = autoThresholdCheck->isChecked();
    options.threshold = thresholdSlider->value();
    options.dither = static_cast<ImportDither>(ditherCombo->currentIndex());
    options.invert = invertCheck->isChecked();
    return options;
}

void ImportDialog::applyControls()
{
    QString error;
    if (import_.setOptions(options(), &error)) {
        messageLabel->hide();
    } else {
        // The picture's centre could not be read again: keep the fit it had.
        messageLabel->setText(error);
        messageLabel->show();
        const QSignalBlocker block(fitCombo);
        fitCombo->setCurrentIndex(static_cast<int>(import_.options().fit));
        import_.setOptions(options());
    }
    showThreshold();
    preview->setPicture(import_.picture());
}

void ImportDialog::showThreshold()
{
    const bool automatic = autoThresholdCheck->isChecked();
    thresholdSlider->setEnabled(!automatic);
    // The slider shows the threshold found, so turning the automatic one off
    // starts from it and changes nothing until the slider is moved.
    if (automatic) {
        const QSignalBlocker block(thresholdSlider);
        thresholdSlider->setValue(import_.threshold());
    }
    thresholdValueLabel->setText(QString::number(import_.threshold()));
}
