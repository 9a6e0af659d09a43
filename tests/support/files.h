// Files and folders for tests: whole-file reads and writes, a folder's entries, reproducible random bytes,
// and a scratch folder that removes itself.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace hx350::test {

/// The whole file at `path` (empty when it cannot be read), as a std::string or any other container of
/// bytes (std::vector<std::uint8_t>).
template <class Bytes = std::string>
Bytes readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Creates or truncates `path` and writes `bytes` (a std::string, a vector of bytes) into it.
template <class Bytes>
void writeWholeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << path;
}

/// The names in folder `dir`, sorted, without "." and ".." (none when it cannot be listed).
inline std::vector<std::string> entriesOf(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

/// `size` bytes with no pattern a field-by-field writer could reproduce by accident; the same `seed`
/// gives the same bytes.
template <class Bytes = std::string>
Bytes randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes out(size, 0);
    for (auto& byte : out)
        byte = static_cast<typename Bytes::value_type>(random());
    return out;
}

/// A temporary directory on a memory file system when the machine has one ("/dev/shm/"), else the test's
/// temporary directory: for tests that write and flush many files.
inline std::string memoryTempDir() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0
               ? std::string("/dev/shm/")
               : ::testing::TempDir();
}

/// A fresh folder in `base` (ending in "/"; the test's temporary directory unless given), removed with
/// everything in it at the end.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& base = ::testing::TempDir()) {
        std::string pattern = base + "hx350-test-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
        EXPECT_FALSE(path_.empty()) << "no scratch folder";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    /// A file in the folder; "HX350.cfg" unless named.
    std::string file(std::string_view name = "HX350.cfg") const { return path_ + "/" + std::string(name); }

  private:
    std::string path_;
};

}  // namespace hx350::test
