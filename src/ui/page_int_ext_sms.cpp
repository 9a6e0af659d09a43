// Page "Int/Ext SMS": the short texts of the same 54 events.
#include "ui/page_kit.h"

namespace hx350::ui {

QWidget* buildIntExtSmsPage(PageKit& kit) {
    return kit.finish(buildEventTextGrid(kit, "iTXTSMS", "iTXTSMSb", "iGetText"));
}

}  // namespace hx350::ui
