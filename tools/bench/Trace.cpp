#include "Commands.h"

#include <ostream>

int RunTrace(std::istream&, std::ostream& out)
{
    out << "trace: not built yet\n";
    return 1;
}
