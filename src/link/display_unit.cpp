#include "link/display_unit.h"

#include <optional>
#include <string>

namespace hx350 {

namespace {

// The memo's index of line `number` (counted as the text grew, see Memo::FirstLineNumber()), or nothing
// when that line was dropped to keep the memo's bound.
std::optional<std::size_t> indexOf(const Memo& memo, std::size_t number) {
    if (number < memo.FirstLineNumber()) return std::nullopt;
    return number - memo.FirstLineNumber();
}

// Replaces line `index` by `text`, treating the empty line after a final line break (or of an empty memo)
// as a line of its own. Any other line the memo does not have is left alone.
void writeLine(Memo& memo, std::size_t index, std::string_view text) {
    if (index < memo.Count()) {
        memo.SetLine(index, text);
    } else if (index == memo.Count() && !memo.EndsOpen()) {
        memo.Append(text);
    }
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
    const auto index = indexOf(memo, current_line);
    if (!index || *index > memo.Count()) return;
    writeLine(memo, *index, memo.Line(*index) + ch);
}

void MemoPutText(Memo& memo, std::string_view text, std::size_t current_line) {
    const auto index = indexOf(memo, current_line);
    if (!index || *index > memo.Count()) return;
    std::string line = memo.Line(*index);
    line.reserve(line.size() + text.size());
    for (char ch : text)
        line += isShownCharacter(ch) ? ch : ' ';
    writeLine(memo, *index, line);
}

void MemoPutLine(Memo& memo, std::string_view text, std::size_t& current_line) {
    MemoPutText(memo, text, current_line);
    MemoPutChar(memo, '\n', current_line);
}

void MemoSetFirstLine(Memo& memo, std::string_view text, std::size_t& current_line) {
    // The first line of what the memo keeps (line 0 unless older lines were dropped).
    current_line = memo.FirstLineNumber();
    std::string line = "\r\n";
    line += text;
    line += "\r\n";
    writeLine(memo, 0, line);
}

}  // namespace hx350
