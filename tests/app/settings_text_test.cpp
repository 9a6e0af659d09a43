// The settings text: every record survives export and import byte for byte, every text the exporter
// wrote survives import and export character for character, and bad texts are refused with their line and
// key, leaving the record as it was.
#include "app/settings_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "app/settings_file.h"

namespace hx350 {
namespace {

namespace fs = std::filesystem;

const fs::path kGolden = fs::path(HX350_TEST_DATA_DIR) / "settings" / "golden.cfg";
const fs::path kCorpora = fs::path(HX350_TEST_DATA_DIR) / ".." / ".." / "fuzz" / "corpus";

SettingsRecord readRecord(const fs::path& path) {
    SettingsRecord record;
    readSettingsFile(path.string(), record);  // a short input keeps zeros after its end, as start-up does
    return record;
}

/// Export, import, export: the record and the text must both come back unchanged.
void expectRoundTrip(const SettingsRecord& original, const std::string& what) {
    const std::string text = exportSettingsText(original);
    SettingsRecord back;
    const auto error = importSettingsText(text, back);
    ASSERT_FALSE(error) << what << ": " << error->describe();
    ASSERT_TRUE(back == original) << what;
    ASSERT_EQ(exportSettingsText(back), text) << what;
}

TEST(SettingsTextTest, GoldenFileRoundTrips) {
    expectRoundTrip(readRecord(kGolden), kGolden.string());
}

TEST(SettingsTextTest, EveryFuzzCorpusInputRoundTrips) {
    int inputs = 0;
    for (const auto& corpus : fs::directory_iterator(kCorpora)) {
        if (corpus.path().filename().string().rfind("settings", 0) != 0) continue;
        for (const auto& input : fs::directory_iterator(corpus.path())) {
            expectRoundTrip(readRecord(input.path()), input.path().string());
            ++inputs;
        }
    }
    EXPECT_GT(inputs, 100);
}

TEST(SettingsTextTest, RandomRecordsRoundTrip) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int k = 0; k < 1000; ++k) {
        SettingsRecord::Image image;
        // Every fourth record mostly zero, so short texts, empty tails and plain flags occur as well.
        const bool sparse = k % 4 == 0;
        for (auto& b : image)
            b = static_cast<std::uint8_t>(sparse && byte(random) < 240 ? 0 : byte(random));
        expectRoundTrip(SettingsRecord(image), "random record " + std::to_string(k));
    }
}

/// How the text writes what a field holds, one representative of every form.
TEST(SettingsTextTest, ValueForms) {
    struct Case {
        std::size_t offset;
        std::vector<std::uint8_t> bytes;
        std::string key;
        std::string value;
    };
    const std::vector<Case> cases = {
        {0, {0xFE, 0xFF, 0xFF, 0xFF}, "BaudRateIndex", "-2"},
        {4116, {0xEF, 0xBE}, "CarriedWord1", "48879"},
        {3681, {0xAB}, "CarriedByte1", "171"},
        {4120, {1}, "SkipCrLf", "true"},
        {4120, {0}, "SkipCrLf", "false"},
        {4120, {0x5A}, "SkipCrLf", "0x5A"},
        {16, {5, 'a', '"', '\\', 0xE9, 0x7F}, "ModulePhone", R"("a\"\\é\x7F")"},
        {16, {4, '\a', '\t', '\n', 0x01}, "ModulePhone", R"("\a\t\n\x01")"},
        {16, {1, 'x', 0, 'y', 0, 0}, "ModulePhone", R"("x" tail "\x00y")"},
        {16, {200, 'a', 'b'}, "ModulePhone", R"("ab" length 200)"},
        {16, {0, 0, 0, 'z'}, "ModulePhone", R"("" tail "\x00\x00z")"},
    };
    for (const Case& c : cases) {
        SettingsRecord::Image image{};
        std::copy(c.bytes.begin(), c.bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(c.offset));
        const SettingsRecord record(image);
        const SettingsTextEntry* entry = findSettingsTextEntry(c.key);
        ASSERT_NE(entry, nullptr) << c.key;
        EXPECT_EQ(settingsTextValue(record, *entry), c.value) << c.key;
        expectRoundTrip(record, c.key + " = " + c.value);
    }
}

