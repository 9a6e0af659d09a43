#include "app/settings_bindings.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <utility>

#include "app/form.h"
#include "app/uplink_rows.h"
#include "base/text.h"
#include "link/reply_routing.h"

namespace hx350 {

namespace {

using C = BindingConversion;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

constexpr std::array<std::string_view, 4> kThresholdNames{"Min2", "Min1", "Max1", "Max2"};

/// Fills the rows from the registry: each row's page, label and handlers come from the controls it names.
class Rows {
  public:
    Rows(const ControlRegistry& registry, std::vector<SettingBinding>& rows)
        : registry_(registry), rows_(rows) {
        for (const GroupInfo& group : registry.groups()) {
            if (!group.caption.empty()) captions_[{group.page, group.id}] = trimmed(group.caption);
        }
    }

    /// A row bound to `control`; the key is the field's name, with [element] for a family.
    Rows& bound(std::size_t field, int element, std::string_view control, C conversion) {
        SettingBinding row;
        row.field = field;
        row.element = element;
        row.key = std::string(kSettingsLayout[field].name);
        if (kSettingsLayout[field].count > 1) row.key += "[" + decimal(element) + "]";
        row.conversion = conversion;
        row.control = std::string(control);
        const ControlEntry& entry = entryOf(control);
        row.page = entry.page;
        row.label = labelOf(entry, {});
        rows_.push_back(std::move(row));
        return *this;
    }
    template <FieldEncoding kEncoding>
    Rows& bound(RecordField<kEncoding> field, std::string_view control, C conversion) {
        return bound(field.row, 1, control, conversion);
    }
    template <FieldEncoding kEncoding>
    Rows& bound(RecordField<kEncoding> field, int element, std::string_view control, C conversion) {
        return bound(field.row, element, control, conversion);
    }

    /// A row with no control: a working copy, shown on `page` (or no page) under `label`.
    template <FieldEncoding kEncoding>
    Rows& working(RecordField<kEncoding> field, WorkingCopyMember member, int page, std::string label) {
        SettingBinding row;
        row.field = field.row;
        row.key = std::string(field.layout().name);
        row.conversion = C::WorkingCopy;
        row.working = member;
        row.page = page;
        row.label = std::move(label);
        rows_.push_back(std::move(row));
        return *this;
    }

    /// Replaces the last row's key.
    Rows& key(std::string key) {
        rows_.back().key = std::move(key);
        return *this;
    }
    /// Puts `qualifier` before the control's label in the last row's label, where that label alone does
    /// not tell the row from another of its group ("Nr3" of the alarm numbers and of the phone book).
    Rows& qualify(std::string_view qualifier) {
        rows_.back().label = labelOf(entryOf(rows_.back().control), qualifier);
        return *this;
    }
    /// Appends `text` to the last row's label.
    Rows& suffix(std::string_view text) {
        rows_.back().label += text;
        return *this;
    }

    /// The last row is written by `button` (its wired handler; none when the button carries no
    /// behaviour), after selecting the element in `selector` when given.
    Rows& writes(std::string_view button, std::string_view selector = {}) {
        SettingBinding& row = rows_.back();
        row.write = entryOf(button).handler;
        if (!row.write.empty()) row.write_button = std::string(button);
        if (!selector.empty()) row.selector = std::string(entryOf(selector).name);
        return *this;
    }
    /// The last row's empty value is written by clicking `button` (with the same selector) instead.
    Rows& clears(std::string_view button) {
        rows_.back().clear_button = std::string(entryOf(button).name);
        return *this;
    }
    /// The last row is read by `button` (with `box` ticked, when given).
    Rows& reads(std::string_view button, std::string_view box = {}) {
        SettingBinding& row = rows_.back();
        row.read = entryOf(button).handler;
        if (row.read.empty()) return *this;
        row.read_button = std::string(button);
        if (!box.empty()) row.read_box = std::string(entryOf(box).name);
        return *this;
    }

  private:
    const ControlEntry& entryOf(std::string_view name) const {
        const ControlEntry* entry = registry_.find(name);
        if (entry == nullptr)
            throw std::logic_error("settings table names an unknown control: " + std::string(name));
        return *entry;
    }

    std::string labelOf(const ControlEntry& entry, std::string_view qualifier) const {
        std::string label(kPageCaptions.at(static_cast<std::size_t>(entry.page)));
        const auto caption = captions_.find({entry.page, entry.group});
        if (caption != captions_.end()) label += ", " + std::string(caption->second);
        if (!qualifier.empty()) label += ", " + std::string(qualifier);
        return label + ", " + std::string(trimmed(entry.label));
    }

