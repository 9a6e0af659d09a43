// The module's vocabulary: every family written, then read back in the form the tool parses.
#include "sim/module.h"

#include <gtest/gtest.h>

namespace hx350::sim {
namespace {

class ModuleTest : public ::testing::Test {
  protected:
    ManualTimeSource clock_{LocalDateTime{2025, 9, 23, 14, 5, 9, 120}};
    Module module_{clock_};
};

struct RoundTrip {
    const char* name;
    std::string write;
    std::string write_answer;
    std::string read;
    std::string read_answer_contains;
};

class Families : public ModuleTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(Families, WriteThenReadGivesTheWrittenValue) {
    const RoundTrip& row = GetParam();
    EXPECT_EQ(module_.execute(row.write), row.write_answer);
    const std::string read = module_.execute(row.read);
    EXPECT_NE(read.find(row.read_answer_contains), std::string::npos) << read;
    ASSERT_GE(read.size(), 2u);
    EXPECT_EQ(read.substr(read.size() - 2), "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Module, Families,
    ::testing::Values(
        // Subscriber numbers: a digit, a colon, a space, the number.
        RoundTrip{"alarm_number", "SETNN3 +4917012345", "SETNN3 OK\r\n", "GETNR3", "3: +4917012345\r\n"},
        // Phone book: a leading space, entries N<digit>:<number> each closed by a space.
        RoundTrip{"phone_book", "SETPB2 +4930123", "SETPB2 OK\r\n", "  GETPB",
                  " N1: N2:+4930123 N3: N4: N5: N6: N7: \r\n"},
        RoundTrip{"phone_book_placeholder", "SETPB5 +99", "SETPB5 OK\r\n", "GETPB", "N5:+99 "},
        // Text slots: two digits, a colon, a space, the text.
        RoundTrip{"external_text", "SETTX05 Pump failure", "SETTX05 OK\r\n", "GETTX05 ",
                  "05: Pump failure\r\n"},
        RoundTrip{"external_text_padded", "SETTX54 Door" + std::string(32, ' '), "SETTX54 OK\r\n",
                  "GETTX54" + std::string(32, ' '), "54: Door\r\n"},
        RoundTrip{"short_text", "SETTI01 F SETOU1 RSTOU2", "SETTI01 OK\r\n", "GETTI01 ",
                  "01: F SETOU1 RSTOU2\r\n"},
        RoundTrip{"io_name", "SETTI60 DOOR OPEN", "SETTI60 OK\r\n", "GETTI60", "60: DOOR OPEN\r\n"},
        RoundTrip{"masks", "SETME,7FFF,F-FF,0123-- ", "SETME OK\r\n", "GETST", "SETME,7FFF,F-FF,0123--"},
        RoundTrip{"analog_levels", "ANLEV2,00,09,10,99", "ANLEV2 OK\r\n", "GETLV", "ANLEV2,00,09,10,99\r\n"},
        RoundTrip{"reference", "REFLV5,1234", "REFLV OK\r\n", "GETLV", "REFLV5,1234\r\n"},
        RoundTrip{"multiplier", "ADDKF3,0500", "ADDKF3 OK\r\n", "GETLV", "ADDKF3,0500\r\n"},
        RoundTrip{"four_to_twenty", "420FL2,1", "420FL2 OK\r\n", "GETLV", "420FL2,1\r\n"},
        RoundTrip{"sms_multiplier", "AKSMS1,2000", "AKSMS1 OK\r\n", "GETLV", "AKSMS1,2000\r\n"},
        RoundTrip{"extended_mode", "AEXTF1", "AEXTF OK\r\n", "GETLV", "AEXTF1\r\n"},
        RoundTrip{"shunt", "R420M2", "R420M OK\r\n", "GETLV", "R420M2\r\n"},
        RoundTrip{"delay", "ANDEL05", "ANDEL OK\r\n", "GETLV", "ANDEL05\r\n"},
        RoundTrip{"temperature_levels", "TCLEV1+149+100+000-001", "TCLEV1 OK\r\n", "TCLEV0",
                  "TCLEV1+149+100+000-001\r\n"},
        RoundTrip{"temperature_levels_low", "TCLEV2-099-099-099-099", "TCLEV2 OK\r\n", "TCLEV0",
                  "TCLEV2-099-099-099-099\r\n"},
        RoundTrip{"schedule", "SETSH,T08  17  ", "SETSH OK\r\n", "GETSH", "SETSH,T08  17  \r\n"},
        RoundTrip{"schedule_disabled", "SETSH,         ", "SETSH OK\r\n", "GETSH", "SETSH,         \r\n"},
        RoundTrip{"recipients", "SNFLT5", "SNFLT OK\r\n", "GETSH", "SNFLT5\r\n"},
        RoundTrip{"options", "SETMP MXEDEEDDDEEDDDE ", "SETMP OK\r\n", "GETMP", "SETMP MXEDEEDDDEEDDDE\r\n"},
        RoundTrip{"filters", "SETTF,05,12,99,00 3", "SETTF OK\r\n", "GETST", "SETTF,05,12,99,00 3"},
        RoundTrip{"logger", "SETTN3,5,109", "SETTN OK\r\n", "GETST", "SETTN3,5,109"},
        RoundTrip{"sample_rate", "SRATE7", "SRATE OK\r\n", "GETST", "SETTN7,1,000"},
        RoundTrip{"logger_period", "DLPER9", "DLPER OK\r\n", "GETST", "SETTN0,9,000"},
        RoundTrip{"restart_switch", "RSTEN1", "RSTEN OK\r\n", "GETST", "RSTEN1"},
        RoundTrip{"runtime_mode", "RTMOD3", "RTMOD OK\r\n", "GETST", "RTMOD3"},
        RoundTrip{"counter_format", "CFLOW1", "CFLOW OK\r\n", "GETCT", "F1=1234 F2=56\r\n"},
        RoundTrip{"max_error", "ESKTD42", "ESKTD OK\r\n", "GETST", "ESKTD42"},
        RoundTrip{"output_on", "SETOU2", "OUT2 1\r\n", "GETOS2", "OUT2 1\r\n"},
        RoundTrip{"output_off", "RSTOU1", "OUT1 0\r\n", "GETOS0", "OUT1 0,OUT2 0,OUT3 0,OUT4 0,OUT5 0\r\n"},
        RoundTrip{"clear_counter", "CLRCT1", "CLRCT1 OK\r\n", "GETCT", "C1=0 C2=56\r\n"},
        RoundTrip{"clear_counters", "CLRCT0", "CLRCT0 OK\r\n", "GETCT", "C1=0 C2=0\r\n"},
        // Uplink values: keyword, colon, space, value.
        RoundTrip{"apn", "SETAP internet.example", "SETAP OK\r\n", "GETAP ", "APN: internet.example\r\n"},
        RoundTrip{"apn_empty", "SETAP    ", "SETAP OK\r\n", "GETAP ", "APN: \r\n"},
        RoundTrip{"user_id", "SETID alice", "SETID OK\r\n", "GETID ", "UserID: alice\r\n"},
        RoundTrip{"password", "SETPW s3cret", "SETPW OK\r\n", "GETPW ", "PASSWORD: s3cret\r\n"},
        RoundTrip{"ip_address", "SETIP 10.0.0.7", "SETIP OK\r\n", "GETIP ", "IP address: 10.0.0.7\r\n"},
        RoundTrip{"ftp_host", "SETFT,ftp.example.org", "SETFT OK\r\n", "GETFT ",
                  "FTP Host: ftp.example.org\r\n"},
        RoundTrip{"ftp_user", "SETAF logger", "SETAF OK\r\n", "GETAF ", "UserName FTP: logger\r\n"},
        RoundTrip{"ftp_password", "SETPF pw2", "SETPF OK\r\n", "GETPF ", "Password FTP: pw2\r\n"},
        RoundTrip{"dir_name", "SETDN data", "SETDN OK\r\n", "GETDN ", "DirName: data\r\n"},
        RoundTrip{"http_host1", "SETRH,a.example", "SETRH OK\r\n", "GETRH ", "Remote Host: a.example\r\n"},
        RoundTrip{"http_host1_blank", "SETRH,   ", "SETRH OK\r\n", "GETRH ", "Remote Host: \r\n"},
        RoundTrip{"http_host2", "SETR2,b.example", "SETR2 OK\r\n", "GETR2 ", "Remote Host2: b.example\r\n"},
        RoundTrip{"clock", "SETTM 09/01/05,07:08:09+02", "SETTM OK\r\n", "  GETTM",
                  "TIME 09/01/05,07:08:09+02\r\n"}),
    [](const auto& row) { return std::string(row.param.name); });

struct Refusal {
    const char* name;
    std::string command;
    std::string answer;
};

class Refusals : public ModuleTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, GiveAnErrorLineAndChangeNothing) {
    const ModuleState before = module_.state();
    EXPECT_EQ(module_.execute(GetParam().command), GetParam().answer);
    EXPECT_EQ(module_.state().alarm_numbers, before.alarm_numbers);
    EXPECT_EQ(module_.state().external_texts, before.external_texts);
    EXPECT_EQ(module_.state().analog_levels, before.analog_levels);
    EXPECT_EQ(module_.state().schedule_code, before.schedule_code);
    EXPECT_EQ(module_.state().clock_offset_s, before.clock_offset_s);
}

INSTANTIATE_TEST_SUITE_P(
    Module, Refusals,
    ::testing::Values(Refusal{"unknown", "FOOBA", "UNKNOWN COMMAND\r\n"},
                      Refusal{"too_short", "GET", "UNKNOWN COMMAND\r\n"},
                      Refusal{"number_slot_8", "SETNN8 +491", "SETNN ERROR\r\n"},
                      Refusal{"number_letters", "SETNN1 0171x", "SETNN ERROR\r\n"},
                      Refusal{"number_two_plus", "SETNN1 ++49", "SETNN ERROR\r\n"},
                      Refusal{"number_too_long", "SETNN1 +" + std::string(20, '1'), "SETNN ERROR\r\n"},
                      Refusal{"external_slot_55", "GETTX55", "GETTX ERROR\r\n"},
                      Refusal{"short_slot_79", "SETTI79 X", "SETTI ERROR\r\n"},
                      Refusal{"external_text_too_long", "SETTX01 " + std::string(33, 'x'), "SETTX ERROR\r\n"},
                      Refusal{"short_text_too_long", "SETTI01 " + std::string(16, 'x'), "SETTI ERROR\r\n"},
                      Refusal{"level_one_digit", "ANLEV1,5,10,80,95", "ANLEV ERROR\r\n"},
                      Refusal{"level_input_5", "ANLEV5,05,10,80,95", "ANLEV ERROR\r\n"},
                      Refusal{"temperature_unsigned", "TCLEV1 149+100+000-001", "TCLEV ERROR\r\n"},
                      Refusal{"schedule_type", "SETSH,X33      ", "SETSH ERROR\r\n"},
                      Refusal{"schedule_half_hour", "SETSH,A3 ", "SETSH ERROR\r\n"},
                      Refusal{"february_30", "SETTM 23/02/30,10:00:00", "SETTM ERROR\r\n"},
                      Refusal{"hour_24", "SETTM 23/02/03,24:00:00", "SETTM ERROR\r\n"},
                      Refusal{"options_letter", "SETMP MPEDEEDDDEEDXDE ", "SETMP ERROR\r\n"},
                      Refusal{"filter_shape", "SETTF,5,12,99,00 3", "SETTF ERROR\r\n"},
                      Refusal{"mask_letter", "SETME,FFFF,FFFG,FFFF-- ", "SETME ERROR\r\n"},
                      Refusal{"runtime_8", "RTMOD8", "RTMOD ERROR\r\n"},
                      Refusal{"output_6", "SETOU6", "SETOU ERROR\r\n"},
                      Refusal{"apn_too_long", "SETAP " + std::string(41, 'a'), "SETAP ERROR\r\n"},
                      Refusal{"read_with_argument", "GETST1", "GETST ERROR\r\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ModuleTest, SimpleCommandsOfTheMainPage) {
    EXPECT_EQ(module_.execute("  OK"), "OK\r\n");
    EXPECT_EQ(module_.execute("  +EXIT"), "+EXIT OK\r\n");
    EXPECT_EQ(module_.execute("  GETVR"), "VER HX350-SIM " HX350_SIM_VERSION "\r\n");
    EXPECT_EQ(module_.execute("GETAN"), "AN1=12% AN2=34% AN3=56% AN4=78%\r\n");
    EXPECT_EQ(module_.execute("GETTC"), "T1=+21.5C T2=+19.0C T3=+20.0C T4=+20.0C\r\n");
    EXPECT_EQ(module_.execute(""), "");
    EXPECT_EQ(module_.execute("  \r"), "");
}

TEST_F(ModuleTest, StatusLinesCarryNoColonSoNoPageTakesThem) {
    const std::string status = module_.execute("GETST");
    EXPECT_EQ(status.find(':'), std::string::npos) << status;
    EXPECT_EQ(status.rfind("ST OUT=00000 IN=1000100 C1=1234 C2=56 T1=+21.5 T2=+19.0 GSM=18\r\n", 0), 0u);
}

TEST_F(ModuleTest, FourToTwentyModeReadsInMilliamps) {
    module_.execute("420FL1,1");
    EXPECT_EQ(module_.execute("GETAN"), "AN1=5.92mA AN2=34% AN3=56% AN4=78%\r\n");
}

TEST_F(ModuleTest, RuntimeCountersReadInMinutes) {
    module_.execute("RTMOD1");
    EXPECT_EQ(module_.execute("GETCT"), "C1=1234MIN C2=56\r\n");
}

TEST_F(ModuleTest, OutputsAnswerWithTheirStateNames) {
    EXPECT_EQ(module_.execute("SETTI70 PUMP RUNS"), "SETTI70 OK\r\n");
    EXPECT_EQ(module_.execute("SETOU2"), "PUMP RUNS\r\n");
    EXPECT_EQ(module_.execute("GETIS0"), "INP1 1,INP2 0,INP3 0,INP4 0,INP5 1,INP6 0,INP7 0\r\n");
    EXPECT_EQ(module_.execute("GETIS5"), "INP5 1\r\n");
}

TEST_F(ModuleTest, OutputCommandsAreSilentWhenOptionThreeIsDisabled) {
    module_.execute("SETMP MPDDEEDDDEEDDDE ");
    EXPECT_EQ(module_.execute("SETOU1"), "");
    EXPECT_TRUE(module_.state().outputs[0]);
}

TEST_F(ModuleTest, RestartKeepsOutputsOnlyWithOptionFive) {
    module_.execute("SETOU1");
    EXPECT_EQ(module_.execute("RSTRT"), "RSTRT OK\r\n");
    EXPECT_TRUE(module_.state().outputs[0]);
    module_.execute("SETMP MPEDDEDDDEEDDDE ");
    module_.execute("RSTRT");
    EXPECT_FALSE(module_.state().outputs[0]);
}

TEST_F(ModuleTest, ClockRunsOnFromTheSetTimeAcrossTheYearEnd) {
    EXPECT_EQ(module_.execute("SETTM 23/12/31,23:59:30+01"), "SETTM OK\r\n");
    clock_.advance(45'000);
    EXPECT_EQ(module_.execute("GETTM"), "TIME 24/01/01,00:00:15+01\r\n");
}

TEST_F(ModuleTest, ClockWithoutSetTimeShowsTheHostTimeAndZone) {
    EXPECT_EQ(module_.execute("GETTM"), "TIME 25/09/23,14:05:09+02\r\n");
    EXPECT_EQ(module_.execute("SETTM 24/02/29,12:00:00"), "SETTM OK\r\n");  // leap day, no zone
    EXPECT_EQ(module_.execute("GETTM"), "TIME 24/02/29,12:00:00+02\r\n");
}

TEST_F(ModuleTest, NightlyReportCarriesDateAndCounters) {
    EXPECT_EQ(module_.execute("GETMH"), "MH 25/09/23 C1=1234 C2=56\r\n");
}

TEST_F(ModuleTest, KeywordsAreAcceptedInLowerCase) {
    EXPECT_EQ(module_.execute("setnn1 +4911"), "SETNN1 OK\r\n");
    EXPECT_EQ(module_.execute("getnr1"), "1: +4911\r\n");
}

TEST_F(ModuleTest, GsmEngineAnswersAtCommandsInModemForm) {
    EXPECT_EQ(module_.execute("  AT+CSQ"), "\r\n+CSQ: 18,99\r\n\r\nOK\r\n");
    EXPECT_EQ(module_.execute("AT"), "\r\nOK\r\n");
    EXPECT_EQ(module_.execute("AT+CGMI"), "\r\nERROR\r\n");
}

TEST_F(ModuleTest, FactoryTextsFollowTheEventSlots) {
    EXPECT_EQ(module_.execute("GETTX01"), "01: Temperature 1 < MINIMUM2\r\n");
    EXPECT_EQ(module_.execute("GETTX23"), "23: Analog Input 1 Normal\r\n");
    EXPECT_EQ(module_.execute("GETTX48"), "48: Event INP1 1-0\r\n");
    EXPECT_EQ(module_.execute("GETTI78"), "78: OUT5 0\r\n");
    EXPECT_EQ(module_.execute("GETTI54"), "54: \r\n");
}

TEST(CivilDays, KnownDates) {
    EXPECT_EQ(daysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(daysFromCivil(2000, 3, 1), 11017);
    EXPECT_EQ(daysFromCivil(2024, 2, 29) + 1, daysFromCivil(2024, 3, 1));
}

}  // namespace
}  // namespace hx350::sim
