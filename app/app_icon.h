#pragma once

#include <QIcon>

// The icon of the main window, the About box and the Help window: the 32 x 32
// image with its larger rendering for docks and task switchers.
QIcon applicationIcon();
