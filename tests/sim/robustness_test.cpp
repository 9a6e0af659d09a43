// Arbitrary bytes never crash or hang the simulator's parts: each input gives an answer or an error.
#include <gtest/gtest.h>

#include <random>

#include "sim/module_link.h"
#include "sim/phone.h"
#include "sim/sms_pdu.h"

namespace hx350::sim {
namespace {

std::string randomBytes(std::mt19937& rng, std::size_t max_length, std::string_view alphabet = {}) {
    std::uniform_int_distribution<std::size_t> length(0, max_length);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out(length(rng), '\0');
    for (char& c : out) {
        if (alphabet.empty()) {
            c = static_cast<char>(byte(rng));
        } else {
            c = alphabet[static_cast<std::size_t>(byte(rng)) % alphabet.size()];
        }
    }
    return out;
}

TEST(Robustness, SubmitDecoderTakesAnyOctets) {
    std::mt19937 rng(350);
    for (int i = 0; i < 20000; ++i) {
        const std::string bytes = randomBytes(rng, 200);
        const Octets octets(bytes.begin(), bytes.end());
        const SubmitResult r = decodeSubmit(octets);
        EXPECT_TRUE(r.submit.has_value() != !r.error.empty());
    }
}

TEST(Robustness, SubmitDecoderTakesMutatedRealPdus) {
    std::mt19937 rng(27005);
    const Octets base = *octetsFromHex("079194710200000011000C919471005330050000FF05C722754A05");
    std::uniform_int_distribution<std::size_t> pos(0, base.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < 20000; ++i) {
        Octets o = base;
        o[pos(rng)] = static_cast<std::uint8_t>(byte(rng));
        o.resize(pos(rng) + 1);
        const SubmitResult r = decodeSubmit(o);
        if (r.submit) {
            EXPECT_LE(r.submit->text.size(), 160u);
        }
    }
}

TEST(Robustness, PhoneTakesAnyBytes) {
    ManualTimeSource clock;
    Module module(clock);
    Phone phone(PhoneConfig{}, clock, module);
    std::mt19937 rng(23040);
    for (int i = 0; i < 3000; ++i) {
        phone.feed(randomBytes(rng, 64));
        phone.feed(randomBytes(rng, 64,
                               "AT+CMGSLRD=0123456789,?\"\r\x1a\x1b"
                               "EF"));
        clock.advance(400);
        phone.poll();
    }
    // Still a working phone afterwards.
    phone.feed("\x1b\x1a\r");
    const std::string out = phone.feed("ATE1\r");
    EXPECT_NE(out.find("OK\r\n"), std::string::npos) << out;
}

TEST(Robustness, ModuleLinkTakesAnyBytes) {
    ManualTimeSource clock;
    Module module(clock);
    ModuleLink link(module);
    std::mt19937 rng(23038);
    for (int i = 0; i < 3000; ++i) {
        link.feed(randomBytes(rng, 80));
        link.feed(randomBytes(rng, 40, "SETUPGNRTXIMOA0123456789 ,+-:\r"));
    }
    link.feed("\r");
    EXPECT_EQ(link.feed(std::string(14, ' ') + "SETUP:  OK\r" + std::string(1, '\0')), "OK\r\n");
}

}  // namespace
}  // namespace hx350::sim
