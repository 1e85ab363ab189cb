#pragma once

// The sleep of a transmission in the window: it blocks the command for the
// whole pause, yet lets the window repaint meanwhile. User input is held
// back, so no other command runs during a transmission, and the caller
// stops the receive poll for its length.
void sleepWhileRepainting(int ms);

// Lets pending paint and window-system events through, without user input.
void repaintPending();
