// hx350-cfg as a technician runs it: the program itself, its exit status, what it prints, and which files
// it leaves behind.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/wait.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/form.h"
#include "app/settings_bindings.h"
#include "app/settings_file.h"
#include "app/settings_record.h"
#include "app/settings_text.h"
#include "support/sim_process.h"

namespace hx350 {
namespace {

namespace fs = std::filesystem;

const fs::path kGolden = fs::path(HX350_TEST_DATA_DIR) / "settings" / "golden.cfg";
const fs::path kProgram = fs::path(HX350_BIN_DIR) / "hx350-cfg";
const fs::path kSimulator = fs::path(HX350_BIN_DIR) / "hx350-sim";
const fs::path kSampleSite = fs::path(HX350_TEST_DATA_DIR) / ".." / ".." / "data" / "sample-site.txt";

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (const char c : arg) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class CfgToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "cfg-tool-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        golden_ = readAll(kGolden);
        ASSERT_EQ(golden_.size(), kSettingsRecordSize);
        fs::copy_file(kGolden, dir_ / "site.cfg");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    Outcome run(const std::vector<std::string>& args) {
        std::string command = "cd " + quoted(dir_.string()) + " && " + quoted(kProgram.string());
        for (const auto& a : args)
            command += " " + quoted(a);
        command += " >out.log 2>err.log";
        const int raw = std::system(command.c_str());
        const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return {status, readAll(dir_ / "out.log"), readAll(dir_ / "err.log")};
    }

