// Page "Other": out-of-limit marks, option flags, timeout filters and restart enable.
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/page_kit.h"

namespace hx350::ui {

QWidget* buildOtherPage(PageKit& kit) {
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);

    QGroupBox* options = kit.box("page");
    QGridLayout* g = PageKit::grid(options);
    kit.put(g, "MinusMark", 0, 0);
    if (QLabel* label = kit.labelOf("MinusMark")) g->addWidget(label, 0, 1, 1, 2);
    kit.put(g, "PlusMark", 1, 0);
    if (QLabel* label = kit.labelOf("PlusMark")) g->addWidget(label, 1, 1, 1, 2);
    g->setRowMinimumHeight(2, 8);
    for (int n = 3; n <= 15; ++n)
        kit.put(g, "oCheckBox" + std::to_string(n), n, 0, 1, 3);
    g->setRowMinimumHeight(16, 8);
    kit.put(g, "GetOther", 17, 0, 1, 2);
    kit.put(g, "SetOther", 17, 2, Qt::AlignLeft);
    kit.labelled(g, "StringStr1", 18, 0, 2);
    g->setColumnStretch(2, 1);
    g->setRowStretch(19, 1);
    columns->addWidget(options, 3);

    auto* right = new QVBoxLayout;
    QGroupBox* filters = kit.box("filters");
    QGridLayout* f = PageKit::grid(filters);
    // Each filter: its caption over a line with the slider and its read-only edit.
    for (const ControlEntry& e : kit.form().registry().entries()) {
        if (e.page != kit.page() || e.group != "filters") continue;
        if (e.kind == ControlKind::ScrollBar) {
            if (QLabel* label = kit.labelOf(e.name)) f->addWidget(label, 2 * e.row, 0, 1, 2);
            kit.put(f, e.name, 2 * e.row + 1, 0);
        } else if (e.kind == ControlKind::Edit) {
            kit.put(f, e.name, 2 * e.row + 1, 1);
        }
    }
    kit.put(f, "Button19", 10, 0, 1, 2);
    f->setColumnStretch(0, 1);
    right->addWidget(filters);

    QGroupBox* restart = kit.box("restart");
    QGridLayout* r = PageKit::grid(restart);
    kit.put(r, "RestartEnable", 0, 0);
    kit.put(r, "Button14", 0, 1);
    r->setColumnStretch(2, 1);
    right->addWidget(restart);
    right->addStretch(1);
    columns->addLayout(right, 2);
    return kit.finish(page);
}

}  // namespace hx350::ui
