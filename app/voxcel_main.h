#pragma once

#include <functional>

class QWidget;

// The window program: sets up the application, the port session and the
// main window, and runs until Exit. `beforeShow`, when given, sees the
// window just before it is shown (the start-up benchmark watches its first
// paint this way).
int voxcelMain(int argc, char *argv[], const std::function<void(QWidget &window)> &beforeShow = {});
