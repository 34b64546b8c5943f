#pragma once
// Sub-commands of pellium-bench. Each returns the process exit code.

#include <iosfwd>

// trace: replays a rules script from `in` and prints what the board does.
int RunTrace(std::istream& in, std::ostream& out);
// perft / search / sequence DEPTH, and bench: the engine's sub-commands.
int RunEngineCommand(int argc, char* argv[], std::istream& in, std::ostream& out);
