// Page "Temperature": the temperature thresholds and the counter commands.
#include <QFont>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/page_kit.h"

namespace hx350::ui {

QWidget* buildTemperaturePage(PageKit& kit) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    QGroupBox* levels = kit.box("Panel4");
    QGridLayout* l = PageKit::grid(levels);
    l->setHorizontalSpacing(18);
    auto* title = PageKit::text(kit.groupText("Panel4", 0) + QLatin1Char(' ') + kit.groupText("Panel4", 1));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    l->addWidget(title, 0, 0, 1, 2);
    int placed = 0;
    for (int n = 1; n <= 4; ++n) {
        const std::string s = std::to_string(n);
        QWidget* block =
            buildLevelBlock(kit, kit.groupText("Panel4", 3 + static_cast<std::size_t>(n)),
                            kit.groupText("Panel4", 2), kit.groupText("Panel4", 3),
                            {"ScrollBarT" + s + "Max2", "ScrollBarT" + s + "Max1", "ScrollBarT" + s + "Min1",
                             "ScrollBarT" + s + "Min2"},
                            {"tMaxlv" + s + "2", "tMaxlv" + s + "1", "tMinlv" + s + "1", "tMinlv" + s + "2"},
                            "Button" + std::to_string(2 + n));
        if (block != nullptr) {
            l->addWidget(block, 1 + placed / 2, placed % 2);
            ++placed;
        }
    }
    layout->addWidget(levels);

    QGroupBox* commands = kit.box("page");
    QGridLayout* c = PageKit::grid(commands);
    kit.put(c, "bReadTemperature", 0, 0);
    kit.put(c, "Button11", 0, 1);
    c->addWidget(PageKit::text(kit.groupText("page", 0)), 0, 3);
    kit.put(c, "Button2", 0, 4);
    kit.put(c, "Button1", 0, 5);
    kit.put(c, "Button22", 0, 6);
    kit.put(c, "Button23", 0, 7);
    c->setColumnMinimumWidth(2, 20);
    c->setColumnStretch(8, 1);
    layout->addWidget(commands);

    // Unit, range, format and offsets are hidden in the window design: they get no widgets.
    for (const ControlEntry& e : kit.form().registry().entries())
        if (e.page == kit.page() && e.group == "hidden") kit.w(e.name);
    layout->addStretch(1);
    return kit.finish(page);
}

}  // namespace hx350::ui
