#include "sim/transcript.h"

#include <chrono>
#include <ctime>

namespace hx350::sim {

namespace {
constexpr const char* kControlNames[32] = {
    "NUL", "SOH", "STX", "ETX", "EOT",    "ENQ", "ACK", "BEL", "BS",  "TAB", "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",     "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "CTRL-Z", "ESC", "FS",  "GS",  "RS",  "US",
};
constexpr char kHex[] = "0123456789ABCDEF";
}  // namespace

std::string printableText(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20) {
            out += '<';
            out += kControlNames[b];
            out += '>';
        } else if (b == '<') {
            out += "<LT>";
        } else if (b >= 0x7F) {
            out += "<x";
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
            out += '>';
        } else {
            out += c;
        }
    }
    return out;
}

std::string formatTranscriptEntry(std::string_view timestamp, Direction direction, std::string_view bytes) {
    std::string out(timestamp);
    out += direction == Direction::kIn ? " in  " : " out ";
    out += std::to_string(bytes.size());
    out += bytes.size() == 1 ? " byte:  \"" : " bytes: \"";
    out += printableText(bytes);
    out += "\"\n";
    for (std::size_t i = 0; i < bytes.size(); i += 32) {
        out += "    ";
        for (std::size_t j = i; j < bytes.size() && j < i + 32; ++j) {
            const auto b = static_cast<unsigned char>(bytes[j]);
            out += ' ';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
        out += '\n';
    }
    return out;
}

std::string transcriptTimestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&seconds, &tm);
    char buf[40];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    char full[48];
    std::snprintf(full, sizeof full, "%s.%03d", buf, static_cast<int>(ms));
    return full;
}

Transcript::~Transcript() {
    if (file_ != nullptr) std::fclose(file_);
}

bool Transcript::open(const std::string& path) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "w");
    return file_ != nullptr;
}

void Transcript::record(Direction direction, std::string_view bytes) {
    if (file_ == nullptr) return;
    record(transcriptTimestamp(), direction, bytes);
}

void Transcript::record(std::string_view timestamp, Direction direction, std::string_view bytes) {
    if (file_ == nullptr) return;
    const std::string entry = formatTranscriptEntry(timestamp, direction, bytes);
    std::fwrite(entry.data(), 1, entry.size(), file_);
    std::fflush(file_);
}

void Transcript::note(std::string_view text) {
    if (file_ == nullptr) return;
    const std::string entry = transcriptTimestamp() + " # " + std::string(text) + "\n";
    std::fwrite(entry.data(), 1, entry.size(), file_);
    std::fflush(file_);
}

}  // namespace hx350::sim
