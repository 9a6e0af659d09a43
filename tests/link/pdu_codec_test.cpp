// Tests of the SMS PDU codec.
//
// Each direction is pinned to vectors that do not come from this codec: tests/data/pdu/encode.tsv and
// decode.tsv hold the worked GETVR exchanges and PDUs laid out by hand from TS 23.040 / TS 23.038, each
// checked with an independent decoder (check_vectors.py, run below when python3-gammu is present), plus
// deliberately broken rows for the refusals and the truncation rules.
#include "link/pdu_codec.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace hx350 {

// Readable status names in failure messages and row files.
static std::string_view statusName(PduDecodeStatus status) {
    switch (status) {
        case PduDecodeStatus::kComplete:
            return "complete";
        case PduDecodeStatus::kImplausible:
            return "implausible";
        case PduDecodeStatus::kHeaderTruncated:
            return "header-truncated";
        case PduDecodeStatus::kHeaderNotHex:
            return "header-not-hex";
        case PduDecodeStatus::kNoUserData:
            return "no-user-data";
        case PduDecodeStatus::kUserDataShort:
            return "user-data-short";
        case PduDecodeStatus::kUserDataNotHex:
            return "user-data-not-hex";
    }
    return "?";
}

static void PrintTo(PduDecodeStatus status, std::ostream* os) {
    *os << statusName(status);
}

namespace {

constexpr std::string_view kDataDir = HX350_TEST_DATA_DIR "/pdu";

// Problems met while reading the row files; reported by a test of their own, since rows are read while
// the tests are being registered.
std::vector<std::string>& loadProblems() {
    static std::vector<std::string> problems;
    return problems;
}

// Reverses the escapes of the row files: \r \n \t \\ \xHH.
std::string unescape(std::string_view field, const std::string& where) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 >= field.size()) {
            out.push_back(field[i]);
            continue;
        }
        const char kind = field[++i];
        switch (kind) {
            case 'r':
                out.push_back('\r');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 't':
                out.push_back('\t');
                break;
            case '\\':
                out.push_back('\\');
                break;
            case 'x':
                if (i + 2 < field.size() && std::isxdigit(static_cast<unsigned char>(field[i + 1])) &&
                    std::isxdigit(static_cast<unsigned char>(field[i + 2]))) {
                    out.push_back(
                        static_cast<char>(std::stoi(std::string(field.substr(i + 1, 2)), nullptr, 16)));
                    i += 2;
                    break;
                }
                [[fallthrough]];
            default:
                loadProblems().push_back(where + ": bad escape");
        }
    }
    return out;
}

