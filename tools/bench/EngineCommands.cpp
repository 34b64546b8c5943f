#include "Commands.h"

#include <ostream>

int RunEngineCommand(int, char*[], std::istream&, std::ostream& out)
{
    out << "engine commands: not built yet\n";
    return 1;
}
