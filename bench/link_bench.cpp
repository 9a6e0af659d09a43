// One received batch through the receive path (CommPortDriver1ReceiveData) and the next tick of Timer1,
// which shows the answer and, in direct mode, routes it into the page that is open.
//
// The port is left closed: what the link writes in answer (AT+CMGD after a listing) is refused at once by
// the driver, so the figures are the link's own work without the system call. The memos are emptied every
// round, as the window's Clear does before each command, so they do not grow over millions of rounds.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "link/device_link.h"
#include "link/fake_link_window.h"
#include "link/pdu_codec.h"
#include "link/reply_routing.h"
#include "memo_bench.h"
#include "serial/comm_port_driver.h"

namespace hx350 {
namespace {

// An SMS-DELIVER (TS 23.040 clause 9.2.2.1) from +491700350350 as the phone lists it in PDU mode, with a
// service-centre address in front (TS 27.005 clause 3.4.2), carrying `text` in the GSM 7-bit alphabet.
std::string deliverPdu(const std::string& text) {
    const std::string submit = TextToPDUConversion(text, "+491700350350").pdu;
    // The user-data length and data follow the validity period (00 00 0B); the trailing NUL is dropped.
    const std::size_t user_data = submit.find("00000B") + 6;
    return "07919471120000F0"
           "040C91947100533005"
           "0000"
           "62101091000000" +
           submit.substr(user_data, submit.size() - 1 - user_data);
}

std::string moduleText(int n) {
    std::string text = "ALARM " + std::to_string(n) + ": temperature 1 above max2, input 3 open";
    text.resize(kMaxSmsTextLength - 1, '.');
    return text + '\r';
}

// A listing of five full messages, as an AT+CMGL=0 answer with its echo.
std::string fullListing() {
    std::string out = "AT+CMGL=0\r\r\n";
    for (int n = 1; n <= 5; ++n) {
        const std::string pdu = deliverPdu(moduleText(n));
        out += "+CMGL: " + std::to_string(10 + n) + ",0,,";
        out += std::to_string(pdu.size() / 2 - 8) + "\r\n" + pdu + "\r\n";
    }
    return out + "\r\nOK\r\n";
}

struct LinkRig {
    ManualTimeSource time{LocalDateTime{2026, 12, 7, 12, 0, 0, 0}};
    ManualTimer& poll = time.makeTimer();
    ManualTimer& timer1 = time.makeTimer();
    TCommPortDriver driver{nullptr, poll, time};
    test::FakeLinkWindow window;  // the link tests' window seam, with no test framework in it
    DeviceLink link{driver, time, timer1, window};

