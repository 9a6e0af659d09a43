// Fuzzes the routing of direct-mode answers into the pages: a module answers whatever its firmware
// answers, so every page's rules must take any text. Each input is routed on every page index the window
// has, and on indexes it does not have.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "link/reply_routing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (int page = -1; page <= 14; ++page) {
        const std::vector<hx350::EditAssignment> edits = hx350::routeReply(page, text);
        // An edit set twice appears once, every edit has a name, and a value never outgrows the answer.
        std::set<std::string> names;
        for (const auto& edit : edits) {
            if (edit.edit.empty() || !names.insert(edit.edit).second) std::abort();
            if (edit.value.size() > text.size()) std::abort();
        }
        // Only the pages that take answers route anything.
        const bool routes = page == hx350::pages::kAbonents || page == hx350::pages::kExternalSms ||
                            page == hx350::pages::kIntExtSms || page == hx350::pages::kIoName ||
                            page == hx350::pages::kGprsFtp;
        if (!routes && !edits.empty()) std::abort();
    }
    return 0;
}
