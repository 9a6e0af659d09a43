// A pseudo-terminal pair for tests: the code under test opens the secondary by its path, the test plays
// the device on the primary side. Every wait takes a deadline, so a missing byte fails a test instead of
// hanging it.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace hx350::test {

using Millis = std::chrono::milliseconds;

/// Polls `done` every `step` until it returns true or `deadline` passes. Result: the last value of `done`.
bool waitUntil(const std::function<bool()>& done, Millis deadline, Millis step = Millis(1));

/// Puts terminal `fd` into raw mode (no echo, no line editing, no translation). False on failure.
bool makeRaw(int fd);

/// A pseudo-terminal pair, both ends raw. The pair keeps its own handle on the secondary open until
/// closeSecondary(), so the primary side never sees "no secondary" between two opens by the code under
/// test. All primary-side I/O is non-blocking with deadlines.
class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    /// Whether both ends opened (check with ASSERT_TRUE before use).
    bool ok() const { return primary_ >= 0 && !secondary_path_.empty(); }

    /// The path the code under test opens (/dev/pts/N).
    const std::string& secondaryPath() const { return secondary_path_; }
    int primaryFd() const { return primary_; }
    /// The pair's own handle on the secondary (blocking mode as opened), -1 after closeSecondary().
    int secondaryFd() const { return secondary_; }

    /// Closes the primary side: the secondary then sees a hang-up, as when a USB adapter is pulled.
    void closePrimary();
    void closeSecondary();

    /// Writes all of `bytes` to the primary side (they arrive as input of the secondary). False when the
    /// deadline passes first or the write fails.
    bool writePrimary(std::string_view bytes, Millis deadline = Millis(2000));

    /// Reads from the primary side until `count` bytes came or the deadline passed; returns what came.
    std::string readPrimary(std::size_t count, Millis deadline = Millis(2000));

    /// Reads from the primary side until no byte has come for `quiet` (at most `deadline` in all).
    std::string drainPrimary(Millis quiet = Millis(20), Millis deadline = Millis(2000));

    /// Bytes waiting in the secondary's input queue (what a reader of the secondary would get).
    std::size_t secondaryInputCount() const;

    /// Waits until the secondary's input queue holds at least `count` bytes.
    bool waitSecondaryInput(std::size_t count, Millis deadline = Millis(2000)) const;

    /// Writes to the secondary through the pair's own handle until the terminal accepts no more (nobody
    /// reads the primary). Returns the number of bytes that went in.
    std::size_t fillSecondaryOutput();

  private:
    int primary_ = -1;
    int secondary_ = -1;
    std::string secondary_path_;
};

}  // namespace hx350::test
