// Page "RunTime": the eight modes of the two counters and the counter SMS format.
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/page_kit.h"

namespace hx350::ui {

QWidget* buildRunTimePage(PageKit& kit) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QGroupBox* top = kit.box("page");
    QGridLayout* t = PageKit::grid(top);
    t->addWidget(PageKit::text(kit.groupText("page", 0)), 0, 0);
    kit.put(t, "Button26", 0, 1);
    kit.put(t, "Button27", 0, 2);
    t->setColumnStretch(3, 1);
    layout->addWidget(top);

    // One panel per mode, two per line: the two counters' meaning and the "Write" button.
    auto* modes = new QGridLayout;
    int index = 0;
    for (const GroupInfo& g : kit.form().registry().groups()) {
        if (g.page != kit.page() || g.panel.empty()) continue;
        QGroupBox* box = kit.box(g.id);
        QGridLayout* b = PageKit::grid(box);
        for (std::size_t i = 0; i < g.texts.size(); ++i)
            b->addWidget(PageKit::text(kit.groupText(g.id, i)), static_cast<int>(i), 0);
        for (const ControlEntry& e : kit.form().registry().entries())
            if (e.page == kit.page() && e.group == g.id && e.kind == ControlKind::Button)
                kit.put(b, e.name, 0, 1, 2, 1, Qt::AlignVCenter);
        b->setColumnStretch(0, 1);
        modes->addWidget(box, index / 2, index % 2);
        ++index;
    }
    layout->addLayout(modes);
    layout->addStretch(1);
    return kit.finish(page);
}

}  // namespace hx350::ui
