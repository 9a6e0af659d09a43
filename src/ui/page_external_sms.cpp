// Page "External SMS": the 54 event texts the module sends to the alarm numbers.
#include "ui/page_kit.h"

namespace hx350::ui {

QWidget* buildExternalSmsPage(PageKit& kit) {
    return kit.finish(buildEventTextGrid(kit, "TXTSMS", "TXTSMSb", "GetText"));
}

}  // namespace hx350::ui
