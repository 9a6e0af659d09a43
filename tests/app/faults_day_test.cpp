// A whole day in SMS mode against hx350-sim playing the GSM phone with the module behind it: 86,400 ticks
// of Timer1 on the hand-driven clock, from noon across midnight to noon. Expected: the phone is set up
// once, a listing goes out every 21 idle ticks, the nightly "GETMH" goes out exactly once at 00:02, its
// answer SMS is listed, shown and deleted exactly once, and neither the memos nor the process grow.
//
// Pace: the tool's time is manual, the phone's is real. Every tick moves the clock by one second; when
// the tool wrote something in that second, the test waits (in real time, with a deadline) until the
// phone's answer is complete in the terminal before moving on, so the next poll reads it as the window's
// poll, seconds later, would. Ticks in which nothing was written cost no real time at all, so every one
// of the 86,400 ticks runs on the real terminal and the day still takes only seconds (about 13 s on a
// loaded two-core machine): about 4,100 listings and a dozen other exchanges need the phone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "form_fixture.h"
#include "link/device_link.h"
#include "serial/posix_serial_device.h"
#include "support/sim_process.h"

#if defined(__SANITIZE_ADDRESS__)
#define HX350_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HX350_TEST_ASAN 1
#endif
#endif
#ifndef HX350_TEST_ASAN
#define HX350_TEST_ASAN 0
#endif
#if HX350_TEST_ASAN
// The sanitizer runtime's count of live heap bytes (not every compiler ships the header declaring it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace hx350::test {
namespace {

const std::string kSimulator = HX350_BIN_DIR "/hx350-sim";
const std::string kModuleNumber = "+491700350350";

// What crossed the line, as the test sees it from the tool's side.
struct LineLog {
    struct Write {
        std::uint64_t second;  // seconds since the start of the day's run
        std::string bytes;
    };
    std::vector<Write> writes;
    std::string pending;  // bytes read from the phone ahead of the driver (see TappedDevice::pump)
};

// The real terminal device, recording every write with the time of the tool's clock, and able to read
// the phone's answer ahead of the driver so the test can tell when it is complete. What it read ahead it
// hands to the driver's next read, unchanged and in order.
class TappedDevice final : public SerialDevice {
  public:
    TappedDevice(std::shared_ptr<LineLog> log, const ManualTimeSource& time)
        : log_(std::move(log)), time_(time) {}
    SerialError open(const std::string& path) override { return real_.open(path); }
    void close() override { real_.close(); }
    bool isOpen() const override { return real_.isOpen(); }
    bool applyLineSettings(const SerialLineSettings& settings) override {
        return real_.applyLineSettings(settings);
    }
    bool purge(bool input, bool output) override {
        if (input) log_->pending.clear();
        return real_.purge(input, output);
    }
    bool setQueueSizes(std::uint32_t input, std::uint32_t output) override {
        return real_.setQueueSizes(input, output);
    }
    std::optional<SerialQueueCounts> queueCounts() override {
        auto counts = real_.queueCounts();
        if (counts) counts->input += static_cast<std::uint32_t>(log_->pending.size());
        return counts;
    }
    SerialIoResult read(std::uint8_t* buffer, std::size_t size) override {
        if (!log_->pending.empty()) {
            const std::size_t n = std::min(size, log_->pending.size());
            std::copy_n(log_->pending.data(), n, reinterpret_cast<char*>(buffer));
            log_->pending.erase(0, n);
            return {SerialIoResult::Status::Ok, n, 0};
        }
        return real_.read(buffer, size);
    }
    SerialIoResult write(const std::uint8_t* data, std::size_t size) override {
        const SerialIoResult r = real_.write(data, size);
        if (r.count > 0) {
            const std::uint64_t second = time_.elapsedSinceStart() / 1000;
            if (log_->writes.empty() || log_->writes.back().second != second)
                log_->writes.push_back({second, {}});
            log_->writes.back().bytes.append(reinterpret_cast<const char*>(data), r.count);
        }
        return r;
    }
    bool waitWritable(std::uint32_t timeout_ms) override { return real_.waitWritable(timeout_ms); }
    std::optional<ModemLineSet> modemLines() override { return real_.modemLines(); }
    bool hungUp() const override { return real_.hungUp(); }
    const SerialError& lastError() const override { return real_.lastError(); }

