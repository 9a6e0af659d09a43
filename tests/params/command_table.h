// Shared shape of the builder tables: one row per command, the builder call written out in the row and the
// exact text the module must receive.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace hx350::params::testing {

struct CommandRow {
    const char* name;  // test name suffix, letters and digits only
    std::string (*build)();
    std::string_view expected;
};

// Names a parameterised test after the `name` member of its row.
struct RowName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row_info) const {
        return row_info.param.name;
    }
};

inline void PrintTo(const CommandRow& row, std::ostream* os) {
    *os << row.name;
}

}  // namespace hx350::params::testing

// Defines a parameterised suite `suite` over the static array `rows`: each row's builder must give its
// expected text byte for byte.
#define HX350_COMMAND_TABLE(suite, rows)                                                    \
    class suite : public ::testing::TestWithParam<::hx350::params::testing::CommandRow> {}; \
    TEST_P(suite, BuildsExactText) {                                                        \
        EXPECT_EQ(GetParam().build(), GetParam().expected);                                 \
    }                                                                                       \
    INSTANTIATE_TEST_SUITE_P(Rows, suite, ::testing::ValuesIn(rows), ::hx350::params::testing::RowName())