// The TAB-separated rows of one file, comments and blank lines left out.
std::vector<std::vector<std::string>> readRows(const std::string& file, std::size_t fields) {
    std::vector<std::vector<std::string>> rows;
    const std::string path = std::string(kDataDir) + "/" + file;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        loadProblems().push_back(path + ": cannot be read");
        return rows;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> row;
        std::istringstream split(line);
        std::string field;
        while (std::getline(split, field, '\t'))
            row.push_back(field);
        if (!line.empty() && line.back() == '\t') row.emplace_back();
        if (row.size() != fields) {
            loadProblems().push_back(path + ":" + std::to_string(number) + ": expected " +
                                     std::to_string(fields) + " fields");
            continue;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

struct EncodeRow {
    std::string name;
    std::string number;
    std::string text;
    std::optional<std::string> pdu;  // without the NUL; none when the encoder must refuse
    std::string source;
};

struct DecodeRow {
    std::string name;
    std::string pdu;
    std::string text;
    PduDecodeStatus status = PduDecodeStatus::kComplete;
    std::string source;
};

void PrintTo(const EncodeRow& row, std::ostream* os) {
    *os << row.name << " (" << row.source << ")";
}
void PrintTo(const DecodeRow& row, std::ostream* os) {
    *os << row.name << " (" << row.source << ")";
}

const std::vector<EncodeRow>& encodeRows() {
    static const std::vector<EncodeRow> rows = [] {
        std::vector<EncodeRow> out;
        for (auto& f : readRows("encode.tsv", 5)) {
            const std::string where = "encode.tsv " + f[0];
            EncodeRow row{f[0], unescape(f[1], where), unescape(f[2], where), std::nullopt, f[4]};
            if (f[3] != "-") row.pdu = f[3];
            out.push_back(std::move(row));
        }
        return out;
    }();
    return rows;
}

std::optional<PduDecodeStatus> statusFromName(std::string_view name) {
    for (auto status :
         {PduDecodeStatus::kComplete, PduDecodeStatus::kImplausible, PduDecodeStatus::kHeaderTruncated,
          PduDecodeStatus::kHeaderNotHex, PduDecodeStatus::kNoUserData, PduDecodeStatus::kUserDataShort,
          PduDecodeStatus::kUserDataNotHex}) {
        if (statusName(status) == name) return status;
    }
    return std::nullopt;
}

const std::vector<DecodeRow>& decodeRows() {
    static const std::vector<DecodeRow> rows = [] {
        std::vector<DecodeRow> out;
        for (auto& f : readRows("decode.tsv", 5)) {
            const std::string where = "decode.tsv " + f[0];
            const auto status = statusFromName(f[3]);
            if (!status) {
                loadProblems().push_back(where + ": unknown status " + f[3]);
                continue;
            }
            out.push_back({f[0], unescape(f[1], where), unescape(f[2], where), *status, f[4]});
        }
        return out;
    }();
    return rows;
}

const DecodeRow& decodeRow(std::string_view name) {
    for (const auto& row : decodeRows()) {
        if (row.name == name) return row;
    }
    static const DecodeRow missing{"missing", "", "", PduDecodeStatus::kComplete, ""};
    ADD_FAILURE() << "no decode row " << name;
    return missing;
}

bool validTestName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

TEST(PduVectors, FilesAreReadCompletelyAndNamesAreUnique) {
    EXPECT_EQ(loadProblems(), std::vector<std::string>{});
    std::set<std::string> names;
    for (const auto& row : encodeRows()) {
        EXPECT_TRUE(validTestName(row.name)) << row.name;
        EXPECT_TRUE(names.insert("E" + row.name).second) << row.name;
    }
    for (const auto& row : decodeRows()) {
        EXPECT_TRUE(validTestName(row.name)) << row.name;
        EXPECT_TRUE(names.insert("D" + row.name).second) << row.name;
    }
    EXPECT_GE(encodeRows().size(), 30u);
    EXPECT_GE(decodeRows().size(), 45u);
}

// Runs the independent decoder over the row files. Skipped where python3-gammu is not installed.
TEST(PduVectors, AgreeWithAnIndependentDecoder) {
    const std::string dir(kDataDir);
    const std::string command =
        "timeout 60 /usr/bin/python3 '" + dir + "/check_vectors.py' '" + dir + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr)
        output += buffer.data();
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status)) << output;
    const int code = WEXITSTATUS(status);
    if (code == 77 || code == 127) GTEST_SKIP() << "independent decoder not available: " << output;
    EXPECT_EQ(code, 0) << output;
}

// --- encoder ------------------------------------------------------------------------------------------

class PduEncode : public testing::TestWithParam<EncodeRow> {};

TEST_P(PduEncode, MatchesTheVector) {
    const EncodeRow& row = GetParam();
    const PduEncoding result = TextToPDUConversion(row.text, row.number);
    if (!row.pdu) {
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.pdu, "");
        return;
    }
    ASSERT_TRUE(result.ok()) << static_cast<int>(result.error);
    EXPECT_EQ(result.pdu, *row.pdu + '\0');
}

