#pragma once

#include <cstdio>

// What a command-line run needs to know about where it runs.
namespace Platform {

// Whether the stream is shown on a terminal (a progress bar makes sense)
// rather than written to a file or a pipe.
bool isTerminal(std::FILE *stream);

// Rendering PDF copies and printing need the GUI library but no screen: when
// there is no display to connect to, the GUI library is told to draw off
// screen, so a fill from a script or a cron job works too. Call before the
// application object is made.
void useOffscreenWithoutDisplay();

} // namespace Platform
