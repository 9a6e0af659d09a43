#include "app/settings_file.h"
#include "failing_settings_ops.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "support/files.h"

namespace hx350 {
namespace {

using test::FailingOps;

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

mode_t modeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "settings-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        file_ = dir_ / "HX350.cfg";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    SettingsRecord recordOf(const Bytes& bytes) {
        SettingsRecord record;
        record.loadPrefix(bytes);
        return record;
    }

    fs::path dir_;
    fs::path file_;
    RecordingWindowServices window_;
};

// ---- Reading ----

TEST_F(SettingsFileTest, ReadsAWholeRecord) {
    const Bytes bytes = test::randomBytes<Bytes>(kSettingsRecordSize, 1);
    test::writeWholeFile(file_, bytes);
    SettingsRecord record;
    const SettingsFileStatus status = readSettingsFile(file_, record);
    EXPECT_TRUE(status.ok()) << status.context;
    EXPECT_EQ(status.bytes_read, kSettingsRecordSize);
    EXPECT_EQ(Bytes(record.image().begin(), record.image().end()), bytes);
}

TEST_F(SettingsFileTest, ShortFilesReadBeyondEndAndKeepThePartRead) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{100}, std::size_t{4203}}) {
        const Bytes bytes = test::randomBytes<Bytes>(size, 2);
        test::writeWholeFile(file_, bytes);
        const Bytes before = test::randomBytes<Bytes>(kSettingsRecordSize, 3);
        SettingsRecord record = recordOf(before);

        const SettingsFileStatus status = readSettingsFile(file_, record);
        EXPECT_EQ(status.result, SettingsFileResult::ReadBeyondEnd) << size;
        EXPECT_EQ(status.bytes_read, size);
        for (std::size_t i = 0; i < kSettingsRecordSize; ++i) {
            ASSERT_EQ(record.image()[i], i < size ? bytes[i] : before[i]) << "size " << size << " byte " << i;
        }
    }
}

TEST_F(SettingsFileTest, BytesAfterTheFirstRecordAreIgnoredAndDroppedOnSave) {
    for (const std::size_t size : {std::size_t{4205}, std::size_t{2 * 4204 + 7}}) {
        const Bytes bytes = test::randomBytes<Bytes>(size, 4);
        test::writeWholeFile(file_, bytes);
        SettingsRecord record;
        const SettingsFileStatus status = readSettingsFile(file_, record);
        ASSERT_TRUE(status.ok()) << status.context;
        EXPECT_EQ(status.bytes_read, kSettingsRecordSize);
        EXPECT_EQ(Bytes(record.image().begin(), record.image().end()),
                  Bytes(bytes.begin(), bytes.begin() + kSettingsRecordSize));

        ASSERT_TRUE(writeSettingsFile(file_, record).ok());
        EXPECT_EQ(test::readWholeFile<Bytes>(file_),
                  Bytes(bytes.begin(), bytes.begin() + kSettingsRecordSize))
            << size;
    }
}

TEST_F(SettingsFileTest, MissingFileIsAnAccessErrorAndLeavesTheRecord) {
    const Bytes before = test::randomBytes<Bytes>(kSettingsRecordSize, 5);
    SettingsRecord record = recordOf(before);
    const SettingsFileStatus status = readSettingsFile(dir_ / "absent.cfg", record);
    EXPECT_EQ(status.result, SettingsFileResult::AccessError);
    EXPECT_EQ(status.error_number, ENOENT);
    EXPECT_NE(status.context.find("absent.cfg"), std::string::npos) << status.context;
    EXPECT_EQ(Bytes(record.image().begin(), record.image().end()), before);
}

TEST_F(SettingsFileTest, ThingsThatAreNotFilesAreAccessErrorsWithoutBlocking) {
    fs::create_directory(dir_ / "a-directory");
    ASSERT_EQ(::mkfifo((dir_ / "a-fifo").c_str(), 0600), 0);  // would block a plain open for reading
    for (const char* name : {"a-directory", "a-fifo"}) {
        SettingsRecord record;
        const SettingsFileStatus status = readSettingsFile(dir_ / name, record);
        EXPECT_EQ(status.result, SettingsFileResult::AccessError) << name;
        EXPECT_EQ(record, SettingsRecord()) << name;
    }
}

TEST_F(SettingsFileTest, UnreadableFileIsAnAccessError) {
    test::writeWholeFile(file_, test::randomBytes<Bytes>(kSettingsRecordSize, 6));
    fs::permissions(file_, fs::perms::none);
    SettingsRecord record;
    if (::access(file_.c_str(), R_OK) == 0) GTEST_SKIP() << "this user reads files whatever their mode";
    EXPECT_EQ(readSettingsFile(file_, record).result, SettingsFileResult::AccessError);
}

