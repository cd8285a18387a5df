// The one flag that ends the main loop after the current pass: set by the
// window's close button, by Escape with no module, by a module through its
// host function, and by SIGINT/SIGTERM.
#pragma once

void RequestQuit();
bool QuitRequested();
void ClearQuitRequestForTests();
