// Page "IOname": the names of the digital inputs' and outputs' states.
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/latin1.h"
#include "ui/page_kit.h"

namespace hx350::ui {

namespace {

/// A group of state names: per row a label, the first state's edit and button, the second state's.
QGroupBox* names(PageKit& kit, std::string_view group, int first_slot, int second_slot, int rows,
                 const QString& row_prefix) {
    QGroupBox* box = kit.box(group);
    QGridLayout* g = PageKit::grid(box);
    g->addWidget(PageKit::text(kit.groupText(group, 0)), 0, 1, 1, 2);
    g->addWidget(PageKit::text(kit.groupText(group, 1)), 0, 3, 1, 2);
    for (int i = 0; i < rows; ++i) {
        const std::string a = std::to_string(first_slot + i);
        const std::string b = std::to_string(second_slot + i);
        if (kit.w("iTXTSMS" + a) == nullptr) {
            kit.w("TXTSMSb" + a);
            kit.w("TXTSMSb" + b);
            kit.w("iTXTSMS" + b);
            continue;
        }
        g->addWidget(PageKit::text(row_prefix + QString::number(i + 1)), 1 + i, 0);
        kit.put(g, "iTXTSMS" + a, 1 + i, 1);
        kit.put(g, "TXTSMSb" + a, 1 + i, 2);
        kit.put(g, "iTXTSMS" + b, 1 + i, 3);
        kit.put(g, "TXTSMSb" + b, 1 + i, 4);
    }
    g->setRowStretch(rows + 1, 1);
    return box;
}

}  // namespace

QWidget* buildIONamePage(PageKit& kit) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    row->addWidget(names(kit, "inputs", 55, 62, 7, QStringLiteral("Input ")));
    row->addWidget(names(kit, "outputs", 69, 74, 5, QStringLiteral("Output ")));
    layout->addLayout(row);
    if (QWidget* read = kit.w("nGetText")) layout->addWidget(read);
    layout->addStretch(1);
    return kit.finish(page);
}

}  // namespace hx350::ui
