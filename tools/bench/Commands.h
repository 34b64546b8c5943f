#pragma once
// Sub-commands of pellium-bench. Each returns the process exit code.

#include "tools/bench/Trace.h"

#include <iosfwd>

// perft / search / sequence DEPTH, and bench: the engine's sub-commands.
int RunEngineCommand(int argc, char* argv[], std::istream& in, std::ostream& out);
