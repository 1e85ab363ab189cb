#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// Where QSettings keeps the program's settings for this user:
// ~/.config/<application name>.conf.
QString userSettingsFile();

// The program's settings, or nothing when their file (or its lock file) is
// there but is no regular file: QSettings would wait for ever reading a
// FIFO. The settings are then neither read nor written, nothing there is
// replaced, and standard error says so, once a run.
std::unique_ptr<QSettings> userSettings();
