// The compare model: the pages match what they save; a setting changed on a page is listed, with its page
// and both values, and nothing else is.
#include "app/settings_compare.h"

#include <gtest/gtest.h>

#include "app/settings_text.h"
#include "form_fixture.h"

namespace hx350 {
namespace {

const std::string kGolden = std::string(HX350_TEST_DATA_DIR) + "/settings/golden.cfg";

class SettingsCompareTest : public test::FormOnPtys {};

TEST_F(SettingsCompareTest, ListsExactlyTheSettingsChangedOnThePages) {
    SettingsRecord golden;
    ASSERT_TRUE(readSettingsFile(kGolden, golden).ok());
    writeRecord(golden);
    TForm1& form = start();
    // What a save writes is what the pages hold (start-up's fixes included): nothing differs from it.
    const std::string saved = dir_ + "/other.cfg";
    ASSERT_TRUE(form.SaveCFGFile(saved).ok());
    SettingsRecord loaded;
    ASSERT_TRUE(readSettingsFile(saved, loaded).ok());
    ASSERT_TRUE(compareWithPages(form, loaded).empty());

    form.find<Edit>("NNumber3")->SetText("+4400");
    form.find<CheckBox>("SkipCRLFcb")->SetChecked(!form.find<CheckBox>("SkipCRLFcb")->Checked());
    const auto differences = compareWithPages(form, loaded);
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0].row->key, "SubscriberNumber[3]");
    EXPECT_EQ(differences[0].page, "Abonents");
    EXPECT_EQ(differences[0].page_value, "+4400");
    EXPECT_EQ(differences[0].file_value, "+37061000003");
    EXPECT_EQ(differences[0].label, findSettingsTextEntry("SubscriberNumber[3]")->label);
    EXPECT_EQ(differences[1].row->key, "SkipCrLf");
    EXPECT_EQ(differences[1].page, "Serial Port");
    EXPECT_EQ(differences[1].page_value, "0");
    EXPECT_EQ(differences[1].file_value, "1");
}

}  // namespace
}  // namespace hx350