    /// Reads whatever the phone has sent so far into the log's pending bytes.
    void pump() {
        std::uint8_t buf[4096];
        for (;;) {
            const SerialIoResult r = real_.read(buf, sizeof buf);
            if (r.status != SerialIoResult::Status::Ok || r.count == 0) return;
            log_->pending.append(reinterpret_cast<const char*>(buf), r.count);
        }
    }

  private:
    std::shared_ptr<LineLog> log_;
    const ManualTimeSource& time_;
    PosixSerialDevice real_;
};

// Whether the phone's answer in `bytes` is complete: a final result code of TS 27.007 clause 5.7.1 or
// TS 27.005 clause 3.2.5, or the prompt for the PDU (TS 27.005 clause 3.5.1).
bool answerComplete(const std::string& bytes) {
    return bytes.ends_with("OK\r\n") || bytes.ends_with("ERROR\r\n") || bytes.ends_with("> ") ||
           (bytes.find("ERROR: ") != std::string::npos && bytes.ends_with("\r\n"));
}

std::size_t countOf(const std::string& haystack, const std::string& needle) {
    std::size_t n = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1))
        ++n;
    return n;
}

// What the process holds, in KiB: its resident set; under AddressSanitizer the live heap instead, since
// its quarantine keeps freed blocks resident (up to 256 MiB) and the resident set then grows with every
// allocation, whether or not anything is kept.
long memoryInUseKiB() {
#if HX350_TEST_ASAN
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
    }
    return -1;
#endif
}

class SimulatedDay : public FormOnPtys {
  protected:
    void TearDown() override {
        sim_.stop();
        std::remove(transcript_.c_str());
        FormOnPtys::TearDown();
    }

    SimProcess sim_;
    std::string transcript_ = ::testing::TempDir() + "hx350-day-transcript.txt";
};

