#include "app/about_box.h"

#include "app/app_icon.h"
#include "app/app_title.h"
#include "app/prompts.h"
#include "app/window_look.h"

#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

#include <exception>
#include <stdexcept>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

QPointer<AboutBox> AboutBox::instance_;

namespace {

// Positions in pixels; the box's client area is 5730 x 3555 twips.
constexpr int aboutClientWidth = 5730 / 15;
constexpr int aboutClientHeight = 3555 / 15;

// An etched separator: a grey line with a white line just under it.
class EtchedLine : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(0, 0, width(), 1, QColor(128, 128, 128));
        painter.fillRect(0, 1, width(), 1, QColor(255, 255, 255));
    }
};

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    return label;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QFont boldFont(const QFont &base, qreal points)
{
    QFont font = base;
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

#ifdef Q_OS_WIN
// Reads one text value from the registry. A value of length 0 cannot be cut
// to its text; that failure is thrown to the caller, which reports it.
bool GetKeyValue(HKEY root, const QString &keyName, const QString &valueName, QString &value)
{
    HKEY key = nullptr;
    const QByteArray keyBytes = keyName.toLocal8Bit();
    if (RegOpenKeyExA(root, keyBytes.constData(), 0, 0x2003F, &key) != ERROR_SUCCESS) {
        value.clear();
        return false;
    }

    QByteArray buffer(1024, '\0');
    DWORD type = 0;
    DWORD size = DWORD(buffer.size());
    const QByteArray valueBytes = valueName.toLocal8Bit();
    if (RegQueryValueExA(key, valueBytes.constData(), nullptr, &type, reinterpret_cast<BYTE *>(buffer.data()), &size) !=
        ERROR_SUCCESS) {
        value.clear();
        RegCloseKey(key);
        return false;
    }
    if (size == 0) {
        RegCloseKey(key);
        throw std::runtime_error("empty registry value");
    }

    // Text values usually carry their terminating zero in the size.
    const int n = int(size);
    const QByteArray text = buffer.left(buffer.at(n - 1) == '\0' ? n - 1 : n);
    if (type == REG_SZ) {
        value = QString::fromLocal8Bit(text);
    } else if (type == REG_DWORD && text.size() >= 4) {
        // Stored little-endian; neither look-up reads one, so plain decimal.
        const auto byte = [&](int i) { return quint32(quint8(text.at(i))); };
        value = QString::number(byte(0) | (byte(1) << 8) | (byte(2) << 16) | (byte(3) << 24));
    }
    RegCloseKey(key);
    return true;
}
#endif

} // namespace

QStringList systemInfoCandidates()
{
    return {QStringLiteral("hardinfo2"),           QStringLiteral("hardinfo"),
            QStringLiteral("kinfocenter"),         QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-taskmanager")};
}

QString findSystemInfoProgram(const QStringList &candidates,
                              const std::function<QString(const QString &)> &findExecutable)
{
    for (const QString &name : candidates) {
        const QString path = findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString AboutBox::findProgramOnThisSystem()
{
#ifdef Q_OS_WIN
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path))
        return path; // started without an existence test; a bad path fails to start
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                    QStringLiteral("MSINFO"), path)) {
        const QString program = path + QStringLiteral("\\MSINFO32.EXE");
        if (QFileInfo::exists(program))
            return program;
    }
    return {};
#else
    return findSystemInfoProgram(systemInfoCandidates(),
                                 [](const QString &name) { return QStandardPaths::findExecutable(name); });
#endif
}

AboutBox::AboutBox(Prompts &prompts, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      prompts_(prompts), finder_(&AboutBox::findProgramOnThisSystem),
      starter_([](const QString &path) { return QProcess::startDetached(path, {}); })
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(aboutClientWidth, aboutClientHeight);
    setWindowIcon(applicationIcon());

    auto *iconLabel = makeLabel(this, "picIcon", QString(), QRect(16, 16, 32, 32));
    iconLabel->setPixmap(applicationIcon().pixmap(32, 32));

    titleLabel = makeLabel(this, "lblTitle", QStringLiteral("Application Title"), QRect(70, 12, 296, 30));
    titleLabel->setFont(boldFont(font(), 13.5));
    setTextColour(titleLabel, QColor(192, 64, 0));

    auto *betaLabel = makeLabel(this, "Label4", QStringLiteral("Beta"), QRect(70, 46, 34, 17));
    versionLabel = makeLabel(this, "lblVersion", QStringLiteral("Version"), QRect(106, 46, 260, 17));
    for (QLabel *label : {betaLabel, versionLabel}) {
        label->setFont(boldFont(font(), 8.25));
        setTextColour(label, QColor(0, 0, 128));
    }

    makeLabel(this, "lblAuthors", QStringLiteral("Written by the Voxcel developers"), QRect(70, 66, 296, 17));

    auto *descriptionLabel =
        makeLabel(this, "lblDescription",
                  QStringLiteral("Graphic LCD interface to a PIC microcontroller for the Samsung KS0108  controller"),
                  QRect(16, 90, 350, 40));
    descriptionLabel->setAlignment(Qt::AlignCenter);
    descriptionLabel->setWordWrap(true);
    setTextColour(descriptionLabel, Qt::black);

    auto *separatorLine = named(new EtchedLine(this), "Line1");
    separatorLine->setGeometry(8, 142, aboutClientWidth - 16, 2);

    auto *copyrightLabel =
        makeLabel(this, "lblCopyright", QStringLiteral("Copyright (C) the Voxcel developers"), QRect(16, 156, 250, 17));
    copyrightLabel->setWordWrap(true);
    auto *trademarksLabel =
        makeLabel(this, "lblTrademarks", QStringLiteral("KS0108 and PIC are trademarks of their respective owners."),
                  QRect(16, 178, 250, 40));
    trademarksLabel->setWordWrap(true);

    okButton = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    okButton->setGeometry(280, 156, 90, 25);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QWidget::close);

    systemInfoButton = named(new QPushButton(QStringLiteral("&System Info..."), this), "cmdSysInfo");
    systemInfoButton->setGeometry(280, 190, 90, 25);
    connect(systemInfoButton, &QPushButton::clicked, this, &AboutBox::startSystemInfo);

    loadStartValues();
}

AboutBox *AboutBox::showSingle(QWidget *parent, Prompts &prompts)
{
    if (!instance_)
        instance_ = new AboutBox(prompts, parent);
    instance_->show();
    instance_->raise();
    instance_->activateWindow();
    return instance_;
}

void AboutBox::loadStartValues()
{
    setWindowTitle(QStringLiteral("About ") + applicationTitle);
    versionLabel->setText(QStringLiteral("Version %1.%2.%3").arg(versionMajor).arg(versionMinor).arg(versionRevision));
    titleLabel->setText(applicationTitle);
}

void AboutBox::startSystemInfo()
{
    // Any failure of the look-up or the start ends in the same message.
    bool started = false;
    try {
        const QString path = finder_ ? finder_() : QString();
        started = !path.isEmpty() && starter_ && starter_(path);
    } catch (const std::exception &) {
        started = false;
    }
    if (!started)
        prompts_.message(sysInfoUnavailableText);
}

void AboutBox::keyPressEvent(QKeyEvent *event)
{
    // OK is also the cancel button: Esc presses it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        okButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
