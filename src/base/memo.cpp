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

std::string Memo::Text() const {
    std::string text;
    for (const auto& line : lines_) {
        text += line;
        text += "\r\n";
    }
    if (open_) text.resize(text.size() - 2);
    return text;
}

void Memo::SetText(std::string_view text) {
    lines_ = split(text);
    open_ = !text.empty() && !endsWithLineBreak(text);
    changed();
}

bool Memo::SetLine(std::size_t index, std::string_view text) {
    if (index >= lines_.size()) return false;
    if (open_ && index + 1 == lines_.size()) {
        // The open last line has no line break of its own to keep: the text takes its place as it is.
        std::string whole;
        for (std::size_t i = 0; i < index; ++i) {
            whole += lines_[i];
            whole += "\r\n";
        }
        whole += text;
        SetText(whole);
        return true;
    }
    std::vector<std::string> parts = split(text);
    if (parts.empty()) parts.emplace_back();
    // A text ending in CR LF leaves an empty line behind it inside the memo, as the edit control would.
    if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") parts.emplace_back();
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), parts.begin(), parts.end());
    changed();
    return true;
}

void Memo::Add(std::string_view text) {
    if (open_) {
        std::string whole = Text();
        whole += "\r\n";
        whole += text;
        SetText(whole);
        return;
    }
    std::vector<std::string> parts = split(text);
    if (parts.empty()) parts.emplace_back();
    lines_.insert(lines_.end(), parts.begin(), parts.end());
    changed();
}

void Memo::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    changed();
}

}  // namespace hx350
