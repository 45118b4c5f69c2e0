#pragma once

#include "commandline.h"

// The program run as --render: it reads a chart, draws the window's picture
// of it, the one Save Graph and Copy Picture give, and writes it to a file
// or to standard output. No display is opened: the window is drawn on a
// screen in memory of the resolution the scale asks for.
namespace HeadlessRender {

// Makes the application itself, so call it instead of the window's start.
// Returns the exit status: 0 with nothing said, or 1 with one line on
// standard error naming the file and the reason. An output file is written
// whole or not at all.
int run(const CommandLine::Render &request, char *programName);

} // namespace HeadlessRender