INSTANTIATE_TEST_SUITE_P(Vectors, PduEncode, testing::ValuesIn(encodeRows()),
                         [](const testing::TestParamInfo<EncodeRow>& row_info) {
                             return row_info.param.name;
                         });

TEST(PduEncoder, GetvrPduIs35CharactersAndAnnounces16Octets) {
    const PduEncoding result = TextToPDUConversion("GETVR\r", "+123");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.pdu.size(), 35u);
    EXPECT_EQ(result.pdu.back(), '\0');
    // The command channel announces (length div 2) - 1 octets after AT+CMGS=.
    EXPECT_EQ(result.pdu.size() / 2 - 1, 16u);
}

TEST(PduEncoder, EveryPduHasOddLengthAndOneNulAtTheEnd) {
    for (const auto& row : encodeRows()) {
        if (!row.pdu) continue;
        const std::string pdu = TextToPDUConversion(row.text, row.number).pdu;
        ASSERT_FALSE(pdu.empty()) << row.name;
        EXPECT_EQ(pdu.size() % 2, 1u) << row.name;
        EXPECT_EQ(std::count(pdu.begin(), pdu.end(), '\0'), 1) << row.name;
        EXPECT_EQ(pdu.back(), '\0') << row.name;
    }
}

TEST(PduEncoder, RefusalsNameTheirReason) {
    const std::string too_long(kMaxSmsTextLength + 1, 'A');
    const struct {
        std::string text;
        std::string number;
        PduError error;
    } rows[] = {
        {"GETVR\r", "", PduError::kEmptyNumber},
        {too_long, "", PduError::kEmptyNumber},
        {"GETVR\r", "+12a", PduError::kInvalidNumber},
        {too_long, "12 3", PduError::kInvalidNumber},
        {"GETVR\r", std::string(kMaxPhoneNumberDigits + 1, '5'), PduError::kInvalidNumber},
        {too_long, "+123", PduError::kTextTooLong},
        {std::string(kMaxSmsTextLength, 'A'), "+" + std::string(kMaxPhoneNumberDigits, '5'), PduError::kNone},
    };
    for (const auto& row : rows) {
        const PduEncoding result = TextToPDUConversion(row.text, row.number);
        EXPECT_EQ(result.error, row.error) << row.number << " / " << row.text.size();
        EXPECT_EQ(result.ok(), row.error == PduError::kNone);
        EXPECT_EQ(result.pdu.empty(), !result.ok());
    }
}

TEST(PduEncoder, ErrorMessageIsTheOneTheWindowShows) {
    EXPECT_EQ(kPhoneNumberErrorText,
              std::string_view("Phone Number Error.\r\nPlease, check settings and try again."));
    EXPECT_EQ(kPhoneNumberErrorCaption, std::string_view("Error"));
}

// --- decoder ------------------------------------------------------------------------------------------

class PduDecode : public testing::TestWithParam<DecodeRow> {};

TEST_P(PduDecode, MatchesTheVector) {
    const DecodeRow& row = GetParam();
    PduDecodeStatus status = PduDecodeStatus::kComplete;
    EXPECT_EQ(PDUTextConversion(row.pdu, &status), row.text);
    EXPECT_EQ(status, row.status);
    EXPECT_EQ(PDUTextConversion(row.pdu), row.text);
}

INSTANTIATE_TEST_SUITE_P(Vectors, PduDecode, testing::ValuesIn(decodeRows()),
                         [](const testing::TestParamInfo<DecodeRow>& row_info) {
                             return row_info.param.name;
                         });