/// The golden text with the line of `key` replaced by `line` (an empty `line` removes it); `at` receives
/// the replaced line's number.
std::string withLine(const std::string& text, const std::string& key, const std::string& line,
                     std::size_t& at) {
    const std::size_t start = text.find("\n" + key + " = ") + 1;
    at = static_cast<std::size_t>(
             std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(start), '\n')) +
         1;
    const std::size_t end = text.find('\n', start) + 1;
    return text.substr(0, start) + (line.empty() ? "" : line + "\n") + text.substr(end);
}

TEST(SettingsTextTest, MalformedTextsAreRefusedWithLineAndKey) {
    const SettingsRecord golden = readRecord(kGolden);
    const std::string text = exportSettingsText(golden);
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    std::size_t phone_line = 0;
    withLine(text, "ModulePhone", "x", phone_line);

    struct Case {
        std::string name;
        std::string key;    // line to replace
        std::string line;   // its replacement
        std::string error;  // after "line N: "
    };
    const std::vector<Case> cases = {
        {"unknown key", "ModulePhone", "ModulPhone = \"1\"", "ModulPhone: unknown setting"},
        {"duplicate key", "SampleRate", "ModulePhone = \"1\"",
         "ModulePhone: given twice (first on line " + std::to_string(phone_line) + ")"},
        {"bad escape", "ModulePhone", R"(ModulePhone = "12\q")", R"(ModulePhone: bad escape \q)"},
        {"short hex escape", "ModulePhone", R"(ModulePhone = "\x4")",
         R"(ModulePhone: bad escape: \x needs two hexadecimal digits)"},
        {"number out of range", "BaudRateIndex", "BaudRateIndex = 2147483648",
         "BaudRateIndex: value 2147483648 out of range -2147483648..2147483647"},
        {"word out of range", "CarriedWord1", "CarriedWord1 = 65536",
         "CarriedWord1: value 65536 out of range 0..65535"},
        {"text too long", "ModulePhone", "ModulePhone = \"123456789012345678901\"",
         "ModulePhone: text longer than 20 characters"},
        {"text and tail too long", "ModulePhone", "ModulePhone = \"1234567890\" tail \"12345678901\"",
         "ModulePhone: text and tail longer than 20 characters"},
        {"length within capacity", "ModulePhone", "ModulePhone = \"1\" length 20",
         "ModulePhone: value 20 out of range 21..255"},
        {"not Latin-1", "ModulePhone", "ModulePhone = \"\xE2\x82\xAC\"",
         "ModulePhone: a character above U+00FF cannot be stored (Latin-1 only)"},
        {"invalid UTF-8", "ModulePhone", "ModulePhone = \"\xE9\"", "ModulePhone: invalid UTF-8 in a text"},
        {"raw control character", "ModulePhone", "ModulePhone = \"a\tb\"",
         "ModulePhone: a control character in a text must be written as an escape"},
        {"unclosed text", "ModulePhone", "ModulePhone = \"123", "ModulePhone: the text has no closing quote"},
        {"number for a text", "ModulePhone", "ModulePhone = 123",
         "ModulePhone: wrong type: a quoted text is expected"},
        {"text for a number", "BaudRateIndex", "BaudRateIndex = \"3\"",
         "BaudRateIndex: wrong type: a number is expected, not a text"},
        {"number for a flag", "SkipCrLf", "SkipCrLf = 1",
         "SkipCrLf: wrong type: true or false is expected, not a number"},
        {"flag for a number", "SampleRate", "SampleRate = true",
         "SampleRate: wrong type: a number is expected, not true or false"},
        {"malformed number", "SampleRate", "SampleRate = 12abc", "SampleRate: malformed number '12abc'"},
        {"no value", "SampleRate", "SampleRate =  # nothing", "SampleRate: the value is missing"},
        {"no equals sign", "SampleRate", "SampleRate 6",
         "SampleRate: malformed line: '=' is expected after the key"},
        {"junk after the value", "SampleRate", "SampleRate = 6 7",
         "SampleRate: unexpected characters after the value"},
        {"reserved outside a gap", "SampleRate", "reserved@16 = 01",
         "reserved@16: unknown setting: no reserved byte at that offset"},
        {"reserved past its gap", "SampleRate", "reserved@4203 = 0102",
         "reserved@4203: out of range: the reserved range ends at byte 4203"},
        {"reserved odd digits", "SampleRate", "reserved@4201 = 012",
         "reserved@4201: malformed bytes: pairs of hexadecimal digits are expected"},
    };
    for (const Case& c : cases) {
        std::size_t at = 0;
        const std::string bad = withLine(text, c.key, c.line, at);
        SettingsRecord record = golden;
        const auto error = importSettingsText(bad, record);
        ASSERT_TRUE(error) << c.name;
        EXPECT_EQ(error->describe(), "line " + std::to_string(at) + ": " + c.error) << c.name;
        EXPECT_TRUE(record == golden) << c.name << ": the record changed";
    }

    SettingsRecord record = golden;
    std::size_t at = 0;
    const auto missing = importSettingsText(withLine(text, "SampleRate", "", at), record);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->describe(), "line " + std::to_string(lines - 1) +
                                       ": SampleRate: missing: the text must give every setting");

    const std::string zero_text = exportSettingsText(SettingsRecord{});
    const std::size_t zero_lines =
        static_cast<std::size_t>(std::count(zero_text.begin(), zero_text.end(), '\n'));
    const auto twice = importSettingsText(zero_text + "reserved@4201 = 0102\nreserved@4202 = 03\n", record);
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->describe(), "line " + std::to_string(zero_lines + 2) +
                                     ": reserved@4202: byte 4202 is given twice (first on line " +
                                     std::to_string(zero_lines + 1) + ")");

    // A line cut short: the text ends inside the last setting's line.
    const std::string cut = text.substr(0, text.rfind("= \"") + 4);
    const auto truncated = importSettingsText(cut, record);
    ASSERT_TRUE(truncated);
    EXPECT_NE(truncated->describe().find(": the line has no end: the text is cut short"), std::string::npos)
        << truncated->describe();
    EXPECT_TRUE(record == golden);
}

