#include "link/display_unit.h"

#include <string>

namespace hx350 {

namespace {

// Replaces line `index` by `text`, treating the empty line after a final line break (or of an empty memo)
// as a line of its own. Any other line the memo does not have is left alone.
void writeLine(Memo& memo, std::size_t index, std::string_view text) {
    if (index < memo.Count()) {
        memo.SetLine(index, text);
    } else if (index == memo.Count() && !memo.EndsOpen()) {
        if (text.empty()) return;
        std::string whole = memo.Text();
        whole += text;
        memo.SetText(whole);
    }
}

std::string lineAt(const Memo& memo, std::size_t index) {
    return index < memo.Count() ? memo.Lines()[index] : std::string();
}

}  // namespace

void MemoPutChar(Memo& memo, char ch, std::size_t& current_line) {
    if (ch == '\r') return;
    if (ch == '\n') {
        memo.Add("");
        ++current_line;
        return;
    }
    if (!isShownCharacter(ch)) ch = ' ';
    if (current_line > memo.Count()) return;
    writeLine(memo, current_line, lineAt(memo, current_line) + ch);
}

void MemoPutText(Memo& memo, std::string_view text, std::size_t current_line) {
    if (current_line > memo.Count()) return;
    std::string line = lineAt(memo, current_line);
    line.reserve(line.size() + text.size());
    for (char ch : text)
        line += isShownCharacter(ch) ? ch : ' ';
    writeLine(memo, current_line, line);
}

void MemoPutLine(Memo& memo, std::string_view text, std::size_t& current_line) {
    MemoPutText(memo, text, current_line);
    MemoPutChar(memo, '\n', current_line);
}

void MemoSetFirstLine(Memo& memo, std::string_view text, std::size_t& current_line) {
    current_line = 0;
    std::string line = "\r\n";
    line += text;
    line += "\r\n";
    writeLine(memo, 0, line);
}

}  // namespace hx350
