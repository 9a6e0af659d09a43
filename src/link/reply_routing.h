// Routing of the module's direct-mode answers into the edits of the page that is shown.
//
// A module answer carries no command code: a read on "Abonents" answers "3: +4912345" CR LF, a read on
// "External SMS" answers "05: text" CR LF, and so on. Which edit it fills is decided by the page shown when
// the answer is handled and by the number or keyword in front of the colon. The rules below follow the
// module's answer forms exactly; no value keeps a character of the line end (the texts of pages 2 to 4
// drop CR LF, or the two blanks "Skip CR/LF" made of it; the values of page 10 drop two characters).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hx350 {

/// Page indexes of the main window's page control that receive answers (0 is "Main").
namespace pages {
inline constexpr int kAbonents = 1;
inline constexpr int kExternalSms = 2;
inline constexpr int kIntExtSms = 3;
inline constexpr int kIoName = 4;
inline constexpr int kGprsFtp = 10;
}  // namespace pages

/// Whether answers that arrive while the page `page_index` is shown are put into its edits.
bool routesAnswersOf(int page_index);

/// One edit to set: its name in the window ("NNumber3", "TXTSMS5", "APN") and its new text.
struct EditAssignment {
    std::string edit;
    std::string value;
    friend bool operator==(const EditAssignment&, const EditAssignment&) = default;
};

/// Decides which edits one answer fills.
///
/// Parameters:
///   page_index - the index of the page shown (pages::kAbonents ...); other pages route nothing.
///   text       - the last received text: the batch without NUL characters, every character below 0x20
///                turned into a space when "Skip CR/LF" is checked.
/// Result: the edits to set, in the order the rules set them; an edit set twice appears once, with its
///   last value. Empty when the answer matches no rule of the page.
/// Errors: none; any text is accepted.
std::vector<EditAssignment> routeReply(int page_index, std::string_view text);

}  // namespace hx350