// ---- Writing ----

TEST_F(SettingsFileTest, ReadThenSaveGivesTheSameBytes) {
    // Random bytes everywhere: reserved ranges, string tails, odd bool bytes and damaged lengths included.
    const Bytes bytes = test::randomBytes<Bytes>(kSettingsRecordSize, 7);
    test::writeWholeFile(file_, bytes);
    SettingsRecord record;
    ASSERT_TRUE(readSettingsFile(file_, record).ok());
    const fs::path copy = dir_ / "copy.cfg";
    ASSERT_TRUE(writeSettingsFile(copy, record).ok());
    EXPECT_EQ(test::readWholeFile<Bytes>(copy), bytes);
}

TEST_F(SettingsFileTest, SavingTwiceGivesIdenticalFilesOfOneRecord) {
    SettingsRecord record;
    record.set(cfg::GprsApn, "internet");
    record.set(cfg::ExternalText, 54, "last slot");
    ASSERT_TRUE(writeSettingsFile(file_, record).ok());
    const Bytes first = test::readWholeFile<Bytes>(file_);
    ASSERT_TRUE(writeSettingsFile(file_, record).ok());
    EXPECT_EQ(test::readWholeFile<Bytes>(file_), first);
    EXPECT_EQ(first.size(), kSettingsRecordSize);
    EXPECT_EQ(Bytes(record.image().begin(), record.image().end()), first);
    EXPECT_EQ(test::entriesOf(dir_), std::vector<std::string>{"HX350.cfg"});
}

TEST_F(SettingsFileTest, ANewFileIsForItsOwnerOnlyWhateverTheUmask) {
    const mode_t old_mask = ::umask(0);
    const SettingsFileStatus status = writeSettingsFile(file_, SettingsRecord());
    ::umask(old_mask);
    ASSERT_TRUE(status.ok()) << status.context;
    EXPECT_EQ(modeOf(file_), 0600u);
}

TEST_F(SettingsFileTest, AnExistingFileKeepsItsPermissionBits) {
    for (const mode_t mode : {mode_t{0640}, mode_t{0666}, mode_t{0200}}) {
        test::writeWholeFile(file_, Bytes(kSettingsRecordSize, 0));
        ASSERT_EQ(::chmod(file_.c_str(), mode), 0);
        SettingsRecord record;
        record.set(cfg::ComPortIndex, 5);
        ASSERT_TRUE(writeSettingsFile(file_, record).ok()) << std::oct << mode;
        EXPECT_EQ(modeOf(file_), mode);
        ASSERT_EQ(::chmod(file_.c_str(), 0600), 0);
        EXPECT_EQ(test::readWholeFile<Bytes>(file_)[4], 5);
    }
}

