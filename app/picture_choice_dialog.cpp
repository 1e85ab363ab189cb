#include "app/picture_choice_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QVBoxLayout>

namespace {
// Room for the largest picture and a one-pixel frame round it.
constexpr QSize IconRoom(258, 130);
constexpr int ShownRows = 3;

// The picture drawn 1:1 in a frame, so its dots stay whole; an empty
// place where there is none, so every caption starts at the same column.
QPixmap iconFor(const QImage &thumbnail)
{
    QPixmap icon(IconRoom);
    icon.fill(Qt::transparent);
    if (thumbnail.isNull())
        return icon;
    QPainter painter(&icon);
    const QRect frame(QPoint(0, 0), thumbnail.size() + QSize(1, 1));
    painter.setPen(Qt::gray);
    painter.drawRect(frame);
    painter.drawImage(QPoint(1, 1), thumbnail);
    return icon;
}
} // namespace

int PictureChoiceDialog::choose(QWidget *parent, const QString &title, const QString &prompt,
                                const QList<PictureEntry> &entries)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("pictureChoice"));
    dialog.setWindowTitle(title);
    auto *list = new QListWidget;
    list->setObjectName(QStringLiteral("pictureList"));
    list->setIconSize(IconRoom);
    list->setSpacing(2);
    for (const PictureEntry &entry : entries) {
        const QString text = entry.problem.isEmpty()
                                 ? entry.caption
                                 : entry.caption + QStringLiteral("\nCannot be shown: ") + entry.problem;
        list->addItem(new QListWidgetItem(QIcon(iconFor(entry.thumbnail)), text));
    }
    list->setCurrentRow(0);
    const int rows = qBound(1, static_cast<int>(entries.size()), ShownRows);
    list->setMinimumSize(IconRoom.width() * 2, (IconRoom.height() + 8) * rows);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(prompt));
    layout->addWidget(list);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted ? list->currentRow() : -1;
}
