// The host from process start to process exit.
#pragma once

// Runs the host; returns the process exit code (0 after a normal
// shutdown, 1 when anything failed).
int RunHost(int argc, char** argv);
