// The advisory note that a window uses a settings folder: a second taker is told who holds it, a planted
// link or a folder without the note changes nothing, and closing the first frees the folder.
#include "app/folder_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace hx350 {
namespace {

namespace fs = std::filesystem;

class FolderLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/hx350-lock-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        folder_ = name;
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string settings() const { return (folder_ / "HX350.cfg").string(); }
    fs::path folder_;
};

TEST_F(FolderLockTest, SecondTakerIsToldTheHoldersPidUntilTheHolderCloses) {
    auto first = std::make_unique<FolderLock>(settings());
    EXPECT_TRUE(first->held());
    EXPECT_FALSE(first->takenByOther());
    FolderLock second(settings());
    EXPECT_FALSE(second.held());
    EXPECT_TRUE(second.takenByOther());
    EXPECT_EQ(second.otherPid(), static_cast<long>(::getpid()));
    EXPECT_EQ(otherWindowText(second.otherPid()), "Another HX350 window uses this folder (pid " +
                                                      std::to_string(::getpid()) +
                                                      "): the last one to save wins");
    EXPECT_FALSE(fs::exists(settings()));  // the settings file itself is never touched
    first.reset();
    FolderLock third(settings());
    EXPECT_TRUE(third.held());
}

TEST_F(FolderLockTest, PlantedLinkIsNotFollowed) {
    const fs::path target = folder_ / "elsewhere";
    std::ofstream(target) << "precious";
    fs::create_symlink(target, folder_ / kFolderLockName);
    FolderLock lock(settings());
    EXPECT_FALSE(lock.held());
    EXPECT_FALSE(lock.takenByOther());
    std::ifstream in(target);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "precious");
}

TEST_F(FolderLockTest, MissingFolderHoldsNothingAndWarnsOfNothing) {
    FolderLock lock((folder_ / "gone" / "HX350.cfg").string());
    EXPECT_FALSE(lock.held());
    EXPECT_FALSE(lock.takenByOther());
    EXPECT_EQ(otherWindowText(0),
              "Another HX350 window uses this folder (pid unknown): the last one to save wins");
}

}  // namespace
}  // namespace hx350
