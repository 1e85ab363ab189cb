#pragma once

#include "app/prompts.h"

class QWidget;

// A list of pictures to choose one from, each shown small with its caption
// beside it; one that cannot be shown has its reason there instead.
namespace PictureChoiceDialog {
// The index chosen, or -1 on Cancel.
int choose(QWidget *parent, const QString &title, const QString &prompt, const QList<PictureEntry> &entries);
} // namespace PictureChoiceDialog
