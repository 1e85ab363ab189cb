#pragma once

#include "serial/line_model.h"

// The sleep of a transmission in the window: it blocks the command until
// the deadline, yet lets the window repaint meanwhile. User input is held
// back, so no other command runs during a transmission, and the caller
// stops the receive poll for its length.
void sleepWhileRepainting(LineTime deadline);

// Lets pending paint and window-system events through, without user input.
void repaintPending();