// The receive table as the tool defines it, row by row: septets first..last show as `code`, or as the
// septet's own code where `code` is -1.
struct TableRow {
    int first;
    int last;
    int code;
};
constexpr TableRow kReceiveRows[] = {
    {0x00, 0x00, 0x40}, {0x01, 0x01, 0x20}, {0x02, 0x02, 0x24}, {0x03, 0x03, 0x59}, {0x04, 0x04, 0xE8},
    {0x05, 0x05, 0xE9}, {0x06, 0x06, 0xF9}, {0x07, 0x07, 0xEC}, {0x08, 0x08, 0xF2}, {0x09, 0x09, 0xE7},
    {0x0A, 0x0A, 0x0A}, {0x0B, 0x0B, 0x20}, {0x0C, 0x0C, 0xF8}, {0x0D, 0x0D, 0x0D}, {0x0E, 0x0E, 0x20},
    {0x0F, 0x0F, 0xE5}, {0x10, 0x10, 0x20}, {0x11, 0x11, 0x5F}, {0x12, 0x1B, 0x20}, {0x1C, 0x1C, 0xC6},
    {0x1D, 0x1D, 0xE6}, {0x1E, 0x1E, 0xDF}, {0x1F, 0x1F, 0xE6}, {0x20, 0x23, -1},   {0x24, 0x24, 0xA4},
    {0x25, 0x3F, -1},   {0x40, 0x40, 0xA1}, {0x41, 0x5A, -1},   {0x5B, 0x5F, 0x2A}, {0x60, 0x60, 0xBF},
    {0x61, 0x7A, -1},   {0x7B, 0x7B, 0xE4}, {0x7C, 0x7C, 0xF5}, {0x7D, 0x7D, 0xF1}, {0x7E, 0x7E, 0xFC},
    {0x7F, 0x7F, 0xE0},
};

std::array<int, 128> receiveTable() {
    std::array<int, 128> table{};
    table.fill(-2);
    for (const auto& row : kReceiveRows) {
        for (int septet = row.first; septet <= row.last; ++septet)
            table[septet] = row.code < 0 ? septet : row.code;
    }
    return table;
}

TEST(PduDecoder, EverySeptetShowsAsTheReceiveTableSays) {
    const auto table = receiveTable();
    ASSERT_EQ(std::count(table.begin(), table.end(), -2), 0) << "rows leave a septet out";
    // A single septet packs into one octet of the same value (TS 23.038 clause 6.1.2.1.1).
    constexpr char kHex[] = "0123456789ABCDEF";
    for (int septet = 0; septet < 128; ++septet) {
        const std::string pdu =
            std::string("0004039121F300006210109100000001") + kHex[septet >> 4] + kHex[septet & 15];
        EXPECT_EQ(PDUTextConversion(pdu), std::string(1, static_cast<char>(table[septet])))
            << "septet " << septet;
    }
    // And all of them in one message, across 16 packing groups.
    const DecodeRow& all = decodeRow("Hand_AllSeptetsThroughReceiveTable");
    ASSERT_EQ(all.text.size(), 128u);
    for (int septet = 0; septet < 128; ++septet) {
        EXPECT_EQ(static_cast<unsigned char>(all.text[septet]), table[septet]) << "septet " << septet;
    }
    EXPECT_EQ(PDUTextConversion(all.pdu), all.text);
}

// Cuts complete PDUs at every length. The cut is a view into the whole PDU, so a decoder that read past
// the end of its input would find real digits there and give itself away.
TEST(PduDecoder, TruncatedAtEveryLengthGivesEmptyTextOrAPrefix) {
    for (const char* name : {"WorkedExample_Deliver", "WorkedExample_DeliverWithServiceCentre",
                             "WorkedExample_EncoderOutputAsStoredSubmit", "Hand_DeliverOf160Chars",
                             "Hand_AllSeptetsThroughReceiveTable", "Hand_StoredSubmitWithServiceCentre",
                             "Hand_DeliverOf8Chars"}) {
        const DecodeRow& row = decodeRow(name);
        ASSERT_EQ(row.status, PduDecodeStatus::kComplete) << name;
        const std::string_view whole(row.pdu);
        const std::size_t chars = row.text.size();
        const std::size_t user_data_start = whole.size() - 2 * ((7 * chars + 7) / 8);
        for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
            PduDecodeStatus status = PduDecodeStatus::kComplete;
            const std::string text = PDUTextConversion(whole.substr(0, cut), &status);
            if (cut < user_data_start) {
                EXPECT_EQ(text, "") << name << " cut at " << cut;
                EXPECT_TRUE(status == PduDecodeStatus::kImplausible ||
                            status == PduDecodeStatus::kHeaderTruncated)
                    << name << " cut at " << cut << ": " << statusName(status);
                continue;
            }
            const std::size_t octets = (cut - user_data_start) / 2;
            const std::size_t expected = std::min(chars, octets * 8 / 7);
            EXPECT_EQ(text, row.text.substr(0, expected)) << name << " cut at " << cut;
            EXPECT_EQ(status,
                      expected == chars ? PduDecodeStatus::kComplete : PduDecodeStatus::kUserDataShort)
                << name << " cut at " << cut;
        }
    }
}

