// Accessible interfaces of our own for the few classes whose stock ones tell a screen reader less
// than the screen shows: the main window as a window, the canvas as a canvas, and text boxes that
// answer every text request.
#pragma once

// Installs them for the whole program; must run before any window is shown.
void installAccessibleInterfaces();
