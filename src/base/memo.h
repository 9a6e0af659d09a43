// A memo: a list of text lines shown in a multi-line box, with a change notification.
//
// The lines follow a multi-line edit: a line never holds a CR LF pair, text set with line breaks in it
// becomes several lines, and a text that ends in a line break has no empty line after it. Like the edit, the
// memo remembers whether its last line is closed by a line break: a text set without a final CR LF leaves
// the last line open, Text() then gives it back without one, and a later Add() first closes that line
// (so text appended to Text() continues the open line). Both the device link (which writes received
// answers into memos) and the window (which draws them) use this type.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace hx350 {

/// An RGB colour, as the window shows it.
struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

namespace colors {
inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kLime{0, 255, 0};
inline constexpr Color kRed{255, 0, 0};
inline constexpr Color kAqua{0, 255, 255};
inline constexpr Color kCream{255, 255, 245};  ///< the light background of data-entry fields
}  // namespace colors

class Memo {
  public:
    using ChangeHandler = std::function<void()>;

    Memo() = default;
    explicit Memo(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }

    /// The lines. Count() is their number.
    const std::vector<std::string>& Lines() const { return lines_; }
    std::size_t Count() const { return lines_.size(); }

    /// The whole text: the lines, each followed by CR LF, except an open last line (see EndsOpen()).
    std::string Text() const;
    /// Replaces the whole text. CR LF separates lines; a final CR LF does not start another line
    /// ("\r\n" is one empty line, "" is no line at all). A non-empty text without a final CR LF leaves
    /// the last line open.
    void SetText(std::string_view text);
    /// Replaces line `index` by `text` (which may itself hold CR LF pairs and so become several lines).
    /// The line keeps its closing line break, if it had one. An index the memo does not have changes
    /// nothing and returns false.
    bool SetLine(std::size_t index, std::string_view text);
    /// Appends `text` as a new last line (split at CR LF like SetLine), closed by a line break. On a memo
    /// whose last line is open, the line break goes before `text` instead (closing the open line), and
    /// `text` becomes the new open last line unless it is empty.
    void Add(std::string_view text);
    /// Whether the last line has no closing line break (false for an empty memo).
    bool EndsOpen() const { return open_; }
    void Clear() { SetText({}); }

    /// Background colour.
    Color color() const { return color_; }
    void SetColor(Color color) {
        if (color == color_) return;
        color_ = color;
        changed();
    }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    /// Called after every change of the lines or of the visibility.
    void setOnChange(ChangeHandler handler) { on_change_ = std::move(handler); }

  private:
    void changed() {
        if (on_change_) on_change_();
    }
    static std::vector<std::string> split(std::string_view text);

    std::string name_;
    std::vector<std::string> lines_;
    bool open_ = false;  // the last line has no closing CR LF
    Color color_ = colors::kWhite;
    bool visible_ = true;
    ChangeHandler on_change_;
};

}  // namespace hx350