    fs::path dir_;
    std::string golden_;
};

TEST_F(CfgToolTest, ExportImportReproducesTheFile) {
    const Outcome exported = run({"export", "site.cfg", "-o", "site.txt"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const Outcome imported = run({"import", "site.txt", "-o", "back.cfg"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(readAll(dir_ / "back.cfg"), golden_);
    const Outcome to_stdout = run({"export", "back.cfg"});
    EXPECT_EQ(to_stdout.out, readAll(dir_ / "site.txt"));
}

TEST_F(CfgToolTest, BadTextsAreRefusedAndNoFileIsWritten) {
    ASSERT_EQ(run({"export", "site.cfg", "-o", "site.txt"}).status, 0);
    const std::string text = readAll(dir_ / "site.txt");
    auto lineOf = [&](const std::string& key) {
        const std::size_t at = text.find("\n" + key + " = ");
        return static_cast<std::size_t>(
                   std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at) + 1, '\n')) +
               1;
    };
    auto replaced = [&](const std::string& key, const std::string& line) {
        const std::size_t start = text.find("\n" + key + " = ") + 1;
        return text.substr(0, start) + line + text.substr(text.find('\n', start));
    };
    struct Case {
        std::string name;
        std::string text;
        std::string error;  // after "hx350-cfg: bad.txt:"
    };
    const std::string phone = std::to_string(lineOf("ModulePhone"));
    const std::string rate = std::to_string(lineOf("SampleRate"));
    const std::vector<Case> cases = {
        {"unknown key", replaced("SampleRate", "SampelRate = 6"), rate + ": SampelRate: unknown setting"},
        {"duplicate", replaced("SampleRate", "ModulePhone = \"1\""),
         rate + ": ModulePhone: given twice (first on line " + phone + ")"},
        {"bad escape", replaced("ModulePhone", R"(ModulePhone = "\z")"),
         phone + R"(: ModulePhone: bad escape \z)"},
        {"out of range", replaced("SampleRate", "SampleRate = -2147483649"),
         rate + ": SampleRate: value -2147483649 out of range -2147483648..2147483647"},
        {"wrong type", replaced("SampleRate", "SampleRate = \"6\""),
         rate + ": SampleRate: wrong type: a number is expected, not a text"},
        {"truncated line", text.substr(0, text.find("\n", text.find("\nSampleRate = ") + 1) - 1),
         rate + ": SampleRate: the line has no end: the text is cut short"},
    };
    for (const Case& c : cases) {
        writeAll(dir_ / "bad.txt", c.text);
        const Outcome fresh = run({"import", "bad.txt", "-o", "new.cfg"});
        EXPECT_EQ(fresh.status, 2) << c.name;
        EXPECT_EQ(fresh.err, "hx350-cfg: bad.txt:" + c.error + "\n") << c.name;
        EXPECT_FALSE(fs::exists(dir_ / "new.cfg")) << c.name;
        const Outcome over = run({"import", "bad.txt", "-o", "site.cfg"});
        EXPECT_EQ(over.status, 2) << c.name;
        EXPECT_EQ(readAll(dir_ / "site.cfg"), golden_) << c.name << ": the existing file changed";
    }
    for (const auto& file : fs::directory_iterator(dir_))
        EXPECT_EQ(file.path().filename().string().find(".site.cfg."), std::string::npos)
            << "temporary file left";

    std::string crlf;
    for (const char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    writeAll(dir_ / "crlf.txt", crlf);
    const Outcome accepted = run({"import", "crlf.txt", "-o", "crlf.cfg"});
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_EQ(readAll(dir_ / "crlf.cfg"), golden_);
}

TEST_F(CfgToolTest, DiffComparesFilesAndTextsInAnyMix) {
    ASSERT_EQ(run({"export", "site.cfg", "-o", "site.txt"}).status, 0);
    const Outcome same = run({"diff", "site.txt", "site.cfg"});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");

    fs::copy_file(dir_ / "site.cfg", dir_ / "other.cfg");
    const Outcome set = run({"set", "other.cfg", "SampleRate=9", "FtpPassword=\"Hot\\n\xC3\xA9\""});
    ASSERT_EQ(set.status, 0) << set.err;
    const Outcome different = run({"diff", "site.txt", "other.cfg"});
    EXPECT_EQ(different.status, 1) << different.err;
    // One line per changed setting, in the order of the text.
    std::string expected;
    for (const SettingsTextEntry& entry : settingsTextEntries()) {
        if (entry.key == "SampleRate") expected += "SampleRate: 6 -> 9  # " + entry.label + "\n";
        if (entry.key == "FtpPassword")
            expected += "FtpPassword: \"pw-16-characters\" -> \"Hot\\n\xC3\xA9\"  # " + entry.label + "\n";
    }
    EXPECT_EQ(different.out, expected);

    const Outcome got = run({"get", "other.cfg", "SampleRate", "FtpPassword"});
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, "9\n\"Hot\\n\xC3\xA9\"\n");

    const Outcome missing = run({"diff", "site.txt", "nowhere.cfg"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "hx350-cfg: nowhere.cfg: cannot open: No such file or directory\n");
}

TEST_F(CfgToolTest, SetIsCheckedAsImportAndChangesNothingOnError) {
    const Outcome bad = run({"set", "site.cfg", "SampleRate=7", "SkipCrLf=yes"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "hx350-cfg: site.cfg: argument 2: SkipCrLf: true or false is expected\n");
    EXPECT_EQ(readAll(dir_ / "site.cfg"), golden_);

    const Outcome unknown = run({"get", "site.cfg", "Nothing"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "hx350-cfg: Nothing: unknown setting\n");

    writeAll(dir_ / "short.cfg", golden_.substr(0, 100));
    const Outcome short_file = run({"export", "short.cfg"});
    EXPECT_EQ(short_file.status, 2);
    EXPECT_EQ(short_file.err, "hx350-cfg: short.cfg: Read beyond end of file: 100 of 4204 bytes\n");
}

std::size_t lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// A site written to the simulated module, verified (one setting changed in the file: exactly that one
// listed) and read back (only what the module cannot be asked for differs).
TEST_F(CfgToolTest, WriteAllVerifyAndReadAllAgainstTheSimulatedModule) {
    test::SimProcess sim;
    ASSERT_TRUE(sim.start(kSimulator.string(), {"--mode", "module", "--answer-delay", "0"}));
    fs::copy_file(kSampleSite, dir_ / "pump.txt");
    // The pump station, its empty phone-book entries filled: a write does not send an empty entry, and
    // the simulated module has entries of its own there. (Its empty alarm numbers are cleared.)
    ASSERT_EQ(run({"import", "pump.txt", "-o", "pump.cfg"}).status, 0);
    for (int n = 3; n <= 7; ++n) {
        const std::string entry =
            "PhoneBookNumber[" + std::to_string(n) + "]=\"+4930555000" + std::to_string(n) + "\"";
        ASSERT_EQ(run({"set", "pump.cfg", entry}).status, 0);
    }

    const Outcome written = run({"write-all", "--port", sim.path(), "pump.cfg", "--report", "write.csv"});
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.err, "");
    const std::string report = readAll(dir_ / "write.csv");
    ASSERT_GT(lines(report), 100u);
    // Without a terminal: a line per step, then the summary; the report has a line per step too.
    EXPECT_EQ(lines(written.out), lines(report));
    const std::string steps = std::to_string(lines(report) - 1);
    EXPECT_NE(written.out.find("write-all: " + steps + " of " + steps + " steps"), std::string::npos)
        << written.out;

    // The file changed since in one alarm number: exactly that one is listed.
    fs::copy_file(dir_ / "pump.cfg", dir_ / "changed.cfg");
    ASSERT_EQ(run({"set", "changed.cfg", "SubscriberNumber[2]=\"+4917600000000\""}).status, 0);
    const Outcome verified = run({"verify", "--port", sim.path(), "--timeout", "0.5", "changed.cfg"});
    EXPECT_EQ(verified.status, 1) << verified.err;
    // After the summary line: one line per setting that differs, and only the one changed.
    const std::string listed =
        verified.out.substr(verified.out.find('\n', verified.out.find("verify: ")) + 1);
    EXPECT_EQ(listed.rfind("SubscriberNumber[2]: \"+4917600000000\" -> \"+4917698765432\"  # ", 0), 0u)
        << verified.out;
    EXPECT_EQ(lines(listed), 1u) << listed;

    const Outcome read = run({"read-all", "--port", sim.path(), "-o", "module.cfg", "--report", "read.csv"});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_NE(readAll(dir_ / "read.csv").find(",not readable\r\n"), std::string::npos);
    // What differs is what no read brings into the pages: the module's unreadable settings and the
    // tool's own (port, rate, mode), which a read keeps as a new window has them. Values are compared as a
    // save stores them (a text without what an older, longer text left behind it in the file).
    SettingsRecord file;
    SettingsRecord module;
    ASSERT_TRUE(readSettingsFile((dir_ / "pump.cfg").string(), file).ok());
    ASSERT_TRUE(readSettingsFile((dir_ / "module.cfg").string(), module).ok());
    const TForm1 table_form{FormSeams{}};
    std::size_t read_back = 0;
    for (const SettingBinding& row : table_form.settingsBindings().rows()) {
        if (!row.read_into_page) continue;
        EXPECT_EQ(recordValueText(module, row), recordValueText(file, row)) << row.key;
        ++read_back;
    }
    EXPECT_GT(read_back, 100u);
}

TEST_F(CfgToolTest, ModuleCommandsThatCannotRunSayWhyAndWriteNothing) {
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"write-all", "site.cfg"}, "write-all: --port DEVICE is needed"},
        {{"read-all", "--port", "/dev/null"}, "read-all: read-all takes --port DEVICE and -o FILE.cfg"},
        {{"verify", "--port", "/dev/null", "--baud", "12345", "site.cfg"},
         "verify: --baud takes 9600, 19200, 38400, 57600 or 115200, not '12345'"},
        {{"verify", "--port", "/dev/null", "--timeout", "0", "site.cfg"},
         "verify: --timeout takes seconds from 0.05 to 600, not '0'"},
        {{"write-all", "--port", "/dev/null", "nowhere.cfg"}, "write-all: nowhere.cfg: cannot open"},
        {{"read-all", "--port", (dir_ / "no-such-tty").string(), "-o", "out.cfg", "--report", "r.csv"},
         "read-all: " + (dir_ / "no-such-tty").string() + ": "},
    };
    for (const Case& c : cases) {
        const Outcome outcome = run(c.args);
        EXPECT_EQ(outcome.status, 2) << c.args[0];
        EXPECT_EQ(outcome.err.rfind("hx350-cfg " + c.error, 0), 0u) << outcome.err;
    }
    EXPECT_FALSE(fs::exists(dir_ / "out.cfg"));
    EXPECT_FALSE(fs::exists(dir_ / "r.csv"));
}

TEST_F(CfgToolTest, HelpAndVersion) {
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: hx350-cfg"), std::string::npos);
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("hx350-cfg ", 0), 0u);
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
}

}  // namespace
}  // namespace hx350
