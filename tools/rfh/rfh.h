// rfh: authoring help files (".RFH" tagged containers) from the command line.
// The commands live here so that tests can run them in process; main.cpp is
// the program.
#pragma once
#include <cstdio>

namespace rfh {

// Runs one command line (argv[0] is the program). Prints results to `out`,
// messages to `err`. Answers 0 on success, 1 when the command failed, 2 for a
// command line that makes no sense.
int Run(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace rfh
