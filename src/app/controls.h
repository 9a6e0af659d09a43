// The control types of the headless form: the state and event rules of the window's controls, in plain C++.
//
// Each control holds what the window shows (text, check state, selection, position, caption, visibility,
// colour) and two kinds of callbacks:
//  - the event handler (OnClick / OnChange) the form wires to its operation, run by the rules below;
//  - an observer that the window layer sets to repaint; it runs after every change of any property and
//    never runs handlers.
// Every control has a "user path" (userClick, userSetText, userSetPosition, ...) that does what a user
// action does, including the handler; code uses the plain setters. A hidden control cannot be operated,
// so its user path does nothing.
//
// Handler rules (what the tool relies on):
//  - check box, radio group, scroll bar, edit: setting a value from code runs the handler exactly when the
//    value differs from the current one; the same holds for the user path;
//  - track bar: setting the position from code runs no handler; a user move runs it when it differs;
//  - page control: selecting a page from code runs no handler; a user selection of another page runs it;
//  - edit limits (MaxLength) restrict typing only: text set from code is never cut.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/memo.h"

namespace hx350 {

/// What kind of control an entry of the form is.
enum class ControlKind {
    Edit,
    CheckBox,
    RadioGroup,
    ScrollBar,
    TrackBar,
    Button,
    Label,
    Memo,
    Panel,
    ListBox,
    PageControl,
    StatusBar,
    MainMenu,
    MenuItem,
};

/// The kind's name as the control lists write it ("Edit", "CheckBox", ...).
std::string_view kindName(ControlKind kind);

/// Common part of every control: name, visibility and the repaint observer.
class Control {
  public:
    using Handler = std::function<void()>;

    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    /// The control's name in the window design ("TXTSMSb7"); fixed when the form is built.
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    virtual ControlKind kind() const = 0;

    bool Visible() const { return visible_; }
    /// Shows or hides the control; runs no handler.
    void SetVisible(bool visible);

    /// The window layer's repaint hook: called after every change of a property of this control.
    void setObserver(Handler observer) { observer_ = std::move(observer); }

  protected:
    Control() = default;
    void notify() {
        if (observer_) observer_();
    }
    static void run(const Handler& handler) {
        if (handler) handler();
    }

  private:
    std::string name_;
    bool visible_ = true;
    Handler observer_;
};

/// A one-line text field.
class Edit final : public Control {
  public:
    Edit() = default;
    ControlKind kind() const override { return ControlKind::Edit; }

    const std::string& Text() const { return text_; }
    /// Sets the text from code, never cut to MaxLength. Runs OnChange when the text differs.
    void SetText(std::string_view text);

    /// Most characters the user can type; 0 means no limit.
    std::size_t MaxLength() const { return max_length_; }
    void SetMaxLength(std::size_t max_length);
    bool ReadOnly() const { return read_only_; }
    void SetReadOnly(bool read_only);
    /// Background colour.
    hx350::Color color() const { return color_; }
    void SetColor(hx350::Color color);

    void setOnChange(Handler handler) { on_change_ = std::move(handler); }

    /// The user types or pastes `text` as the whole new content: cut to MaxLength (when set), then as
    /// SetText. Refused (returns false, nothing changes) when the edit is hidden or read-only.
    bool userSetText(std::string_view text);

  private:
    std::string text_;
    std::size_t max_length_ = 0;
    bool read_only_ = false;
    hx350::Color color_ = colors::kWhite;
    Handler on_change_;
};

/// A check box with a caption.
class CheckBox final : public Control {
  public:
    CheckBox() = default;
    ControlKind kind() const override { return ControlKind::CheckBox; }

    bool Checked() const { return checked_; }
    /// Sets the state from code. Runs OnClick when the state differs, as a click would.
    void SetChecked(bool checked);
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

    void setOnClick(Handler handler) { on_click_ = std::move(handler); }

