#include "base/memo.h"

namespace hx350 {

std::vector<std::string> Memo::split(std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t br = text.find("\r\n", start);
        if (br == std::string_view::npos) {
            out.emplace_back(text.substr(start));
            break;
        }
        out.emplace_back(text.substr(start, br - start));
        start = br + 2;
    }
    return out;
}

namespace {
bool endsWithLineBreak(std::string_view text) {
    return text.size() >= 2 && text.substr(text.size() - 2) == "\r\n";
}
}  // namespace

const std::string& Memo::Line(std::size_t index) const {
    static const std::string none;
    return index < lines_.size() ? lines_[index] : none;
}

std::string Memo::Text() const {
    std::string text;
    for (const auto& line : lines_) {
        text += line;
        text += "\r\n";
    }
    if (open_) text.resize(text.size() - 2);
    return text;
}

void Memo::linesChanged(std::size_t first_changed) {
    last_change_ = {first_changed, 0};
    while (lines_.size() > kMaxLines) {
        lines_.pop_front();
        ++first_line_number_;
        ++last_change_.dropped;
    }
    ++revision_;
    changed();
}

void Memo::SetText(std::string_view text) {
    const std::vector<std::string> parts = split(text);
    lines_.assign(parts.begin(), parts.end());
    open_ = !text.empty() && !endsWithLineBreak(text);
    first_line_number_ = 0;
    linesChanged(0);
}

bool Memo::SetLine(std::size_t index, std::string_view text) {
    if (index >= lines_.size()) return false;
    if (open_ && index + 1 == lines_.size()) {
        // The open last line has no line break of its own to keep: the text takes its place as it is,
        // as if the whole text were set anew with this line replaced.
        lines_.pop_back();
        const std::vector<std::string> parts = split(text);
        lines_.insert(lines_.end(), parts.begin(), parts.end());
        open_ = !text.empty() && !endsWithLineBreak(text);
        linesChanged(index);
        return true;
    }
    std::vector<std::string> parts = split(text);
    if (parts.empty()) parts.emplace_back();
    // A text ending in CR LF leaves an empty line behind it inside the memo, as the edit control would.
    if (endsWithLineBreak(text)) parts.emplace_back();
    const auto at = lines_.begin() + static_cast<std::ptrdiff_t>(index);
    if (parts.size() == 1) {
        *at = std::move(parts.front());
    } else {
        lines_.insert(lines_.erase(at), parts.begin(), parts.end());
    }
    linesChanged(index);
    return true;
}

void Memo::Append(std::string_view text) {
    if (text.empty()) return;
    const std::size_t first_changed = open_ ? lines_.size() - 1 : lines_.size();
    if (open_ && !lines_.back().empty() && lines_.back().back() == '\r' && text.front() == '\n') {
        // The open line's final CR and the text's first LF meet as one line break.
        lines_.back().pop_back();
        open_ = false;
        text.remove_prefix(1);
    }
    if (open_) {
        const std::size_t br = text.find("\r\n");
        lines_.back() += text.substr(0, br);
        text = br == std::string_view::npos ? std::string_view() : text.substr(br + 2);
        if (br != std::string_view::npos) open_ = false;
    }
    if (!text.empty()) {
        const std::vector<std::string> parts = split(text);
        lines_.insert(lines_.end(), parts.begin(), parts.end());
        open_ = !endsWithLineBreak(text);
    }
    linesChanged(first_changed);
}

void Memo::Add(std::string_view text) {
    if (open_) {
        std::string closed = "\r\n";
        closed += text;
        Append(closed);
        return;
    }
    const std::size_t first_changed = lines_.size();
    std::vector<std::string> parts = split(text);
    if (parts.empty()) parts.emplace_back();
    lines_.insert(lines_.end(), parts.begin(), parts.end());
    linesChanged(first_changed);
}

void Memo::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    changed();
}

}  // namespace hx350
