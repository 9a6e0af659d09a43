// The real hx350-sim program on its pseudo-terminal: start-up line, link, answers, pieces, silence,
// transcript and shutdown by signal.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const std::string kProgram = std::string(HX350_BIN_DIR) + "/hx350-sim";

// A running hx350-sim with the client end of its terminal open.
class SimProcess {
  public:
    explicit SimProcess(std::vector<std::string> args) {
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(kProgram.c_str()));
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(kProgram.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
        path_ = readLine(milliseconds(5000));
    }
    ~SimProcess() {
        if (fd_ >= 0) ::close(fd_);
        if (stdout_ >= 0) ::close(stdout_);
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    const std::string& path() const { return path_; }

    void closeClient() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

    bool openClient(const std::string& path) {
        closeClient();
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) return false;
        termios t{};
        if (::tcgetattr(fd_, &t) != 0) return false;
        ::cfmakeraw(&t);
        return ::tcsetattr(fd_, TCSANOW, &t) == 0;
    }

    bool send(const std::string& bytes) {
        return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Reads until `until` appears or the deadline passes; counts the reads that brought bytes.
    std::string readUntil(const std::string& until, milliseconds deadline, int* reads = nullptr) {
        std::string got;
        const auto end = Clock::now() + deadline;
        while (Clock::now() < end && got.find(until) == std::string::npos) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
                char buf[512];
                const ssize_t n = ::read(fd_, buf, sizeof buf);
                if (n > 0) {
                    got.append(buf, static_cast<std::size_t>(n));
                    if (reads != nullptr) ++*reads;
                }
            }
        }
        return got;
    }

    // Sends SIGTERM and waits for the exit status (-1 on timeout).
    int terminate(milliseconds deadline = milliseconds(3000)) {
        ::kill(pid_, SIGTERM);
        const auto end = Clock::now() + deadline;
        while (Clock::now() < end) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            ::usleep(5000);
        }
        return -1;
    }

  private:
    std::string readLine(milliseconds deadline) {
        std::string line;
        const auto end = Clock::now() + deadline;
        while (Clock::now() < end) {
            pollfd p{stdout_, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0) continue;
            char c = 0;
            if (::read(stdout_, &c, 1) != 1) break;
            if (c == '\n') return line;
            line.push_back(c);
        }
        return {};
    }

    pid_t pid_ = -1;
    bool reaped_ = false;
    int stdout_ = -1;
    int fd_ = -1;
    std::string path_;
};