    /// A user click: toggles the state and runs OnClick. Returns false (nothing happens) when hidden.
    bool userClick();
    /// The user (or an assistive tool) sets the state: a click when it differs. False when hidden.
    bool userSetChecked(bool checked);

  private:
    bool checked_ = false;
    std::string caption_;
    Handler on_click_;
};

/// A group of radio buttons with a caption; ItemIndex -1 means no item selected.
class RadioGroup final : public Control {
  public:
    RadioGroup() = default;
    ControlKind kind() const override { return ControlKind::RadioGroup; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    const std::vector<std::string>& Items() const { return items_; }
    /// Replaces the items; the selection is clamped to the new list without running OnClick.
    void SetItems(std::vector<std::string> items);

    int ItemIndex() const { return item_index_; }
    /// Selects item `index` from code: below -1 becomes -1, above the last item becomes the last (-1 for
    /// an empty list). Runs OnClick when the clamped index differs from the current one.
    void SetItemIndex(int index);

    void setOnClick(Handler handler) { on_click_ = std::move(handler); }

    /// A user selects item `index` (clamped as SetItemIndex); OnClick runs when it differs. False when
    /// hidden.
    bool userSetItemIndex(int index);

    /// Runs when the user clicks the item that is already selected (OnClick does not run then).
    void setOnReselect(Handler handler) { on_reselect_ = std::move(handler); }
    /// The user clicks the selected item again: runs OnReselect. False when hidden or nothing is selected.
    bool userReselect();

  private:
    int clamp(int index) const;
    std::string caption_;
    std::vector<std::string> items_;
    int item_index_ = -1;
    Handler on_click_;
    Handler on_reselect_;
};

/// The range and position shared by scroll bars and track bars.
class RangeControl : public Control {
  public:
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    /// Sets the range (min <= max, else std::invalid_argument) and clamps the position into it; a
    /// position moved by the new range is a change like SetPosition.
    void SetRange(int min, int max);

    void setOnChange(Handler handler) { on_change_ = std::move(handler); }

    /// A user (mouse, keyboard or assistive tool) moves the control to `position`, clamped to the range.
    /// OnChange runs when the position differs. False when hidden.
    bool userSetPosition(int position);

  protected:
    RangeControl() = default;
    /// Clamps and stores; returns whether the position changed.
    bool store(int position);
    void changed(bool run_handler);
    int clamp(int position) const { return position < min_ ? min_ : (position > max_ ? max_ : position); }
    virtual bool codeRunsHandler() const = 0;

  private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    Handler on_change_;
};

/// A scroll bar: setting the position from code runs OnChange when the clamped position differs.
class ScrollBar final : public RangeControl {
  public:
    ScrollBar() = default;
    ControlKind kind() const override { return ControlKind::ScrollBar; }
    /// Sets the position from code, clamped to Min..Max; OnChange runs when it differs.
    void SetPosition(int position);

  private:
    bool codeRunsHandler() const override { return true; }
};

/// A track bar (slider): setting the position from code never runs OnChange.
class TrackBar final : public RangeControl {
  public:
    TrackBar() = default;
    ControlKind kind() const override { return ControlKind::TrackBar; }
    /// Sets the position from code, clamped to Min..Max; runs no handler.
    void SetPosition(int position);

  private:
    bool codeRunsHandler() const override { return false; }
};

/// A push button.
class Button final : public Control {
  public:
    Button() = default;
    ControlKind kind() const override { return ControlKind::Button; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    void setOnClick(Handler handler) { on_click_ = std::move(handler); }
    /// A user press: runs OnClick. False (nothing runs) when hidden.
    bool userClick();

  private:
    std::string caption_;
    Handler on_click_;
};

/// A static text.
class Label final : public Control {
  public:
    Label() = default;
    ControlKind kind() const override { return ControlKind::Label; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

  private:
    std::string caption_;
};

/// A named container; hiding it hides everything placed on it.
class Panel final : public Control {
  public:
    Panel() = default;
    ControlKind kind() const override { return ControlKind::Panel; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

  private:
    std::string caption_;
};

/// A list of texts with one selection (ItemIndex -1 = none) and a background colour; no events.
class ListBox final : public Control {
  public:
    ListBox() = default;
    ControlKind kind() const override { return ControlKind::ListBox; }
    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items);
    int ItemIndex() const { return item_index_; }
    /// Selects an item, clamped like a radio group's index.
    void SetItemIndex(int index);
    hx350::Color color() const { return color_; }
    void SetColor(hx350::Color color);

