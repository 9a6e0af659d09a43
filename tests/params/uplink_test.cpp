#include "params/uplink.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "command_table.h"

namespace hx350::params {
namespace {

using testing::CommandRow;

struct ReadRow {
    const char* name;
    UplinkField field;
    std::string_view command;
    bool logged;
};

const ReadRow kReads[] = {
    {"Apn", UplinkField::kApn, "GETAP ", true},
    {"UserId", UplinkField::kUserId, "GETID ", false},
    {"Password", UplinkField::kPassword, "GETPW ", false},
    {"IpAddress", UplinkField::kIpAddress, "GETIP ", false},
    {"FtpHostName", UplinkField::kFtpHostName, "GETFT ", false},
    {"FtpUserName", UplinkField::kFtpUserName, "GETAF ", false},
    {"FtpPassword", UplinkField::kFtpPassword, "GETPF ", false},
    {"FtpDirName", UplinkField::kFtpDirName, "GETDN ", false},
    {"HttpHost1", UplinkField::kHttpHost1, "GETRH ", true},
    {"HttpHost2", UplinkField::kHttpHost2, "GETR2 ", true},
};

class UplinkReads : public ::testing::TestWithParam<ReadRow> {};

TEST_P(UplinkReads, SendKeywordAndOneSpace) {
    EXPECT_EQ(uplinkReadCommand(GetParam().field), GetParam().command);
    EXPECT_EQ(uplinkReadIsLogged(GetParam().field), GetParam().logged);
}

INSTANTIATE_TEST_SUITE_P(Rows, UplinkReads, ::testing::ValuesIn(kReads), ::hx350::params::testing::RowName());

struct WriteRow {
    const char* name;
    UplinkField field;
    std::string_view text;   // the edit as typed
    std::string_view value;  // the edit afterwards
    std::string_view command;
    const char* log;  // nullptr: not shown
};

const WriteRow kWrites[] = {
    {"ApnWord", UplinkField::kApn, "internet", "internet", "SETAP internet", "SETAP,internet"},
    {"ApnTwoWords", UplinkField::kApn, "internet extra", "internet", "SETAP internet", "SETAP,internet"},
    {"ApnEmpty", UplinkField::kApn, "", "", "SETAP    ", "SETAP    "},
    {"ApnLeadingSpaceKept", UplinkField::kApn, " inet x", " inet x", "SETAP    ", "SETAP    "},
    {"ApnLeadingTabKept", UplinkField::kApn, "\tinet", "\tinet", "SETAP    ", "SETAP    "},
    {"ApnLatin1First", UplinkField::kApn, "\xE9t\xE9", "\xE9t\xE9", "SETAP \xE9t\xE9", "SETAP,\xE9t\xE9"},
    {"ApnForty", UplinkField::kApn, "abcdefghijabcdefghijabcdefghijabcdefghij",
     "abcdefghijabcdefghijabcdefghijabcdefghij", "SETAP abcdefghijabcdefghijabcdefghijabcdefghij",
     "SETAP,abcdefghijabcdefghijabcdefghijabcdefghij"},
    {"UserId", UplinkField::kUserId, "user", "user", "SETID user", nullptr},
    {"UserIdLeadingSpaceEmpties", UplinkField::kUserId, " user", "", "SETID ", nullptr},
    {"UserIdEmpty", UplinkField::kUserId, "", "", "SETID ", nullptr},
    {"PasswordCutNotLogged", UplinkField::kPassword, "pa ss", "pa", "SETPW pa", nullptr},
    {"IpAddress", UplinkField::kIpAddress, "10.0.0.1", "10.0.0.1", "SETIP 10.0.0.1", nullptr},
    {"IpAddressTrailingSpace", UplinkField::kIpAddress, "0.0.0.0 ", "0.0.0.0", "SETIP 0.0.0.0", nullptr},
    {"FtpHostTwoWords", UplinkField::kFtpHostName, "host more", "host", "SETFT,host", "SETFT,host"},
    {"FtpHostEmpty", UplinkField::kFtpHostName, "", "", "SETFT,", "SETFT,"},
    {"FtpHostLeadingSpaceEmpties", UplinkField::kFtpHostName, " host", "", "SETFT,", "SETFT,"},
    {"FtpUser", UplinkField::kFtpUserName, "logger", "logger", "SETAF logger", nullptr},
    {"FtpPassword", UplinkField::kFtpPassword, "s3cret", "s3cret", "SETPF s3cret", nullptr},
    {"FtpDirName", UplinkField::kFtpDirName, "data/dir x", "data/dir", "SETDN data/dir", nullptr},
    {"HttpEmptyThreeSpaces", UplinkField::kHttpHost1, "", "   ", "SETRH,   ", "SETRH,   "},
    {"Http2EmptyThreeSpaces", UplinkField::kHttpHost2, "", "   ", "SETR2,   ", "SETR2,   "},
    {"HttpLeadingSpaceKeptWhole", UplinkField::kHttpHost1, " a b", " a b", "SETRH, a b", "SETRH, a b"},
    {"HttpControlFirstKeptWhole", UplinkField::kHttpHost2, "\x01h x", "\x01h x", "SETR2,\x01h x",
     "SETR2,\x01h x"},
    {"HttpTwoWords", UplinkField::kHttpHost1, "host.example path", "host.example", "SETRH,host.example",
     "SETRH,host.example"},
    {"HttpOneCharacter", UplinkField::kHttpHost2, "h", "h", "SETR2,h", "SETR2,h"},
    {"HttpTrailingSpace", UplinkField::kHttpHost2, "host ", "host", "SETR2,host", "SETR2,host"},
};

class UplinkWrites : public ::testing::TestWithParam<WriteRow> {};

TEST_P(UplinkWrites, CleanUpThenBuild) {
    const UplinkWrite write = uplinkWrite(GetParam().field, GetParam().text);
    EXPECT_EQ(write.value, GetParam().value);
    EXPECT_EQ(write.command, GetParam().command);
    if (GetParam().log == nullptr) {
        EXPECT_FALSE(write.log.has_value()) << *write.log;
    } else {
        EXPECT_EQ(write.log, std::optional<std::string>(GetParam().log));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, UplinkWrites, ::testing::ValuesIn(kWrites),
                         ::hx350::params::testing::RowName());

const CommandRow kMaxError[] = {
    {"EsktdZero", [] { return maxErrorCommand(0); }, "ESKTD00"},
    {"EsktdDesign", [] { return maxErrorCommand(4); }, "ESKTD04"},
    {"EsktdSeven", [] { return maxErrorCommand(7); }, "ESKTD07"},
    {"EsktdTen", [] { return maxErrorCommand(10); }, "ESKTD10"},
    {"EsktdFortyTwo", [] { return maxErrorCommand(42); }, "ESKTD42"},
    {"Esktd99", [] { return maxErrorCommand(99); }, "ESKTD99"},
};
HX350_COMMAND_TABLE(UplinkMaxError, kMaxError);

}  // namespace
}  // namespace hx350::params
