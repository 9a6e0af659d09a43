// The transcript of a run: one entry per chunk that crossed the line, readable by a person (time,
// direction, printable text with control characters named, then the bytes in hex).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace hx350::sim {

enum class Direction {
    kIn,   ///< from the client (the tool, gammu) to the simulator
    kOut,  ///< from the simulator to the client
};

/// Renders bytes as text: printable ASCII as is, control characters by name in angle brackets
/// (<NUL> <CR> <LF> <ESC> <CTRL-Z> ...), "<" itself as <LT>, and bytes from 0x7F on as <xHH>.
std::string printableText(std::string_view bytes);

/// One transcript entry: a header line <timestamp> <direction> <n> bytes: "<text>" and hex lines of 32
/// bytes each, indented. Direction reads "in " (client -> simulator) or "out". Ends with a line feed.
/// @param timestamp  any text, normally "YYYY-MM-DD hh:mm:ss.mmm".
std::string formatTranscriptEntry(std::string_view timestamp, Direction direction, std::string_view bytes);

/// The local time now as "YYYY-MM-DD hh:mm:ss.mmm".
std::string transcriptTimestamp();

/// Appends entries to a file, flushed after each one so a crash or a kill loses nothing.
class Transcript {
  public:
    Transcript() = default;
    ~Transcript();
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    /// Opens (creates or truncates) the file. @return false with errno set when it cannot be opened.
    bool open(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }
    /// Writes one entry stamped with the time now; does nothing while no file is open.
    void record(Direction direction, std::string_view bytes);
    /// Writes one entry with a timestamp taken earlier (when its first byte arrived).
    void record(std::string_view timestamp, Direction direction, std::string_view bytes);
    /// Writes a free-text note line ("# ..."), e.g. the start and end of a run.
    void note(std::string_view text);

  private:
    std::FILE* file_ = nullptr;
};

}  // namespace hx350::sim
