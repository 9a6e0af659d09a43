// The catalogue of the form's controls: every control once, by name, with its page, kind and the hints
// the window layer needs to build a widget for it (group, grid cell, human label) and the name of the
// handler it is wired to. The window layer builds its pages by iterating entries() page by page; tests
// check every name once against a written list.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "app/controls.h"
#include "base/memo.h"

namespace hx350 {

/// Page number of the controls of the window frame (outside the tab control).
inline constexpr int kFramePage = -1;

/// A typed pointer to one control of the form.
using ControlRef = std::variant<Edit*, CheckBox*, RadioGroup*, ScrollBar*, TrackBar*, Button*, Label*, Memo*,
                                Panel*, ListBox*, PageControl*, StatusBar*, MainMenu*, MenuItem*>;

/// One control of the form with its placement hints.
struct ControlEntry {
    std::string name;
    ControlKind kind;
    int page;           ///< 0..12 in tab order, or kFramePage
    std::string group;  ///< id of the group (GroupInfo::id) on that page
    int row;            ///< grid cell inside the group, 0-based
    int column;
    /// The human label, for the accessible name: the caption of buttons and check boxes with a telling
    /// caption, else the text that names the setting ("Nr3", "Temp.Inp.2 < MINIMUM1" for TXTSMS7 and its
    /// "WR" button); empty for panels, which are named by their group.
    std::string label;
    std::string handler;  ///< the handler the control is wired to ("TXTSMSb7Click"), empty for none
    ControlRef ref;
};

/// A box of controls on a page (a group box, a named panel, or the page's free area).
struct GroupInfo {
    int page;
    std::string id;                  ///< unique on its page
    std::string caption;             ///< frame caption, may be empty
    std::string panel;               ///< name of the Panel control this group is, empty for an unnamed group
    std::vector<std::string> texts;  ///< fixed descriptive texts shown in the group, in reading order
};

class ControlRegistry {
  public:
    /// Room for `controls` entries without growing (the form knows roughly how many it makes).
    void reserve(std::size_t controls) {
        entries_.reserve(controls);
        index_.reserve(controls);
    }
    /// Adds a control; the name must be new (std::logic_error otherwise).
    void add(ControlEntry entry);
    /// Adds a group; its (page, id) must be new (std::logic_error otherwise).
    void addGroup(GroupInfo group);
    /// Appends a fixed text to group `id` of `page` (std::logic_error when there is no such group).
    void addText(int page, std::string_view id, std::string text);
    /// Records the handler name of the control `name` (std::logic_error for an unknown control).
    void setHandler(std::string_view name, std::string handler);

    /// The entry of control `name`, or nullptr.
    const ControlEntry* find(std::string_view name) const;
    /// All controls in the order they were added (page by page, group by group, reading order).
    const std::vector<ControlEntry>& entries() const { return entries_; }
    /// All groups in the order they were added.
    const std::vector<GroupInfo>& groups() const { return groups_; }

  private:
    std::vector<ControlEntry> entries_;
    std::vector<GroupInfo> groups_;
    std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace hx350