TEST_F(SimulatedDay, NoonToNoonAcrossMidnight) {
    if (::access(kSimulator.c_str(), X_OK) != 0) GTEST_SKIP() << "hx350-sim is not built: " << kSimulator;
    std::remove(transcript_.c_str());
    ASSERT_TRUE(sim_.start(kSimulator, {"--mode", "phone", "--answer-delay", "0", "--reply-delay", "0",
                                        "--module-number", kModuleNumber, "--transcript", transcript_}));
    ASSERT_TRUE(catalogue_.setExplicit(1, sim_.path()));
    SettingsRecord record;
    record.set(cfg::SmsModeOn, true);
    record.set(cfg::ModulePhoneCopy, kModuleNumber);
    writeRecord(record);

    auto log = std::make_shared<LineLog>();
    auto device = std::make_unique<TappedDevice>(log, time_);
    TappedDevice& tap = *device;
    FormSeams s = seams();
    s.device = std::move(device);
    form_ = std::make_unique<TForm1>(std::move(s));
    TForm1& f = *form_;
    f.FormCreate();
    ASSERT_TRUE(f.CommPortDriver1().IsConnected()) << f.StatusBar1.Text();
    ASSERT_TRUE(f.SMSmode.Checked());
    ASSERT_EQ(time_.localNow().hour, 12);

    constexpr int kDay = 86'400;
    constexpr int kMidnight = 12 * 3600;  // ticks from noon
    std::size_t writes_seen = 0;
    std::size_t memo_in_max = 0;
    std::size_t memo_s_max = 0;
    std::vector<std::string> shown;  // every SMS text the listing reader showed
    long rss_after_hour = 0;
    int slow_answers = 0;
    for (int second = 1; second <= kDay; ++second) {
        f.link().state().last_sms_text.clear();
        time_.advance(1000);
        if (!f.link().state().last_sms_text.empty()) shown.push_back(f.link().state().last_sms_text);
        if (log->writes.size() != writes_seen) {
            writes_seen = log->writes.size();
            const bool complete = waitUntil(
                [&] {
                    tap.pump();
                    return answerComplete(log->pending);
                },
                Millis(5000), Millis(1));
            if (!complete) ++slow_answers;
        }
        memo_in_max = std::max(memo_in_max, f.MemoSMSinput.Count());
        memo_s_max = std::max(memo_s_max, f.FrameControls::MemoS.Count());
        if (second == 3600) rss_after_hour = memoryInUseKiB();
    }
    const long rss_end = memoryInUseKiB();
    EXPECT_EQ(time_.localNow().hour, 12);
    EXPECT_EQ(time_.localNow().day, 5);

    // The wire, in order, with the second of each write.
    std::string all;
    std::vector<std::uint64_t> listing_seconds;
    std::vector<std::uint64_t> submit_seconds;
    for (const auto& w : log->writes) {
        all += w.bytes;
        // The set-up's own listing command (LF CR "AT+CMGL=1") is not one of the idle listings.
        const std::size_t listings = countOf(w.bytes, "AT+CMGL=") - countOf(w.bytes, "\n\rAT+CMGL=");
        for (std::size_t i = 0; i < listings; ++i)
            listing_seconds.push_back(w.second);
        for (std::size_t i = 0; i < countOf(w.bytes, "AT+CMGS="); ++i)
            submit_seconds.push_back(w.second);
    }

    // The phone was set up once, at the start.
    EXPECT_EQ(countOf(all, "AT+CGMI"), 1u);
    EXPECT_EQ(countOf(all, "AT+CMGF=0"), 1u);
    EXPECT_EQ(f.link().state().query_step, 7);
    EXPECT_TRUE(services_.messages.empty()) << services_.messages.front().text;

    // Exactly one command SMS, "GETMH", in the minute 00:02.
    ASSERT_EQ(submit_seconds.size(), 1u);
    EXPECT_GE(submit_seconds[0], static_cast<std::uint64_t>(kMidnight + 120));
    EXPECT_LT(submit_seconds[0], static_cast<std::uint64_t>(kMidnight + 180));

    // A listing every 21 idle ticks, read and unread in turn; only the set-up, the night's rest and the
    // nightly exchange make a longer gap.
    ASSERT_GT(listing_seconds.size(), 4000u);
    int longer_gaps = 0;
    for (std::size_t i = 1; i < listing_seconds.size(); ++i) {
        const std::uint64_t gap = listing_seconds[i] - listing_seconds[i - 1];
        EXPECT_GE(gap, 21u) << "listing " << i;
        if (gap != 21) {
            ++longer_gaps;
            EXPECT_GE(listing_seconds[i], static_cast<std::uint64_t>(kMidnight)) << "listing " << i;
            EXPECT_LE(listing_seconds[i - 1], static_cast<std::uint64_t>(kMidnight + 240)) << "listing " << i;
        }
    }
    EXPECT_LE(longer_gaps, 1);
    EXPECT_EQ(countOf(all, "\n\rAT+CMGL=1"), 1u);
    EXPECT_EQ(countOf(all, "AT+CMGL=1") - 1, countOf(all, "AT+CMGL=0") + (listing_seconds.size() % 2));

    // The module's answer: listed once (the transcript of the phone), shown once, deleted once.
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].starts_with("MH ")) << shown[0];
    EXPECT_EQ(countOf(all, "AT+CMGD="), 1u);
    sim_.stop();
    std::ifstream file(transcript_);
    std::stringstream transcript;
    transcript << file.rdbuf();
    std::size_t listed = 0;
    std::istringstream lines(transcript.str());
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" out ") != std::string::npos && line.find("+CMGL: ") != std::string::npos) ++listed;
    }
    EXPECT_EQ(listed, 1u);

    // Bounded: the memos hold a few lines, and the process did not grow with the day.
    EXPECT_LT(memo_in_max, 10u);
    EXPECT_LT(memo_s_max, 10u);
    EXPECT_LT(rss_end - rss_after_hour, 4 * 1024)
        << rss_after_hour << " KiB after an hour, " << rss_end << " KiB after the day";
    EXPECT_EQ(slow_answers, 0);
    std::printf(
        "[ figure   ] day: %zu listings, %zu writes, memo lines <= %zu/%zu, memory in use %ld -> %ld KiB\n",
        listing_seconds.size(), log->writes.size(), memo_in_max, memo_s_max, rss_after_hour, rss_end);
}

}  // namespace
}  // namespace hx350::test