TEST_F(SettingsFileTest, TheSuperuserSavingKeepsTheFileOwner) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can hand a file to another owner";
    test::writeWholeFile(file_, Bytes(kSettingsRecordSize, 0));
    ASSERT_EQ(::chown(file_.c_str(), 4321, 4322), 0);
    ASSERT_TRUE(writeSettingsFile(file_, SettingsRecord()).ok());
    struct stat info {};
    ASSERT_EQ(::stat(file_.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
}

TEST_F(SettingsFileTest, ReadOnlyFileIsRefusedAndStaysAsItWasEvenForTheSuperuser) {
    const Bytes old_bytes = test::randomBytes<Bytes>(kSettingsRecordSize, 8);
    test::writeWholeFile(file_, old_bytes);
    ASSERT_EQ(::chmod(file_.c_str(), 0444), 0);
    SettingsRecord record;
    record.set(cfg::GprsApn, "new");

    const SettingsFileStatus status = SaveCFGFile(file_, record, window_);
    EXPECT_EQ(status.result, SettingsFileResult::AccessError);
    EXPECT_EQ(test::readWholeFile<Bytes>(file_), old_bytes);
    EXPECT_EQ(modeOf(file_), 0444u);
    EXPECT_EQ(test::entriesOf(dir_), std::vector<std::string>{"HX350.cfg"});
    ASSERT_EQ(window_.messages.size(), 1u);
    EXPECT_EQ(window_.messages[0].text, "HX350.cfg access error");
}

TEST_F(SettingsFileTest, DirectoryWhereTheFileShouldBeIsRefused) {
    fs::create_directory(file_);
    const SettingsFileStatus status = writeSettingsFile(file_, SettingsRecord());
    EXPECT_EQ(status.result, SettingsFileResult::AccessError);
    EXPECT_TRUE(fs::is_directory(file_));
    EXPECT_TRUE(fs::is_empty(file_));
    EXPECT_EQ(test::entriesOf(dir_), std::vector<std::string>{"HX350.cfg"});
}

TEST_F(SettingsFileTest, MissingDirectoryIsAnAccessError) {
    EXPECT_EQ(writeSettingsFile(dir_ / "no-such-folder" / "HX350.cfg", SettingsRecord()).result,
              SettingsFileResult::AccessError);
}

TEST_F(SettingsFileTest, ALinkIsFollowedAndStaysALink) {
    const fs::path real = dir_ / "real.cfg";
    test::writeWholeFile(real, Bytes(kSettingsRecordSize, 0));
    fs::create_symlink("real.cfg", file_);
    SettingsRecord record;
    record.set(cfg::HttpHost2, "http://example.org");
    ASSERT_TRUE(writeSettingsFile(file_, record).ok());
    EXPECT_TRUE(fs::is_symlink(file_));
    EXPECT_EQ(test::readWholeFile<Bytes>(real), Bytes(record.image().begin(), record.image().end()));

    fs::remove(real);
    EXPECT_EQ(writeSettingsFile(file_, record).result, SettingsFileResult::AccessError);  // dangling
    EXPECT_FALSE(fs::exists(real));
}

TEST_F(SettingsFileTest, RelativeNameIsInTheWorkingDirectory) {
    const fs::path previous = fs::current_path();
    fs::current_path(dir_);
    SettingsRecord record;
    record.set(cfg::BaudRateIndex, 4);
    const SettingsFileStatus saved = SaveCFGFile(std::string(kSettingsFileName), record, window_);
    SettingsRecord loaded;
    const SettingsFileStatus read = ReadCFGFile(std::string(kSettingsFileName), loaded, window_);
    fs::current_path(previous);
    EXPECT_TRUE(saved.ok()) << saved.context;
    EXPECT_TRUE(read.ok()) << read.context;
    EXPECT_EQ(loaded.get(cfg::BaudRateIndex), 4);
    EXPECT_EQ(test::entriesOf(dir_), std::vector<std::string>{"HX350.cfg"});
    EXPECT_TRUE(window_.messages.empty());
}

// ---- Failures during the save, through the file-operations seam ----

TEST_F(SettingsFileTest, AnyFailingStepLeavesTheOldFileAndNoTemporary) {
    using Step = FailingOps::Step;
    const struct {
        const char* what;
        Step step;
        int error_number;
        std::size_t write_budget;
    } rows[] = {
        {"create", Step::Create, EACCES, 0},
        {"disk full at once", Step::Write, ENOSPC, 0},
        {"full after 1", Step::Write, ENOSPC, 1},
        {"full after 4096", Step::Write, ENOSPC, 4096},
        {"full after 4203", Step::Write, ENOSPC, 4203},
        {"device error", Step::Write, EIO, 100},
        {"flush", Step::Sync, EIO, 0},
        {"close", Step::Close, EIO, 0},
        {"rename", Step::Rename, EXDEV, 0},
    };
    const Bytes old_bytes = test::randomBytes<Bytes>(kSettingsRecordSize, 9);
    SettingsRecord record;
    record.set(cfg::GprsPassword, "changed");
    for (const auto& row : rows) {
        test::writeWholeFile(file_, old_bytes);
        ASSERT_EQ(::chmod(file_.c_str(), 0640), 0);
        window_.messages.clear();
        FailingOps ops(row.step, row.error_number, row.write_budget);

        const SettingsFileStatus status = SaveCFGFile(file_, record, window_, ops);
        EXPECT_EQ(status.result, SettingsFileResult::AccessError) << row.what;
        EXPECT_EQ(status.error_number, row.error_number) << row.what;
        EXPECT_FALSE(status.context.empty()) << row.what;
        EXPECT_EQ(test::readWholeFile<Bytes>(file_), old_bytes) << row.what;
        EXPECT_EQ(modeOf(file_), 0640u) << row.what;
        EXPECT_EQ(test::entriesOf(dir_), std::vector<std::string>{"HX350.cfg"}) << row.what;
        ASSERT_EQ(window_.messages.size(), 1u) << row.what;
        EXPECT_EQ(window_.messages[0].text, "HX350.cfg access error");
        EXPECT_EQ(window_.messages[0].icon, MessageIcon::Warning);
    }
}

TEST_F(SettingsFileTest, FailedSaveOfANewFileLeavesNothing) {
    FailingOps ops(FailingOps::Step::Write, ENOSPC, 10);
    EXPECT_EQ(writeSettingsFile(file_, SettingsRecord(), ops).result, SettingsFileResult::AccessError);
    EXPECT_TRUE(fs::is_empty(dir_));
}

/// Hands the data over one byte at a time and is interrupted by a signal before every other byte.
class TricklingOps final : public SettingsFileOps {
  public:
    ssize_t writeSome(int fd, const void* data, std::size_t size) override {
        ++calls;
        if (calls % 2 == 1) {
            errno = EINTR;
            return -1;
        }
        return SettingsFileOps::writeSome(fd, data, std::min<std::size_t>(size, 1));
    }
    int calls = 0;
};

TEST_F(SettingsFileTest, PartialAndInterruptedWritesStillSaveTheWholeRecord) {
    const Bytes bytes = test::randomBytes<Bytes>(kSettingsRecordSize, 10);
    TricklingOps ops;
    ASSERT_TRUE(writeSettingsFile(file_, recordOf(bytes), ops).ok());
    EXPECT_EQ(test::readWholeFile<Bytes>(file_), bytes);
    EXPECT_EQ(ops.calls, 2 * static_cast<int>(kSettingsRecordSize));
}

/// A real file system of two pages, filled by the old file, so the new one cannot be written.
class FullFileSystemTest : public SettingsFileTest {
  protected:
    void SetUp() override {
        SettingsFileTest::SetUp();
        mount_ = dir_ / "small";
        fs::create_directory(mount_);
        if (::mount("tmpfs", mount_.c_str(), "tmpfs", 0, "size=8k,mode=0700") != 0) {
            GTEST_SKIP() << "cannot mount a small file system here (needs the superuser): "
                         << std::strerror(errno);
        }
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) ::umount2(mount_.c_str(), MNT_DETACH);
        SettingsFileTest::TearDown();
    }
    fs::path mount_;
    bool mounted_ = false;
};

