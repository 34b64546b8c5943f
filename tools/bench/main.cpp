// pellium-bench: the developers' replay and benchmark tool.
//   pellium-bench trace               replay a rules script from standard input
//   pellium-bench perft|search|sequence DEPTH   engine runs on FEN lines from standard input
//   pellium-bench bench               the fixed benchmark
#include "tools/bench/Commands.h"

#include <cstring>
#include <iostream>

int main(int argc, char* argv[]) {
    if (argc >= 2 && std::strcmp(argv[1], "trace") == 0) return RunTrace(std::cin, std::cout);
    if (argc >= 2) return RunEngineCommand(argc, argv, std::cin, std::cout);
    std::cerr
        << "usage: pellium-bench trace | perft DEPTH | search DEPTH | sequence DEPTH | bench\n";
    return 2;
}
