// hx350-sim: the HX350 module, or a GSM phone with the module behind it, on a pseudo-terminal.
#include <cstdio>
#include <string>
#include <vector>

#include "sim/options.h"
#include "sim/serve.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const hx350::sim::ParseResult parsed = hx350::sim::parseOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr, "hx350-sim: %s\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options->help) {
        std::fputs(hx350::sim::usageText().c_str(), stdout);
        return 0;
    }
    if (parsed.options->version) {
        std::printf("hx350-sim %s\n", HX350_SIM_VERSION);
        return 0;
    }
    return hx350::sim::serve(*parsed.options, stdout, stderr);
}
