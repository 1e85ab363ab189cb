#pragma once

class QAction;
class QMainWindow;
class QMenu;

// The menu bar's entries, which act on click, and the keys of the picture's
// undo and redo, which work from anywhere in the window.
struct WindowMenus
{
    QAction *exit;
    QAction *open;
    QAction *import;
    QAction *fromText;
    QAction *series;
    QAction *about;
    QAction *help;
    QAction *undo; // Ctrl+Z: the last change of the picture
    QAction *redo; // Ctrl+Shift+Z, Ctrl+Y
    // The Edit menu, after the entries above; the picture's undo and redo
    // go first in it.
    QMenu *edit;
    QAction *editImport;
    QAction *editFromText;
    QAction *recover;
    // The View menu: the LCD View, the canvas enlarged to draw in.
    QAction *lcdView;
    // The devices behind Com1 and Com2, filled each time it opens.
    QMenu *port;
    // The receive window's views and the log file, each on or off.
    QMenu *terminal;
    QAction *hexView;
    QAction *times;
    QAction *log;
};

WindowMenus buildWindowMenus(QMainWindow &window);
