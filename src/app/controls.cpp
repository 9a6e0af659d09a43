#include "app/controls.h"

namespace hx350 {

std::string_view kindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit:
            return "Edit";
        case ControlKind::CheckBox:
            return "CheckBox";
        case ControlKind::RadioGroup:
            return "RadioGroup";
        case ControlKind::ScrollBar:
            return "ScrollBar";
        case ControlKind::TrackBar:
            return "TrackBar";
        case ControlKind::Button:
            return "Button";
        case ControlKind::Label:
            return "Label";
        case ControlKind::Memo:
            return "Memo";
        case ControlKind::Panel:
            return "Panel";
        case ControlKind::ListBox:
            return "ListBox";
        case ControlKind::PageControl:
            return "PageControl";
        case ControlKind::StatusBar:
            return "StatusBar";
        case ControlKind::MainMenu:
            return "MainMenu";
        case ControlKind::MenuItem:
            return "MenuItem";
    }
    return "?";
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    notify();
}

// ---- Edit

void Edit::SetText(std::string_view text) {
    if (text_ == text) return;
    text_ = std::string(text);
    notify();
    run(on_change_);
}

void Edit::SetMaxLength(std::size_t max_length) {
    if (max_length_ == max_length) return;
    max_length_ = max_length;
    notify();
}

void Edit::SetReadOnly(bool read_only) {
    if (read_only_ == read_only) return;
    read_only_ = read_only;
    notify();
}

void Edit::SetColor(hx350::Color color) {
    if (color_ == color) return;
    color_ = color;
    notify();
}

bool Edit::userSetText(std::string_view text) {
    if (!Visible() || read_only_) return false;
    if (max_length_ != 0 && text.size() > max_length_) text = text.substr(0, max_length_);
    SetText(text);
    return true;
}

// ---- CheckBox

void CheckBox::SetChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    notify();
    run(on_click_);
}

void CheckBox::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    notify();
}

bool CheckBox::userClick() {
    if (!Visible()) return false;
    SetChecked(!checked_);
    return true;
}

bool CheckBox::userSetChecked(bool checked) {
    if (!Visible()) return false;
    SetChecked(checked);
    return true;
}

// ---- RadioGroup

void RadioGroup::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    notify();
}

int RadioGroup::clamp(int index) const {
    const int last = static_cast<int>(items_.size()) - 1;
    if (index < -1) return -1;
    if (index > last) return last;
    return index;
}

void RadioGroup::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    item_index_ = clamp(item_index_);
    notify();
}

void RadioGroup::SetItemIndex(int index) {
    index = clamp(index);
    if (index == item_index_) return;
    item_index_ = index;
    notify();
    run(on_click_);
}

bool RadioGroup::userSetItemIndex(int index) {
    if (!Visible()) return false;
    SetItemIndex(index);
    return true;
}

bool RadioGroup::userReselect() {
    if (!Visible() || item_index_ < 0) return false;
    run(on_reselect_);
    return true;
}

// ---- RangeControl, ScrollBar, TrackBar

bool RangeControl::store(int position) {
    position = clamp(position);
    if (position == position_) return false;
    position_ = position;
    return true;
}

void RangeControl::changed(bool run_handler) {
    notify();
    if (run_handler) run(on_change_);
}

void RangeControl::SetRange(int min, int max) {
    if (min > max) throw std::invalid_argument("range minimum above maximum");
    if (min == min_ && max == max_) return;
    min_ = min;
    max_ = max;
    const bool moved = store(position_);
    changed(moved && codeRunsHandler());
}

bool RangeControl::userSetPosition(int position) {
    if (!Visible()) return false;
    if (store(position)) changed(true);
    return true;
}

void ScrollBar::SetPosition(int position) {
    if (store(position)) changed(true);
}

void TrackBar::SetPosition(int position) {
    if (store(position)) changed(false);
}

// ---- Button, Label, Panel

void Button::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    notify();
}

bool Button::userClick() {
    if (!Visible()) return false;
    run(on_click_);
    return true;
}

void Label::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    notify();
}

void Panel::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    notify();
}

// ---- ListBox

void ListBox::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    SetItemIndex(item_index_);
    notify();
}

void ListBox::SetItemIndex(int index) {
    const int last = static_cast<int>(items_.size()) - 1;
    index = index < -1 ? -1 : (index > last ? last : index);
    if (index == item_index_) return;
    item_index_ = index;
    notify();
}

void ListBox::SetColor(hx350::Color color) {
    if (color_ == color) return;
    color_ = color;
    notify();
}

// ---- PageControl

void PageControl::SetPages(std::vector<std::string> pages) {
    pages_ = std::move(pages);
    if (active_ >= PageCount()) active_ = 0;
    notify();
}

bool PageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= PageCount()) return false;
    if (index != active_) {
        active_ = index;
        notify();
    }
    return true;
}

bool PageControl::userSelectPage(int index) {
    if (index < 0 || index >= PageCount()) return false;
    if (index == active_) return true;
    active_ = index;
    notify();
    run(on_change_);
    return true;
}

// ---- StatusBar, menu

void StatusBar::SetText(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    notify();
}

void StatusBar::SetMessage(std::string message) {
    message_ = std::move(message);
    notify();
}

void MenuItem::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    notify();
}

bool MenuItem::userClick() {
    if (!Visible()) return false;
    run(on_click_);
    return true;
}

void MainMenu::addMenu(MenuItem& title, std::vector<MenuItem*> commands) {
    menus_.push_back({&title, std::move(commands)});
    notify();
}

}  // namespace hx350
