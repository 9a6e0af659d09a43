#include "params/runtime_counters.h"

#include <gtest/gtest.h>

#include "command_table.h"

namespace hx350::params {
namespace {

using testing::CommandRow;

const CommandRow kRunTimeCommands[] = {
    {"RtMod0", [] { return runTimeModeCommand(0); }, "RTMOD0"},
    {"RtMod1", [] { return runTimeModeCommand(1); }, "RTMOD1"},
    {"RtMod2", [] { return runTimeModeCommand(2); }, "RTMOD2"},
    {"RtMod3", [] { return runTimeModeCommand(3); }, "RTMOD3"},
    {"RtMod4", [] { return runTimeModeCommand(4); }, "RTMOD4"},
    {"RtMod5", [] { return runTimeModeCommand(5); }, "RTMOD5"},
    {"RtMod6", [] { return runTimeModeCommand(6); }, "RTMOD6"},
    {"RtMod7", [] { return runTimeModeCommand(7); }, "RTMOD7"},
    {"RtModOnlyThreeBits", [] { return runTimeModeCommand(9); }, "RTMOD1"},
    {"CFlowC", [] { return counterSmsFormatCommand(CounterSmsFormat::kC); }, "CFLOW0"},
    {"CFlowF", [] { return counterSmsFormatCommand(CounterSmsFormat::kF); }, "CFLOW1"},
};
HX350_COMMAND_TABLE(RunTimeCommands, kRunTimeCommands);

struct PanelRow {
    const char* name;
    int mode;
    const char* counter1;
    const char* counter2;
};

// The eight panels of the page, as they read.
const PanelRow kPanels[] = {
    {"Panel6", 0, "DI5 pulse counter 1", "DI6 pulse counter 2"},
    {"Panel7", 1, "DI5=1 RunTime counter 1", "DI6 pulse counter 2"},
    {"Panel8", 2, "DI5 pulse counter 1", "DI6=1 RunTime counter 2"},
    {"Panel9", 3, "DI5=1 RunTime counter 1", "DI6=1 RunTime counter 2"},
    {"Panel10", 4, "DI5 pulse counter 1", "DI6 pulse counter 2"},
    {"Panel11", 5, "DI5=0 (open) RunTime counter 1", "DI6 pulse counter 2"},
    {"Panel12", 6, "DI5 pulse counter 1", "DI6=0 (open) RunTime counter 2"},
    {"Panel13", 7, "DI5=0 (open) RunTime counter 1", "DI6=0 (open) RunTime counter 2"},
};

class RunTimePanels : public ::testing::TestWithParam<PanelRow> {};

TEST_P(RunTimePanels, LabelsDescribeTheModeBits) {
    EXPECT_EQ(counterModeLabel(1, GetParam().mode), GetParam().counter1);
    EXPECT_EQ(counterModeLabel(2, GetParam().mode), GetParam().counter2);
}

INSTANTIATE_TEST_SUITE_P(Rows, RunTimePanels, ::testing::ValuesIn(kPanels),
                         ::hx350::params::testing::RowName());

}  // namespace
}  // namespace hx350::params
