#pragma once
// The fixed engine benchmark: the figure every engine change is measured by.

#include <iosfwd>

int RunBenchSuite(std::ostream& out);