TEST_F(FullFileSystemTest, SaveOnAFullDiskIsAnAccessErrorAndKeepsTheOldFile) {
    const fs::path target = mount_ / "HX350.cfg";
    const Bytes old_bytes = test::randomBytes<Bytes>(kSettingsRecordSize, 11);
    ASSERT_TRUE(writeSettingsFile(target, recordOf(old_bytes)).ok());
    // Take whatever room the old file left.
    {
        std::ofstream filler(mount_ / "filler", std::ios::binary);
        const Bytes block(512, 0x55);
        for (int i = 0; i < 64 && filler; ++i) {
            filler.write(reinterpret_cast<const char*>(block.data()),
                         static_cast<std::streamsize>(block.size()));
            filler.flush();
        }
    }
    SettingsRecord record;
    record.set(cfg::FtpHostName, "ftp.example.org");
    const SettingsFileStatus status = SaveCFGFile(target, record, window_);
    EXPECT_EQ(status.result, SettingsFileResult::AccessError);
    EXPECT_EQ(status.error_number, ENOSPC) << status.context;
    EXPECT_EQ(test::readWholeFile<Bytes>(target), old_bytes);
    EXPECT_EQ(test::entriesOf(mount_), (std::vector<std::string>{"HX350.cfg", "filler"}));
    ASSERT_EQ(window_.messages.size(), 1u);
    EXPECT_EQ(window_.messages[0].text, "HX350.cfg access error");
}

// ---- What the window is shown ----

TEST_F(SettingsFileTest, ReadCFGFileShowsTheAccessWarningForAMissingFile) {
    SettingsRecord record;
    const SettingsFileStatus status = ReadCFGFile(file_, record, window_);
    EXPECT_EQ(status.result, SettingsFileResult::AccessError);
    ASSERT_EQ(window_.messages.size(), 1u);
    EXPECT_EQ(window_.messages[0].text, "HX350.cfg access error");
    EXPECT_EQ(window_.messages[0].caption, "KALDEROMIX");
    EXPECT_EQ(window_.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(record, SettingsRecord());
}

TEST_F(SettingsFileTest, ReadCFGFileShowsReadBeyondEndForAShortFile) {
    test::writeWholeFile(file_, Bytes(100, 0x01));
    SettingsRecord record;
    const SettingsFileStatus status = ReadCFGFile(file_, record, window_);
    EXPECT_EQ(status.result, SettingsFileResult::ReadBeyondEnd);
    ASSERT_EQ(window_.messages.size(), 1u);
    EXPECT_EQ(window_.messages[0].text, "Read beyond end of file");
    EXPECT_EQ(window_.messages[0].caption, "KALDEROMIX");
    EXPECT_EQ(window_.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(record.get(cfg::BaudRateIndex), 0x01010101);
}

TEST_F(SettingsFileTest, SuccessShowsNothing) {
    SettingsRecord record;
    record.set(cfg::SmsModeOn, true);
    ASSERT_TRUE(SaveCFGFile(file_, record, window_).ok());
    SettingsRecord loaded;
    ASSERT_TRUE(ReadCFGFile(file_, loaded, window_).ok());
    EXPECT_TRUE(loaded.get(cfg::SmsModeOn));
    EXPECT_TRUE(window_.messages.empty());
}

}  // namespace
}  // namespace hx350