  private:
    std::vector<std::string> items_;
    int item_index_ = -1;
    hx350::Color color_ = colors::kWhite;
};

/// The tab control: one page per caption, one of them active.
class PageControl final : public Control {
  public:
    PageControl() = default;
    ControlKind kind() const override { return ControlKind::PageControl; }
    /// The page captions, in tab order.
    const std::vector<std::string>& Pages() const { return pages_; }
    void SetPages(std::vector<std::string> pages);
    int PageCount() const { return static_cast<int>(pages_.size()); }

    int ActivePageIndex() const { return active_; }
    /// Shows page `index` from code; runs no handler. An index outside the pages changes nothing and
    /// returns false.
    bool SetActivePageIndex(int index);

    void setOnChange(Handler handler) { on_change_ = std::move(handler); }
    /// The user selects page `index`: OnChange runs when it is another page. False for an index outside
    /// the pages.
    bool userSelectPage(int index);

  private:
    std::vector<std::string> pages_;
    int active_ = 0;
    Handler on_change_;
};

/// The status bar at the bottom of the window: one line of text.
class StatusBar final : public Control {
  public:
    StatusBar() = default;
    ControlKind kind() const override { return ControlKind::StatusBar; }
    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    /// A second line beside the text for what the window tells about its work (the SMS exchange, another
    /// window on the same folder); "" shows nothing. Setting the same words again notifies again, so a
    /// repeated message is noticed.
    const std::string& Message() const { return message_; }
    void SetMessage(std::string message);

  private:
    std::string text_;
    std::string message_;
};

/// One entry of the menu bar (a top-level menu or a command in it).
class MenuItem final : public Control {
  public:
    MenuItem() = default;
    ControlKind kind() const override { return ControlKind::MenuItem; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    void setOnClick(Handler handler) { on_click_ = std::move(handler); }
    /// The user chooses the command: runs OnClick. False when hidden.
    bool userClick();

  private:
    std::string caption_;
    Handler on_click_;
};

/// The menu bar: top-level menus, each with its commands, in display order.
class MainMenu final : public Control {
  public:
    struct Menu {
        MenuItem* title;
        std::vector<MenuItem*> commands;
    };
    MainMenu() = default;
    ControlKind kind() const override { return ControlKind::MainMenu; }
    const std::vector<Menu>& Menus() const { return menus_; }
    void addMenu(MenuItem& title, std::vector<MenuItem*> commands);

  private:
    std::vector<Menu> menus_;
};

/// A family of controls named by one pattern and a number, indexed like their names: `NNumber[3]` is
/// NNumber3. An index outside First..Last throws std::out_of_range.
template <class T, int First, int Last>
class Family {
    static_assert(First <= Last);

  public:
    static constexpr int kFirst = First;
    static constexpr int kLast = Last;
    static constexpr int size() { return Last - First + 1; }
    static constexpr bool contains(int n) { return n >= First && n <= Last; }

    T& operator[](int n) { return items_.at(index(n)); }
    const T& operator[](int n) const { return items_.at(index(n)); }

  private:
    static std::size_t index(int n) {
        if (!contains(n)) throw std::out_of_range("control family index " + std::to_string(n));
        return static_cast<std::size_t>(n - First);
    }
    std::vector<T> items_ = std::vector<T>(static_cast<std::size_t>(size()));
};

}  // namespace hx350
