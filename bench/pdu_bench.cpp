// Encode and decode cost of one SMS-mode message, in messages per second ("items_per_second").
//
// The typical message is a padded module command as the command channel sends it: 48 characters and a
// carriage return. The long one fills a whole message (160 characters, 140 octets of user data).
#include "link/pdu_codec.h"

#include <benchmark/benchmark.h>

#include <string>

namespace hx350 {
namespace {

const std::string kNumber = "+4917012345678";

std::string typicalCommand() {
    std::string text = "SETTX05 Alarm: temperature 1 above max2";
    text.resize(48, ' ');
    return text + '\r';
}

std::string longText() {
    std::string text;
    while (text.size() < kMaxSmsTextLength)
        text += "SETTX05 Alarm: temperature 1 above max2 0123456789";
    text.resize(kMaxSmsTextLength);
    return text;
}

// The PDU a phone would list for `text` received from kNumber: a service-centre address, an SMS-DELIVER
// header with a time stamp, and the user data the encoder packed (taken from the encoder's SMS-SUBMIT).
std::string listedPdu(const std::string& text) {
    const std::string submit = TextToPDUConversion(text, kNumber).pdu;
    // The user-data length and data follow the 0B validity period; drop the NUL.
    const std::size_t user_data = submit.find("00000B") + 6;
    return "07919471120000F0"
           "040D91947110325476F8"
           "0000"
           "62101091000000" +
           submit.substr(user_data, submit.size() - 1 - user_data);
}

void encode(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        PduEncoding result = TextToPDUConversion(text, kNumber);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}

void decode(benchmark::State& state, const std::string& text) {
    const std::string pdu = listedPdu(text);
    if (PDUTextConversion(pdu) != text) {
        state.SkipWithError("the listed PDU does not decode to its text");
        return;
    }
    for (auto _ : state) {
        std::string result = PDUTextConversion(pdu);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_EncodeTypicalCommand(benchmark::State& state) {
    encode(state, typicalCommand());
}
void BM_Encode160Characters(benchmark::State& state) {
    encode(state, longText());
}
void BM_DecodeTypicalAnswer(benchmark::State& state) {
    decode(state, typicalCommand());
}
void BM_Decode160Characters(benchmark::State& state) {
    decode(state, longText());
}

BENCHMARK(BM_EncodeTypicalCommand);
BENCHMARK(BM_Encode160Characters);
BENCHMARK(BM_DecodeTypicalAnswer);
BENCHMARK(BM_Decode160Characters);

}  // namespace
}  // namespace hx350
