#pragma once

#include <optional>

// Answers --help and --version on standard output without a window and
// without a display: no QApplication is made for them. Returns the exit code
// when the command line has been answered, nothing when the program should
// start as usual.
std::optional<int> answerCommandLine(int argc, char *argv[]);