TEST(SettingsTextTest, CrLfLineEndsAndCommentsAreAccepted) {
    const SettingsRecord golden = readRecord(kGolden);
    std::string text;
    for (const char c : exportSettingsText(golden)) {
        if (c == '\n')
            text += "\r\n# a comment of the technician's\r\n\r\n";
        else
            text += c;
    }
    SettingsRecord record;
    const auto error = importSettingsText(text, record);
    ASSERT_FALSE(error) << error->describe();
    EXPECT_TRUE(record == golden);
}

TEST(SettingsTextTest, KeepMissingKeepsWhatTheTextDoesNotGive) {
    const SettingsRecord golden = readRecord(kGolden);
    SettingsRecord record = golden;
    const auto error = importSettingsText("ModulePhone = \"+1\"\nAnalogLevel[2][Max1] = -5\n", record,
                                          {.keep_missing = true});
    ASSERT_FALSE(error) << error->describe();
    const auto differences = compareSettings(golden, record);
    ASSERT_EQ(differences.settings.size(), 2u);
    EXPECT_EQ(differences.settings[0]->key, "ModulePhone");
    EXPECT_EQ(differences.settings[1]->key, "AnalogLevel[2][Max1]");
    EXPECT_EQ(record.get(cfg::AnalogLevel, levelNumber(2, Threshold::Max1)), -5);
    EXPECT_TRUE(differences.reserved.empty());
}

}  // namespace
}  // namespace hx350
