#include "app/help_window.h"

#include "app/app_icon.h"
#include "app/window_look.h"

#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

QPointer<HelpWindow> HelpWindow::instance_;

namespace {
// The client area is 5055 x 6870 twips.
constexpr int helpClientWidth = 5055 / 15;
constexpr int helpClientHeight = 6870 / 15;
} // namespace

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Voxcel Help"));
    setWindowIcon(applicationIcon());
    resize(helpClientWidth, helpClientHeight);

    // No layout: the controls keep their places when the window is resized;
    // the text box shrinks with a window made smaller (see resizeEvent).
    closeButton = named(new QPushButton(QStringLiteral("&Close"), this), "Command1");
    closeButton->setGeometry((helpClientWidth - 81) / 2, 4, 81, 24);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    helpTextBox = named(new QPlainTextEdit(this), "Text1");
    // Tight margins: at the start-up size the whole help text fits the box;
    // scroll bars appear when the window is made smaller.
    helpTextBox->setGeometry(4, 32, helpClientWidth - 8, helpClientHeight - 36);
    helpTextBox->document()->setDocumentMargin(2);
    helpTextBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    helpTextBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = helpTextBox->palette();
    palette.setColor(QPalette::Base, QColor(192, 192, 192));
    palette.setColor(QPalette::Text, QColor(128, 0, 0));
    helpTextBox->setPalette(palette);
    QFont font = helpTextBox->font();
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(true);
    helpTextBox->setFont(font);
    helpTextBox->setPlainText(QStringLiteral("To Be Implemented"));

    centreOnScreen();

    loadStartValues();
}

void HelpWindow::centreOnScreen()
{
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is known once the window is shown; before that the client
    // area stands in for it.
    const QRect frame = frameGeometry();
    move(pos() + screen->availableGeometry().center() - frame.center());
}

HelpWindow *HelpWindow::showSingle(QWidget *parent)
{
    const bool created = !instance_;
    if (created)
        instance_ = new HelpWindow(parent);
    instance_->show();
    if (created)
        instance_->centreOnScreen();
    instance_->raise();
    instance_->activateWindow();
    return instance_;
}

void HelpWindow::resizeEvent(QResizeEvent *event)
{
    const QSize full(helpClientWidth - 8, helpClientHeight - 36);
    const QSize room(qBound(0, width() - 8, full.width()), qBound(0, height() - 36, full.height()));
    helpTextBox->resize(room);
    // At its full size the box holds the whole text; a scroll bar would only
    // narrow it and wrap the text onto one line too many.
    const Qt::ScrollBarPolicy policy = room == full ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    helpTextBox->setVerticalScrollBarPolicy(policy);
    helpTextBox->setHorizontalScrollBarPolicy(policy);
    QWidget::resizeEvent(event);
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpWindow::loadStartValues()
{
    helpTextBox->setPlainText(helpText());
}
