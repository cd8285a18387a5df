// The host's main loop: runs until the user asks to quit.
#pragma once

void MainLoop();