std::filesystem::path tempDir(const char* name) {
    const auto dir = std::filesystem::temp_directory_path() /
                     (std::string("hx350-sim-") + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string frame(const std::string& command) {
    return std::string(14, ' ') + "SETUP:" + command + "\r" + std::string(1, '\0');
}

TEST(SimProgram, ModuleModeAnswersThroughTheLinkAndWritesATranscript) {
    const auto dir = tempDir("module");
    const std::string link = (dir / "hx350").string();
    const std::string transcript = (dir / "run.txt").string();
    SimProcess sim({"--mode", "module", "--link", link, "--transcript", transcript});
    ASSERT_EQ(sim.path().rfind("/dev/pts/", 0), 0u) << sim.path();
    ASSERT_TRUE(sim.openClient(link));

    ASSERT_TRUE(sim.send(frame("SETNN3 +4917012345")));
    EXPECT_EQ(sim.readUntil("OK\r\n", milliseconds(2000)), "SETNN3 OK\r\n");
    ASSERT_TRUE(sim.send(frame("GETNR3")));
    EXPECT_EQ(sim.readUntil("\r\n", milliseconds(2000)), "3: +4917012345\r\n");

    EXPECT_EQ(sim.terminate(), 0);
    struct stat st {};
    EXPECT_NE(::lstat(link.c_str(), &st), 0) << "the link is removed at exit";

    std::ifstream in(transcript);
    std::stringstream text;
    text << in.rdbuf();
    const std::string t = text.str();
    EXPECT_NE(
        t.find(" in  28 bytes: \"              SETUP:GETNR3<CR><NUL>\"\n"
               "     20 20 20 20 20 20 20 20 20 20 20 20 20 20 53 45 54 55 50 3A 47 45 54 4E 52 33 0D 00\n"),
        std::string::npos)
        << t;
    EXPECT_NE(t.find(" out 16 bytes: \"3: +4917012345<CR><LF>\"\n"), std::string::npos) << t;
    EXPECT_NE(t.find("# stopped by a signal"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(SimProgram, PhoneModeSplitsAnswersIntoSeveralReads) {
    SimProcess sim({"--mode", "phone", "--split", "4", "--split-pause", "40", "--answer-delay", "0"});
    ASSERT_TRUE(sim.openClient(sim.path()));
    ASSERT_TRUE(sim.send("AT+CGMI\r"));
    int reads = 0;
    const std::string answer = sim.readUntil("OK\r\n", milliseconds(3000), &reads);
    EXPECT_EQ(answer, "AT+CGMI\r\r\nHXSIM\r\n\r\nOK\r\n");
    EXPECT_GE(reads, 3) << "23 bytes in pieces of 4, 40 ms apart";
    EXPECT_EQ(sim.terminate(), 0);
}

TEST(SimProgram, PhoneModeModuleAnswerArrivesAsAListedMessage) {
    SimProcess sim({"--mode", "phone", "--reply-delay", "100", "--module-number", "+123"});
    ASSERT_TRUE(sim.openClient(sim.path()));
    // "GETNR1" and CR to +123, in the tool's form.
    ASSERT_TRUE(sim.send("AT+CMGS=17\r"));
    EXPECT_NE(sim.readUntil("> ", milliseconds(2000)).find("> "), std::string::npos);
    ASSERT_TRUE(
        sim.send("0011300391"
                 "21F3"
                 "00000B07C722D5298D3500"
                 "\x1a"));
    EXPECT_NE(sim.readUntil("OK\r\n", milliseconds(2000)).find("+CMGS: 1\r\n\r\nOK\r\n"), std::string::npos);
    std::string listing;
    const auto end = Clock::now() + milliseconds(3000);
    while (Clock::now() < end && listing.find("+CMGL: 1,0,,") == std::string::npos) {
        ASSERT_TRUE(sim.send("AT+CMGL=0\r"));
        listing = sim.readUntil("OK\r\n", milliseconds(500));
    }
    EXPECT_NE(listing.find("+CMGL: 1,0,,"), std::string::npos) << listing;
    EXPECT_EQ(sim.terminate(), 0);
}

TEST(SimProgram, SilentModeNeverAnswers) {
    SimProcess sim({"--mode", "phone", "--silent"});
    ASSERT_TRUE(sim.openClient(sim.path()));
    ASSERT_TRUE(sim.send("AT\r"));
    EXPECT_EQ(sim.readUntil("OK", milliseconds(300)), "");
    EXPECT_EQ(sim.terminate(), 0);
}

TEST(SimProgram, ClientMayCloseAndReopenTheTerminal) {
    SimProcess sim({"--mode", "module"});
    ASSERT_TRUE(sim.openClient(sim.path()));
    ASSERT_TRUE(sim.send(frame("  OK")));
    EXPECT_EQ(sim.readUntil("\r\n", milliseconds(2000)), "OK\r\n");
    sim.closeClient();  // as the tool does when it exits or reopens its port
    ASSERT_TRUE(sim.openClient(sim.path()));
    ASSERT_TRUE(sim.send(frame("GETNR1")));
    EXPECT_EQ(sim.readUntil("\r\n", milliseconds(2000)), "1: \r\n");
    EXPECT_EQ(sim.terminate(), 0);
}

TEST(SimProgram, HelpVersionAndBadOptions) {
    auto run = [](const std::string& args) {
        return std::system((kProgram + " " + args + " >/dev/null 2>&1").c_str());
    };
    EXPECT_EQ(WEXITSTATUS(run("--help")), 0);
    EXPECT_EQ(WEXITSTATUS(run("--version")), 0);
    EXPECT_EQ(WEXITSTATUS(run("--mode fax")), 2);
    EXPECT_EQ(WEXITSTATUS(run("--mode module --device /nonexistent/tty")), 1);
}

}  // namespace
