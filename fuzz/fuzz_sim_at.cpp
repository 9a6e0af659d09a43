// Fuzzes the simulated GSM phone's AT interpreter: command lines, the PDU state after AT+CMGS, and the
// module answering behind it. The first input byte says how the rest is cut into batches; between
// batches the clock moves and the phone is polled so that queued module answers and indications come.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "sim/module.h"
#include "sim/phone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    hx350::ManualTimeSource time(hx350::LocalDateTime{2026, 12, 7, 23, 59, 50, 0});
    hx350::sim::Module module(time);
    hx350::sim::PhoneConfig config;
    config.module_reply_ms = 100;
    config.capacity = 4;  // small, so a fuzzed run can also fill the memory
    hx350::sim::Phone phone(config, time, module);
    (void)phone.deliver("+4915112345678", "GETST");

    const std::size_t chunk = std::size_t{data[0]} % 64 + 1;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    for (std::size_t at = 0; at < input.size(); at += chunk) {
        (void)phone.feed(input.substr(at, chunk));
        time.advance(60);
        (void)phone.poll();
        (void)phone.msUntilNextEvent();
    }
    time.advance(1000);
    (void)phone.poll();
    return 0;
}
