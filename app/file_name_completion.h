#pragma once

class QLineEdit;

// A box that takes a file's name completes it from the file system as the
// person types: folders and files, a relative name from the current folder.
// The folders are read on the model's own thread, so a huge one never
// holds up the window.
void completeFileNames(QLineEdit *edit);