    LinkRig(bool sms_mode, int page) {
        window.br_number = "+491700350350";
        window.sms_mode = sms_mode;
        window.page = page;
        timer1.start(1000);
    }
};

void batchThroughLink(benchmark::State& state, bool sms_mode, int page, const std::string& batch) {
    LinkRig rig(sms_mode, page);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(batch.data());
    const auto size = static_cast<std::uint32_t>(batch.size());
    for (auto _ : state) {
        rig.window.memo_s.Clear();
        rig.window.memo_sms_input.Clear();
        rig.window.link_messages.clear();  // the status bar shows only the latest
        rig.link.CommPortDriver1ReceiveData(bytes, size);
        rig.link.Timer1Timer();
    }
    if (!sms_mode && rig.window.edits.empty()) state.SkipWithError("the answer was not routed");
    if (sms_mode && batch.find("+CMGL") != std::string::npos && rig.link.state().last_sms_text.empty())
        state.SkipWithError("the listing was not read");
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

void BM_DirectShortAnswer(benchmark::State& state) {
    batchThroughLink(state, false, pages::kAbonents, "3: +4917012345678\r\n");
}
void BM_DirectPhoneBook(benchmark::State& state) {
    batchThroughLink(state, false, pages::kAbonents,
                     " N1:+4917011111111 N2:+4917022222222 N3:+4917033333333 N4:+4917044444444 "
                     "N5:+4917055555555 N6:+4917066666666 N7:+4917077777777\r\n");
}
void BM_DirectExternalText(benchmark::State& state) {
    batchThroughLink(state, false, pages::kExternalSms, "05: Input 5 open, check the door\r\n");
}
void BM_SmsShortAnswer(benchmark::State& state) {
    batchThroughLink(state, true, 0, "\r\nOK\r\n");
}
void BM_SmsFullListing(benchmark::State& state) {
    batchThroughLink(state, true, 0, fullListing());
}

BENCHMARK(BM_DirectShortAnswer);
BENCHMARK(BM_DirectPhoneBook);
BENCHMARK(BM_DirectExternalText);
BENCHMARK(BM_SmsShortAnswer);
BENCHMARK(BM_SmsFullListing);

// One direct-mode answer shown in MemoSMSinput (the batch, then the tick of Timer1 that appends it), with
// the memo kept nearly empty (range 0: emptied every 100 batches) or full at its bound of 5,000 lines (range
// 1: filled once; every answer then drops the oldest lines). The budget: the full memo costs no more than
// twice the empty one.
void BM_DirectAnswerIntoMemo(benchmark::State& state) {
    const bool full = state.range(0) != 0;
    LinkRig rig(false, pages::kAbonents);
    if (full) {
        for (int i = 0; i < bench::kFullMemoLines; ++i)
            rig.window.memo_sms_input.Add(bench::statusLine(i).substr(0, 40));
    }
    int n = 0;
    for (auto _ : state) {
        // Empty: emptied every 100 answers, as Clear does before each command, so it holds a few lines.
        if (!full && n % 100 == 0) rig.window.memo_sms_input.Clear();
        const std::string batch = bench::statusLine(n++);
        rig.link.CommPortDriver1ReceiveData(reinterpret_cast<const std::uint8_t*>(batch.data()),
                                            static_cast<std::uint32_t>(batch.size()));
        rig.link.Timer1Timer();
    }
    state.counters["memo_lines"] = static_cast<double>(rig.window.memo_sms_input.Count());
}

// A day of direct mode with a module sending a line every second, on the hand-driven clock: one iteration
// is 86,400 batches. Reported: resident memory after the first hour and at the end, the memo's lines, and
// the mean CPU time of a batch in the second hour (the first that starts with a full memo) and in the last.
void BM_DirectDayOfAnswers(benchmark::State& state) {
    for (auto _ : state) {
        LinkRig rig(false, pages::kAbonents);
        double second_hour_ns = 0;
        double last_hour_ns = 0;
        double rss_after_hour = 0;
        for (int hour = 0; hour < 24; ++hour) {
            const double start = bench::threadCpuNs();
            for (int second = 0; second < 3600; ++second) {
                const std::string batch = bench::statusLine(hour * 3600 + second);
                rig.link.CommPortDriver1ReceiveData(reinterpret_cast<const std::uint8_t*>(batch.data()),
                                                    static_cast<std::uint32_t>(batch.size()));
                rig.time.advance(1000);  // Timer1 shows the answer
            }
            const double ns = (bench::threadCpuNs() - start) / 3600;
            if (hour == 0) rss_after_hour = bench::residentKiB();
            if (hour == 1) second_hour_ns = ns;  // the first hour that starts with a full memo
            if (hour == 23) last_hour_ns = ns;
        }
        state.counters["rss_kib_hour1"] = rss_after_hour;
        state.counters["rss_kib_hour24"] = bench::residentKiB();
        state.counters["memo_lines"] = static_cast<double>(rig.window.memo_sms_input.Count());
        state.counters["batch_ns_hour2"] = second_hour_ns;
        state.counters["batch_ns_hour24"] = last_hour_ns;
    }
}

BENCHMARK(BM_DirectAnswerIntoMemo)->Arg(0)->Arg(1);
BENCHMARK(BM_DirectDayOfAnswers)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hx350
