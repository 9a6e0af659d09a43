// A memo: a list of text lines shown in a multi-line box, with a change notification.
//
// The lines follow a multi-line edit: a line never holds a CR LF pair, text set with line breaks in it
// becomes several lines, and a text that ends in a line break has no empty line after it. Like the edit, the
// memo remembers whether its last line is closed by a line break: a text set without a final CR LF leaves
// the last line open, Text() then gives it back without one, and a later Add() first closes that line
// (so text appended to Text() continues the open line). Both the device link (which writes received
// answers into memos) and the window (which draws them) use this type.
//
// A memo keeps its last kMaxLines lines: a peer that never pauses would otherwise grow it without end, and
// every change costs time in proportion to what changed, never to what the memo holds. The lines dropped
// from the front are counted (FirstLineNumber()), so a line number taken before a drop still names the
// same line afterwards, and an observer learns from LastChange() which part of the lines to redraw.
#pragma once

#include <cstdint>
#include <deque>
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

    /// The most lines a memo keeps; the oldest go first.
    static constexpr std::size_t kMaxLines = 5000;

    /// What the latest change of the lines did: lines [0, first_changed) of the lines before it are
    /// untouched, everything from there on may differ, and after that the first `dropped` lines were
    /// removed to keep the bound. A whole new text has first_changed 0.
    struct Change {
        std::size_t first_changed = 0;
        std::size_t dropped = 0;
    };

    Memo() = default;
    explicit Memo(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }

    /// A copy of the lines. Count() is their number, Line() one of them (an index the memo does not have
    /// gives "").
    std::vector<std::string> Lines() const { return {lines_.begin(), lines_.end()}; }
    std::size_t Count() const { return lines_.size(); }
    const std::string& Line(std::size_t index) const;

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
    /// Appends `text` to the whole text: the same lines as SetText(Text() + text), so `text` continues an
    /// open last line (a CR closing it and an LF opening `text` make one line break) and its own CR LF
    /// pairs start new lines. Costs time in proportion to `text`.
    void Append(std::string_view text);
    /// Whether the last line has no closing line break (false for an empty memo).
    bool EndsOpen() const { return open_; }
    void Clear() { SetText({}); }

    /// How many lines were dropped from the front since the text was last set: line n of the text as it
    /// grew is Line(n - FirstLineNumber()) while it is kept.
    std::size_t FirstLineNumber() const { return first_line_number_; }
    /// Counts the changes of the lines (not of colour or visibility).
    std::uint64_t Revision() const { return revision_; }
    const Change& LastChange() const { return last_change_; }

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
    // Records a change of the lines from line `first_changed` on, drops the oldest lines beyond the
    // bound, and notifies.
    void linesChanged(std::size_t first_changed);

    std::string name_;
    std::deque<std::string> lines_;
    bool open_ = false;  // the last line has no closing CR LF
    std::size_t first_line_number_ = 0;
    std::uint64_t revision_ = 0;
    Change last_change_;
    Color color_ = colors::kWhite;
    bool visible_ = true;
    ChangeHandler on_change_;
};

}  // namespace hx350
