// DisplayUnit: the small helpers through which the device link writes into the window's memos.
//
// All helpers append to one "current line" that is shared by every memo (the caller keeps it and passes it
// in), so a text that one memo receives character by character continues on the line another memo last
// advanced to. Lines are addressed as an edit control does: the lines of the memo, plus the empty line that
// follows a final line break (an empty memo has its line 0). Writing to any other line does nothing.
// Line numbers count every line the memo's text has had since it was last set, so after a bounded memo
// dropped its oldest lines the current line still names the same line; a dropped line takes nothing.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/memo.h"

namespace hx350 {

/// MemoPutChar: writes one character to the current line of `memo`.
///
/// Parameters:
///   memo         - the memo written to.
///   ch           - the character. CR (0x0D) is ignored. LF (0x0A) closes the last line with a line
///                  break and advances `current_line` by one. Any other character below 0x20 or above 0x7E
///                  is written as a space.
///   current_line - the shared current line (0-based), read and, for LF, advanced.
/// Errors: none; a current line the memo does not have takes nothing.
void MemoPutChar(Memo& memo, char ch, std::size_t& current_line);

/// MemoPutText: appends `text` to the current line, every character below 0x20 or above 0x7E written as a
/// space (so line breaks inside `text` never split the line). Does not move the current line.
void MemoPutText(Memo& memo, std::string_view text, std::size_t current_line);

/// MemoPutLine: MemoPutText, then MemoPutChar with LF (the current line advances by one).
void MemoPutLine(Memo& memo, std::string_view text, std::size_t& current_line);

/// MemoSetFirstLine: sets the current line to the memo's first line (0, or the number of the oldest line
/// kept by a memo that dropped lines) and replaces that line by CR LF, `text`, CR LF,
/// so the memo shows an empty line, the text (itself split at any CR LF it holds) and an empty line.
void MemoSetFirstLine(Memo& memo, std::string_view text, std::size_t& current_line);

/// Whether `ch` is shown as itself by the helpers above (0x20 to 0x7E).
constexpr bool isShownCharacter(char ch) {
    const auto code = static_cast<unsigned char>(ch);
    return code >= 0x20 && code <= 0x7E;
}

}  // namespace hx350
