// The host's one loop: events, one frame, focus changes, until a quit.
#pragma once

class TCLWindow;

void MainLoop(TCLWindow& window);

// One wheel message of units (120 a notch) as key codes pressed.
int WheelNotches(int units);
