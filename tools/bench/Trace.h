#pragma once
// The rules replay behind `pellium-bench trace`, a library of its own so that its test runs it in
// process.

#include <iosfwd>

// Replays a rules script from `in` and prints what the board does; returns the exit code.
int RunTrace(std::istream& in, std::ostream& out);
