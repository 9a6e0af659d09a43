#include "app/settings_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <system_error>

namespace hx350 {
namespace {

/// No settings text is near this size; a larger file is refused before it is read into memory.
constexpr off_t kLargestSource = off_t{16} * 1024 * 1024;

bool isUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t length = 1;
        if (c >= 0x80) {
            if (c >= 0xC2 && c <= 0xDF)
                length = 2;
            else if (c >= 0xE0 && c <= 0xEF)
                length = 3;
            else if (c >= 0xF0 && c <= 0xF4)
                length = 4;
            else
                return false;
            if (i + length > s.size()) return false;
            for (std::size_t k = 1; k < length; ++k) {
                if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
            }
        }
        i += length;
    }
    return true;
}

SettingsSourceResult failure(const std::string& path, std::string message) {
    return {std::nullopt, SettingsSourceError{path, std::nullopt, std::move(message)}};
}

std::string systemMessage(int error_number) {
    return std::error_code(error_number, std::generic_category()).message();
}

}  // namespace

std::string SettingsSourceError::describe() const {
    if (text) {
        std::string out = path + ':' + std::to_string(text->line) + ": ";
        if (!text->key.empty()) out += text->key + ": ";
        return out + text->message;
    }
    return path + ": " + message;
}

bool looksLikeSettingsText(std::string_view content) {
    return content.find('\0') == std::string_view::npos && isUtf8(content);
}

std::optional<SettingsSourceError> readWholeFile(const std::string& path, std::string& content) {
    auto fail = [&](std::string message) {
        return SettingsSourceError{path, std::nullopt, std::move(message)};
    };
    // O_NONBLOCK: a FIFO at that name must not hold the caller; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail("cannot open: " + systemMessage(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail("not a regular file");
    }
    if (info.st_size > kLargestSource) {
        ::close(fd);
        return fail("too large for a settings file or text");
    }
    content.assign(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t got = 0;
    while (got < content.size()) {
        const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error_number = errno;
            ::close(fd);
            return fail("cannot read: " + systemMessage(error_number));
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    content.resize(got);
    return std::nullopt;
}

SettingsSourceResult readSettingsSource(const std::string& path) {
    std::string content;
    if (auto error = readWholeFile(path, content)) return {std::nullopt, std::move(error)};
    if (content.empty()) return failure(path, "empty file");

    const bool text = looksLikeSettingsText(content);
    SettingsSource source;
    if (text) {
        const auto error = importSettingsText(content, source.record);
        if (!error) {
            source.kind = SettingsSourceKind::SettingsText;
            return {source, std::nullopt};
        }
        if (content.size() != kSettingsRecordSize)
            return {std::nullopt, SettingsSourceError{path, error, {}}};
    }
    if (content.size() < kSettingsRecordSize) {
        return failure(path, "Read beyond end of file: " + std::to_string(content.size()) + " of " +
                                 std::to_string(kSettingsRecordSize) + " bytes");
    }
    source.record.loadPrefix(
        std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
    source.kind = SettingsSourceKind::SettingsFile;
    return {source, std::nullopt};
}

}  // namespace hx350
