// Fuzzes the simulated module's command parser in both ways it is reached: straight (Module::execute, as
// the phone hands it the text of an SMS) and through the direct-mode line decoder (ModuleLink::feed).
// The first input byte says how the rest is cut into the batches the line decoder sees.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "sim/module.h"
#include "sim/module_link.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    hx350::ManualTimeSource time(hx350::LocalDateTime{2026, 12, 7, 23, 59, 50, 0});
    hx350::sim::Module module(time);
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t chunk = std::size_t{data[0]} % 32 + 1;

    // Straight: every line of the input is one command.
    std::string_view rest = input;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        const std::string answer = module.execute(line);
        // Every answer is zero or more lines, each closed by CR LF.
        if (!answer.empty() && (answer.size() < 2 || answer.compare(answer.size() - 2, 2, "\r\n") != 0))
            std::abort();
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
        time.advance(250);
    }
    (void)module.clockText();

    // Through the line decoder, batch after batch, on the module as the commands above left it.
    hx350::sim::ModuleLink link(module);
    for (std::size_t at = 0; at < input.size(); at += chunk)
        (void)link.feed(input.substr(at, chunk));
    return 0;
}
