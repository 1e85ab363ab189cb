#include "app/undo_keys.h"

#include "app/picture_document.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {
// The text box that has the focus, which keeps undo and redo for its text.
template <typename Box> Box *focusedBox()
{
    return qobject_cast<Box *>(QApplication::focusWidget());
}
} // namespace

void undoPictureByKey(PictureDocument &picture)
{
    if (focusedBox<QLineEdit>() || focusedBox<QPlainTextEdit>())
        return; // the box has taken Ctrl+Z itself
    picture.undo();
}

void redoPictureByKey(PictureDocument &picture)
{
    // Ctrl+Y is no redo key of a text box here; in a box it redoes the text.
    if (auto *line = focusedBox<QLineEdit>())
        line->redo();
    else if (auto *box = focusedBox<QPlainTextEdit>())
        box->redo();
    else
        picture.redo();
}
