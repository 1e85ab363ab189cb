#include "app/help_window.h"

#include "app/app_icon.h"

#include <QFont>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

QPointer<frmHelp> frmHelp::instance_;

namespace {
// The client area is 5055 x 6870 twips.
constexpr int clientWidth = 5055 / 15;
constexpr int clientHeight = 6870 / 15;
} // namespace

frmHelp::frmHelp(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Voxcel Help"));
    setWindowIcon(applicationIcon());
    resize(clientWidth, clientHeight);

    // No layout: the controls keep their places when the window is resized.
    Command1 = new QPushButton(QStringLiteral("&Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry((clientWidth - 81) / 2, 4, 81, 24);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    // Tight margins: the whole help text fits the box, which has no scroll bars.
    Text1->setGeometry(4, 32, clientWidth - 8, clientHeight - 36);
    Text1->document()->setDocumentMargin(2);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = Text1->palette();
    palette.setColor(QPalette::Base, QColor(192, 192, 192));
    palette.setColor(QPalette::Text, QColor(128, 0, 0));
    Text1->setPalette(palette);
    QFont font = Text1->font();
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(true);
    Text1->setFont(font);
    Text1->setPlainText(QStringLiteral("To Be Implemented"));

    centreOnScreen();

    Form_Load();
}

void frmHelp::centreOnScreen()
{
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is known once the window is shown; before that the client
    // area stands in for it.
    const QRect frame = frameGeometry();
    move(pos() + screen->availableGeometry().center() - frame.center());
}

frmHelp *frmHelp::showSingle(QWidget *parent)
{
    const bool created = !instance_;
    if (created)
        instance_ = new frmHelp(parent);
    instance_->show();
    if (created)
        instance_->centreOnScreen();
    instance_->raise();
    instance_->activateWindow();
    return instance_;
}

void frmHelp::Form_Load()
{
    Text1->setPlainText(helpText());
}
