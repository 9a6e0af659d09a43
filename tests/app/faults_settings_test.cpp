// A damaged or unwritable settings file, through the whole form: start-up with a file that is too short,
// too long, random, or a directory; saving onto a read-only file, a directory, or a disk that fills up
// part way. Each time the user sees the one fixed message, the tool keeps running, and a file that was
// there stays byte for byte as it was.
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "failing_settings_ops.h"
#include "form_fixture.h"

namespace hx350::test {
namespace {

class SettingsFaults : public FormOnPtys {
  protected:
    void TearDown() override {
        ::rmdir(cfg_path_.c_str());  // when a test put a directory in the file's place
        FormOnPtys::TearDown();
    }

    TForm1& startWith(SettingsFileOps* ops) {
        FormSeams s = seams();
        s.settings_ops = ops;
        form_ = std::make_unique<TForm1>(std::move(s));
        form_->FormCreate();
        return *form_;
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : services_.messages)
            out.push_back(m.text);
        return out;
    }

    // The form goes on working after the fault: time passes, and in direct mode on Com1 a command goes
    // out whole. (A random record may choose SMS mode or another port; then only the passing time counts.)
    void stillWorks(TForm1& f) {
        time_.advance(30 * 1000);
        const bool plain = !f.SMSmode.Checked() && f.CommPortDriver1().PortName() == com(1).secondaryPath();
        wire(1);
        f.ReadState.userClick();
        const std::string written = wire(1);
        if (plain) {
            EXPECT_EQ(written, framed("GETST"));
        }
        wire(2);
        wire(3);
    }
};

TEST_F(SettingsFaults, DamagedFilesAtStartUpShowTheirMessageAndAreNeverWritten) {
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> messages;
    } cases[] = {
        {"empty", "", {"Read beyond end of file"}},
        {"one byte", "\x01", {"Read beyond end of file"}},
        {"one byte short", randomBytes(kSettingsRecordSize - 1, 1), {"Read beyond end of file"}},
        {"random record", randomBytes(kSettingsRecordSize, 2), {}},
        {"random record, all bits set", std::string(kSettingsRecordSize, '\xFF'), {}},
        {"one byte long", randomBytes(kSettingsRecordSize + 1, 3), {}},
        {"ten records long", randomBytes(10 * kSettingsRecordSize, 4), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeWholeFile(cfg_path_, c.bytes);
        services_.messages.clear();
        TForm1& f = start();
        EXPECT_EQ(texts(), c.messages);
        stillWorks(f);
        EXPECT_EQ(readWholeFile(cfg_path_), c.bytes) << "start-up wrote the settings file";
        form_.reset();
    }
}

TEST_F(SettingsFaults, ARandomRecordLoadsAndSavesAsExactlyOneRecord) {
    for (unsigned seed = 10; seed < 20; ++seed) {
        SCOPED_TRACE(seed);
        writeWholeFile(cfg_path_, randomBytes(kSettingsRecordSize, seed));
        services_.messages.clear();
        TForm1& f = start();
        f.SaveSetting1.userClick();
        EXPECT_TRUE(services_.messages.empty());
        const std::string saved = readWholeFile(cfg_path_);
        EXPECT_EQ(saved.size(), kSettingsRecordSize);
        // What was saved loads again without a message, and saves to the same bytes.
        form_.reset();
        services_.messages.clear();
        TForm1& again = start();
        again.SaveSetting1.userClick();
        EXPECT_TRUE(services_.messages.empty());
        EXPECT_EQ(readWholeFile(cfg_path_), saved);
        form_.reset();
    }
}

TEST_F(SettingsFaults, ADirectoryInTheFilesPlaceIsReportedAtStartAndAtSaveAndStaysADirectory) {
    ASSERT_EQ(::mkdir(cfg_path_.c_str(), 0700), 0);
    TForm1& f = start();
    EXPECT_EQ(texts(), std::vector<std::string>{"HX350.cfg access error"});
    services_.messages.clear();
    f.SaveSetting1.userClick();
    EXPECT_EQ(texts(), std::vector<std::string>{"HX350.cfg access error"});
    struct stat st {};
    ASSERT_EQ(::stat(cfg_path_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_TRUE(entriesOf(cfg_path_).empty());
    EXPECT_EQ(entriesOf(dir_), std::vector<std::string>{"HX350.cfg"});
    stillWorks(f);
}

TEST_F(SettingsFaults, AReadOnlyFileRefusedTwiceStaysAsItWas) {
    const std::string old_bytes = randomBytes(kSettingsRecordSize, 5);
    writeWholeFile(cfg_path_, old_bytes);
    ASSERT_EQ(::chmod(cfg_path_.c_str(), 0444), 0);
    TForm1& f = start();
    EXPECT_TRUE(services_.messages.empty());  // reading it is fine
    for (int i = 0; i < 2; ++i) {
        f.SaveSetting1.userClick();
        f.APN.userSetText("changed " + std::to_string(i));
    }
    EXPECT_EQ(texts(), (std::vector<std::string>{"HX350.cfg access error", "HX350.cfg access error"}));
    EXPECT_EQ(readWholeFile(cfg_path_), old_bytes);
    EXPECT_EQ(entriesOf(dir_), std::vector<std::string>{"HX350.cfg"});
    stillWorks(f);
}

TEST_F(SettingsFaults, AFullDiskDuringTheSaveKeepsTheOldFileByteForByte) {
    using Step = FailingOps::Step;
    const struct {
        const char* name;
        Step step;
        int error_number;
        std::size_t budget;
    } cases[] = {
        {"full before the first byte", Step::Write, ENOSPC, 0},
        {"full after one byte", Step::Write, ENOSPC, 1},
        {"full after 4096 bytes", Step::Write, ENOSPC, 4096},
        {"full one byte before the end", Step::Write, ENOSPC, kSettingsRecordSize - 1},
        {"quota exceeded", Step::Write, EDQUOT, 100},
        {"delayed allocation fails at the flush", Step::Sync, ENOSPC, 0},
        {"I/O error at the flush", Step::Sync, EIO, 0},
        {"full at the close", Step::Close, ENOSPC, 0},
        {"rename refused", Step::Rename, EXDEV, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string old_bytes = randomBytes(kSettingsRecordSize, 6);
        writeWholeFile(cfg_path_, old_bytes);
        FailingOps ops(c.step, c.error_number, c.budget);
        services_.messages.clear();
        TForm1& f = startWith(&ops);
        EXPECT_TRUE(services_.messages.empty());
        f.APN.userSetText("internet.example.org");
        const SettingsFileStatus status = f.SaveCFGFile(cfg_path_);
        EXPECT_EQ(status.result, SettingsFileResult::AccessError);
        EXPECT_EQ(status.error_number, c.error_number) << status.context;
        f.SaveSetting1.userClick();
        EXPECT_EQ(texts(), (std::vector<std::string>{"HX350.cfg access error", "HX350.cfg access error"}));
        EXPECT_EQ(readWholeFile(cfg_path_), old_bytes);
        EXPECT_EQ(entriesOf(dir_), std::vector<std::string>{"HX350.cfg"}) << "a temporary file was left";
        stillWorks(f);
        form_.reset();
    }
}

}  // namespace
}  // namespace hx350::test
