#pragma once

class QWidget;

// What each control of the main window does, and its key where it has
// one. Com1 and Com2 name their devices; the port panel sets those.
void setToolTips(QWidget &window);
