// A scripted far end on a file descriptor (usually the primary side of a PtyPair): a thread that waits for
// expected bytes and answers, in pieces and with pauses if asked, so that reassembly across several reads
// gets exercised. Every expectation has a timeout; a missed one ends the script with a failure text.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "pty_pair.h"

namespace hx350::test {

class ScriptedPeer {
  public:
    /// Plays the far end on `fd`, which must stay open while the peer runs (it is not closed here).
    explicit ScriptedPeer(int fd);
    /// Stops the thread (at most about 10 ms later) and joins it.
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    /// Step: wait until `bytes` has come (anywhere after what earlier steps matched); everything up to
    /// the end of the match is consumed. Fails the script when `timeout` passes first.
    ScriptedPeer& expect(std::string bytes, Millis timeout = Millis(2000));

    /// Step: send `bytes`; with `piece` > 0 in pieces of that many bytes with `pause` between them.
    ScriptedPeer& send(std::string bytes, std::size_t piece = 0, Millis pause = Millis(0));

    /// Step: do nothing for `duration` (still collecting what comes).
    ScriptedPeer& pause(Millis duration);

    /// Starts the thread. Steps added afterwards are not run.
    void start();

    /// Waits until the script has ended. Result: true when every step succeeded within `deadline`.
    bool finished(Millis deadline = Millis(3000));

    /// Stops the thread; it stops reading too.
    void stop();

    /// Every byte read so far, matched or not.
    std::string received() const;

    /// Why the script failed; empty while it has not.
    std::string failure() const;

  private:
    struct Step {
        enum class Kind { Expect, Send, Pause } kind;
        std::string bytes;
        std::size_t piece = 0;
        Millis duration{0};
    };

    void run();
    bool readSome(int wait_ms);
    bool sendAll(const std::string& bytes);
    void end(std::string failure);

    int fd_;
    std::vector<Step> steps_;
    std::thread thread_;
    std::atomic<bool> stop_{false};

    mutable std::mutex mutex_;
    std::condition_variable ended_cv_;
    bool ended_ = false;
    std::string failure_;
    std::string received_;
    std::size_t matched_ = 0;  // bytes of received_ consumed by expectations
};

}  // namespace hx350::test
