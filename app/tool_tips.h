#pragma once

class QWidget;

// What each control of the LCD View and the Series window does, and its
// key where it has one.
void setToolTips(QWidget &window);