    const ControlRegistry& registry_;
    std::vector<SettingBinding>& rows_;
    std::map<std::pair<int, std::string_view>, std::string_view> captions_;  ///< of the groups that have one
};

std::string boolText(bool value) {
    return value ? "1" : "0";
}

}  // namespace

SettingsBindings::SettingsBindings(const ControlRegistry& registry) {
    rows_.reserve(300);
    Rows rows(registry, rows_);
    using W = SettingsWorkingCopies;

    // Serial Port page: local settings of the tool, nothing to send.
    rows.bound(cfg::BaudRateIndex, "RadioGroupRate", C::ItemIndex);
    rows.bound(cfg::ComPortIndex, "RadioGroupPort", C::ItemIndex);
    rows.bound(cfg::WaitSmsTimeout, "TrackBar5", C::Position);

    rows.working(cfg::PollFactor, &W::PollFactor, kNoPage, "SMS-mode poll factor (carried)");
    rows.working(cfg::ScheduleCode, &W::ScheduleCode, kSmsShedulePage, "SMS Shedule, schedule code")
        .writes("SetShedule")
        .reads("GetShedule");

    // Both copies of the module's number show in the one edit; the second copy is what stays shown.
    rows.bound(cfg::ModulePhone, "BRnumber", C::Text);
    rows.bound(cfg::ModulePhoneCopy, "BRnumber", C::Text).suffix(" (second copy)");
    for (int n = 1; n <= 7; ++n) {
        rows.bound(cfg::SubscriberNumber, n, "NNumber" + decimal(n), C::Text)
            .qualify(kAlarmNumbersCaption)
            .writes("SetNr", "RadioGroupNR")
            .clears("ClrNr")
            .reads("GetNr");
    }
    for (int n = 1; n <= 7; ++n) {
        rows.bound(cfg::PhoneBookNumber, n, "PBnr" + decimal(n), C::Text)
            .qualify(kPhoneBookNumbersCaption)
            .writes("ToPhoneBook", "RadioGroupPB")
            .reads("ReadPB");
    }

    rows.bound(cfg::DigitalFilter, "DFilterSB", C::Position).writes("Button19");
    rows.bound(cfg::TempTimeout, "TTimeout1SB", C::Position).writes("Button19");
    rows.bound(cfg::AnalogTimeout, "ATimeout1SB", C::Position).writes("Button19");
    rows.bound(cfg::SampleRate, "SRateSB", C::Position).writes("bSRate");
    // "Set  Parameter" sends the lengths of the three outputs shown; outputs 4 and 5 are only kept.
    for (int n = 1; n <= 5; ++n) {
        rows.bound(cfg::PulseDuration, n, "PulseDsb" + decimal(n), C::Position);
        if (n <= 3) rows.writes("SetPulse");
    }

    rows.bound(cfg::DeleteIncomingSms, "DeleteSMS", C::Checked);
    rows.bound(cfg::SmsModeOn, "SMSmode", C::Checked);

    for (int slot = 1; slot <= 54; ++slot) {
        const std::string button = "TXTSMSb" + decimal(slot);
        rows.bound(cfg::ExternalText, slot, "TXTSMS" + decimal(slot), C::Text)
            .writes(button)
            .reads(button, "GetText");
    }
    for (int slot = 1; slot <= 78; ++slot) {
        // Slots 55..78 are the IO names, on their own page with the TXTSMSb buttons.
        const bool io_name = slot > 54;
        const std::string button = (io_name ? "TXTSMSb" : "iTXTSMSb") + decimal(slot);
        rows.bound(cfg::InternalText, slot, "iTXTSMS" + decimal(slot), C::Text)
            .writes(button)
            .reads(button, io_name ? "nGetText" : "iGetText");
    }

    // The masks are edited through the Abonents check boxes and sent together.
    rows.bound(cfg::TempNumberFilter, "TNrFilter", C::Text).writes("SetNfilter1");
    rows.bound(cfg::AnalogNumberFilter, "ANrFilter", C::Text).writes("SetNfilter1");
    rows.bound(cfg::DigitalNumberFilter, "DNrFilter", C::Text).writes("SetNfilter1");

    for (const UplinkRow& uplink : kUplinkRows) {
        rows.bound(uplink.field, uplink.edit_name, C::Text)
            .writes(uplink.button_name)
            .reads(uplink.button_name, "ReadGPRS1");
    }

    rows.working(cfg::TempFormat, &W::TempFormat, kNoPage, "Temperature format (carried)");
    rows.bound(cfg::DataLoggerTime, "DLoggerTmSB", C::Position).writes("bDLperiod");
    rows.bound(cfg::DataLoggerRate, "sRateDL", C::Position).writes("Button9");
    rows.working(cfg::OtherString, &W::OtherString, kOtherPage, "Other, option mask")
        .writes("SetOther")
        .reads("GetOther");

    rows.working(cfg::CarriedInt1, &W::CarriedInt1, kNoPage, "CarriedInt1 (carried)");
    rows.working(cfg::CarriedInt2, &W::CarriedInt2, kNoPage, "CarriedInt2 (carried)");
    rows.working(cfg::CarriedInt3, &W::CarriedInt3, kNoPage, "CarriedInt3 (carried)");
    rows.bound(cfg::SkipCrLf, "SkipCRLFcb", C::Checked);
    rows.working(cfg::CarriedWord1, &W::CarriedWord1, kNoPage, "CarriedWord1 (carried)");
    rows.working(cfg::CarriedWord2, &W::CarriedWord2, kNoPage, "CarriedWord2 (carried)");

    // Analog page; "Read Analog Parameters" asks for all of them at once.
    rows.bound(cfg::AnalogCoeff, "AnalogKoeff", C::Text).writes("BtRefLevel").reads("GETLV");
    for (int n = 1; n <= 4; ++n) {
        rows.bound(cfg::AnalogMultiplier, n, "AN" + decimal(n) + "mul", C::Text)
            .writes("bAN" + decimal(n) + "mul")
            .reads("GETLV");
    }
    for (int n = 1; n <= 3; ++n) {
        rows.bound(cfg::Analog420, n, "AN" + decimal(n) + "_420", C::Checked)
            .writes("bAN" + decimal(n) + "_420")
            .reads("GETLV");
    }
    rows.bound(cfg::ReferenceLevel, "ReferenceLevelRadioBox1", C::ItemIndex)
        .writes("BtRefLevel")
        .reads("GETLV");

    // Threshold sliders: each input's "WR" (analog) or "OK" (temperature) button writes its four levels.
    // Start-up sets the analog sliders of an input in the order Min1, Max1, Min2, Max2.
    struct Level {
        Threshold threshold;
        const char* bar;
        int level;
    };
    static constexpr Level kAnalogLoadOrder[4] = {
        {Threshold::Min1, "ScrollBarMin", 1},
        {Threshold::Max1, "ScrollBarMax", 1},
        {Threshold::Min2, "ScrollBarMin", 2},
        {Threshold::Max2, "ScrollBarMax", 2},
    };
    const auto levelKey = [](std::string_view family, int input, Threshold threshold) {
        return std::string(family) + "[" + decimal(input) + "][" +
               std::string(kThresholdNames[static_cast<std::size_t>(threshold)]) + "]";
    };
    for (int n = 1; n <= 4; ++n) {
        for (const Level& l : kAnalogLoadOrder) {
            rows.bound(cfg::AnalogLevel, levelNumber(n, l.threshold), l.bar + decimal(n) + decimal(l.level),
                       C::Position)
                .key(levelKey("AnalogLevel", n, l.threshold))
                .writes("Level" + decimal(n) + "Cmd")
                .reads("GETLV");
        }
    }
    static constexpr Level kTemperatureLoadOrder[4] = {
        {Threshold::Min2, "Min", 2},
        {Threshold::Min1, "Min", 1},
        {Threshold::Max1, "Max", 1},
        {Threshold::Max2, "Max", 2},
    };
    for (int n = 1; n <= 4; ++n) {
        for (const Level& l : kTemperatureLoadOrder) {
            rows.bound(cfg::TempLevel, levelNumber(n, l.threshold),
                       "ScrollBarT" + decimal(n) + l.bar + decimal(l.level), C::Position)
                .key(levelKey("TempLevel", n, l.threshold))
                .writes("Button" + decimal(2 + n))
                .reads("Button11");
        }
    }

    for (SettingBinding& row : rows_)
        row.read_into_page = row.canRead() && routesAnswersOf(row.page);
}

std::vector<const SettingBinding*> SettingsBindings::inPageOrder() const {
    std::vector<const SettingBinding*> out;
    out.reserve(rows_.size());
    for (const SettingBinding& row : rows_)
        out.push_back(&row);
    const auto rank = [](const SettingBinding* row) { return row->page == kNoPage ? kPageCount : row->page; };
    std::stable_sort(out.begin(), out.end(),
                     [&](const SettingBinding* a, const SettingBinding* b) { return rank(a) < rank(b); });
    return out;
}

const SettingBinding* SettingsBindings::find(std::string_view key) const {
    for (const SettingBinding& row : rows_) {
        if (row.key == key) return &row;
    }
    return nullptr;
}

std::string recordValueText(const SettingsRecord& record, const SettingBinding& row) {
    switch (row.layout().encoding) {
        case FieldEncoding::Int32:
            return decimal(record.get(Int32Field{row.field}, row.element));
        case FieldEncoding::Word16:
            return decimal(record.get(Word16Field{row.field}, row.element));
        case FieldEncoding::Bool:
            return boolText(record.get(BoolField{row.field}, row.element));
        case FieldEncoding::Byte:
            return decimal(record.get(ByteField{row.field}, row.element));
        case FieldEncoding::ShortString:
            return record.get(TextField{row.field}, row.element);
        case FieldEncoding::Reserved:
            break;
    }
    return {};
}

}  // namespace hx350