TEST(PduDecoder, ServiceCentreAddressDoesNotChangeTheText) {
    EXPECT_EQ(PDUTextConversion(decodeRow("WorkedExample_Deliver").pdu),
              PDUTextConversion(decodeRow("WorkedExample_DeliverWithServiceCentre").pdu));
}

// Characters the receive table shows as themselves survive a trip out and back in.
TEST(PduCodec, IdentityCharactersRoundTripThroughAStoredSubmit) {
    const auto table = receiveTable();
    std::string identity;
    for (int code = 0; code < 128; ++code) {
        if (table[code] == code) identity.push_back(static_cast<char>(code));
    }
    ASSERT_GT(identity.size(), 80u);
    for (std::size_t from = 0; from < identity.size(); from += 37) {
        for (std::size_t length : {std::size_t{1}, std::size_t{7}, std::size_t{8}, std::size_t{37}}) {
            const std::string text = identity.substr(from, length);
            std::string pdu = TextToPDUConversion(text, "+4917012345678").pdu;
            ASSERT_FALSE(pdu.empty());
            pdu.pop_back();  // the NUL
            PduDecodeStatus status = PduDecodeStatus::kImplausible;
            EXPECT_EQ(PDUTextConversion(pdu, &status), text);
            EXPECT_EQ(status, PduDecodeStatus::kComplete);
        }
    }
}

// Random and mutated input: never a crash or a read out of bounds (the sanitizer build watches), an empty
// text whenever the header was refused, and never more characters than one length octet allows.
TEST(PduDecoder, ArbitraryInputNeverMisbehaves) {
    std::mt19937 random(350);
    constexpr std::string_view kAlphabet = "0123456789ABCDEF0123456789ABCDEFabcdef \r\nG-";
    std::vector<std::string> seeds;
    for (const auto& row : decodeRows())
        seeds.push_back(row.pdu);
    for (int round = 0; round < 20000; ++round) {
        std::string input;
        if (round % 2 == 0) {
            input.resize(random() % 400);
            for (char& c : input)
                c = kAlphabet[random() % kAlphabet.size()];
        } else {
            input = seeds[random() % seeds.size()];
            const int edits = 1 + static_cast<int>(random() % 3);
            for (int i = 0; i < edits && !input.empty(); ++i) {
                const std::size_t at = random() % input.size();
                switch (random() % 3) {
                    case 0:
                        input[at] = kAlphabet[random() % kAlphabet.size()];
                        break;
                    case 1:
                        input.erase(at, 1);
                        break;
                    default:
                        input.resize(at);
                }
            }
        }
        PduDecodeStatus status = PduDecodeStatus::kComplete;
        const std::string text = PDUTextConversion(input, &status);
        EXPECT_LE(text.size(), 255u);
        if (status != PduDecodeStatus::kComplete && status != PduDecodeStatus::kUserDataShort &&
            status != PduDecodeStatus::kUserDataNotHex) {
            EXPECT_EQ(text, "") << input;
        }
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace hx350
