// hx350-cfg: export, import, compare, read and change settings files from the command line, and write,
// read or verify a whole module over a serial line.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cfgtool/cfg_tool.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return hx350::cfgtool::run(args, std::cout, std::cerr, ::isatty(STDOUT_FILENO) == 1);
}
