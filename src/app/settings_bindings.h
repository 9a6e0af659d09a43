// The settings table: for every setting the pages keep in the settings record, one row that ties together
// its record field, the control that shows it, its page, the label a technician reads, how the value
// passes between control and field, and the operations that write it to the module and read it back.
//
// Start-up fills the pages by walking the rows in their order, and "Save Setting" stores them by walking
// them again; anything that lists, exports or compares settings walks the same rows.
//
// Rows:
//  - One row per record element: a family such as `ExternalText` (54 slots) gives one row per slot.
//  - `key` is stable and unique: the field's name for a single field ("ModulePhone", "GprsApn"), the name
//    with the 1-based element for a family ("ExternalText[5]", "SubscriberNumber[3]", "Analog420[1]"), and
//    for the two threshold families the input and the threshold by name ("AnalogLevel[2][Max1]",
//    "TempLevel[1][Min2]", thresholds Min2, Min1, Max1, Max2 as the record stores them).
//  - `control` is the design name of the control ("TXTSMS5"); find it with TForm1::find<T>(). Rows without a
//    control (working copies the window keeps between saves: `PollFactor`, `ScheduleCode`, `OtherString`,
//    `TempFormat` and the carried values) have an empty `control` and the conversion WorkingCopy.
//  - `page` is the PageIndex of the control's page, or kNoPage for a value no page edits.
//  - `label` is built from the design's captions: the page, the group box (when it has a caption) and the
//    control's own label, joined by ", " ("External SMS, Temp.Inp.1 > MAXIMUM1", "GPRS, FTP, FTP,
//    User ID"). Labels are unique.
//  - Write: `write_button` is the button whose handler `write` sends the setting to the module (with the
//    page's "Read" box unticked, where it has one). Both are empty when no operation writes it (local
//    settings such as the port, carried values, hidden buttons that carry no behaviour). Where a button
//    serves several elements through a radio group ("SETNR" writes the number chosen in `RadioGroupNR`),
//    `selector` names that group; select item element - 1 first. Where the write button refuses an empty
//    value and another button clears the setting in the module ("CLRNR" for an alarm number),
//    `clear_button` names it.
//  - Read: `read_button` with handler `read` asks the module for the setting; when `read_box` is not
//    empty, that check box must be ticked first (it turns the "WR" button into a read request). All three
//    are empty when the module cannot be asked. Some reads fetch more than the one setting ("GETLV").
//    `read_into_page` tells whether the answer is put into the control: only the answers of some pages are
//    (Abonents, the three text pages, GPRS/FTP); the others are shown in the log alone.
//
// Record fields that no row binds are listed in kUnboundFields with the reason; reserved ranges are never
// bound.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "app/control_registry.h"
#include "app/settings_record.h"

namespace hx350 {

/// The page of a row that no page edits.
inline constexpr int kNoPage = -2;

/// How a value passes between its control and its record field.
enum class BindingConversion : std::uint8_t {
    Text,         ///< an Edit's text; stored cut to the field's capacity
    Checked,      ///< a CheckBox's check state
    ItemIndex,    ///< a RadioGroup's selected item (-1 for none)
    Position,     ///< a ScrollBar's or TrackBar's position (the control clamps a loaded value to its range)
    WorkingCopy,  ///< no control: the member `working` of the window's SettingsWorkingCopies
};

/// The working copy a WorkingCopy row stands for (std::monostate for every other row).
using WorkingCopyMember =
    std::variant<std::monostate, std::int32_t SettingsWorkingCopies::*,
                 std::uint16_t SettingsWorkingCopies::*, std::string SettingsWorkingCopies::*>;

/// One setting: see the file comment for every member.
struct SettingBinding {
    std::string key;
    std::size_t field = 0;  ///< index of the field's row in kSettingsLayout
    int element = 1;        ///< 1-based element of the field
    int page = kNoPage;
    std::string label;
    BindingConversion conversion = BindingConversion::Text;
    std::string control;
    WorkingCopyMember working;
    std::string selector;
    std::string write_button;
    std::string write;
    std::string clear_button;
    std::string read_button;
    std::string read;
    std::string read_box;
    bool read_into_page = false;

    const SettingsFieldLayout& layout() const { return kSettingsLayout[field]; }
    bool hasControl() const { return !control.empty(); }
    bool canWrite() const { return !write.empty(); }
    bool canRead() const { return !read.empty(); }
};

/// A named record field that no row binds, and why.
struct UnboundField {
    std::string_view name;
    std::string_view reason;
};

inline constexpr std::array kUnboundFields{
    UnboundField{"CarriedByte1", "kept in the record exactly as it was read; no save writes it"},
    UnboundField{"CarriedByte2", "kept in the record exactly as it was read; no save writes it"},
    UnboundField{"ScheduleCodeFlag", "never interpreted; every save writes it as 0"},
};

/// The rows of one form's design. Built from the form's control registry (for the labels, pages and
/// handler names); throws std::logic_error when the registry lacks a control a row names.
class SettingsBindings {
  public:
    explicit SettingsBindings(const ControlRegistry& registry);

    /// Every row, in the order start-up fills the pages.
    const std::vector<SettingBinding>& rows() const { return rows_; }
    /// Every row, page by page in tab order (rows keep their order within a page), then the rows with no
    /// page.
    std::vector<const SettingBinding*> inPageOrder() const;
    /// The row with `key`, or nullptr.
    const SettingBinding* find(std::string_view key) const;

  private:
    std::vector<SettingBinding> rows_;
};

/// For a WorkingCopy row: calls `f(field, member)` with the row's typed record field (Int32Field,
/// Word16Field or TextField) and its SettingsWorkingCopies member of the matching type. Does nothing for a
/// row of another conversion.
template <class F>
void withWorkingCopy(const SettingBinding& row, F&& f) {
    std::visit(
        [&](auto member) {
            using M = decltype(member);
            if constexpr (std::is_same_v<M, std::int32_t SettingsWorkingCopies::*>) {
                f(Int32Field{row.field}, member);
            } else if constexpr (std::is_same_v<M, std::uint16_t SettingsWorkingCopies::*>) {
                f(Word16Field{row.field}, member);
            } else if constexpr (std::is_same_v<M, std::string SettingsWorkingCopies::*>) {
                f(TextField{row.field}, member);
            }
        },
        row.working);
}

/// The value of `row` as the record holds it, as text: a string field's characters, a number in decimal,
/// a bool as "1" or "0".
std::string recordValueText(const SettingsRecord& record, const SettingBinding& row);

}  // namespace hx350
