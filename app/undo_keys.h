#pragma once

class PictureDocument;

// The keys' undo and redo of the picture, in the main window and the LCD
// View: a text box with the focus keeps them for its own text.
void undoPictureByKey(PictureDocument &picture);
void redoPictureByKey(PictureDocument &picture);
