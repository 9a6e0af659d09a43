// Page "GPRS, FTP": the uplink settings and the data-logger parameters.
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/page_kit.h"

namespace hx350::ui {

namespace {

/// A group of "label, edit, WR" rows (and "label, slider, edit, WR" rows) in the order of the form.
QGroupBox* rows(PageKit& kit, std::string_view group) {
    QGroupBox* box = kit.box(group);
    QGridLayout* g = PageKit::grid(box);
    int text_rows = 0;
    for (const std::string& t : kit.group(group).texts) {
        auto* label = PageKit::text(QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size())));
        label->setWordWrap(true);
        g->addWidget(label, text_rows++, 0, 1, 4);
    }
    for (const ControlEntry& e : kit.form().registry().entries()) {
        if (e.page != kit.page() || e.group != group) continue;
        const int row = text_rows + e.row;
        switch (e.kind) {
            case ControlKind::Edit:
                if (e.column == 0) {
                    kit.labelled(g, e.name, row, 0, 2);
                } else {
                    kit.put(g, e.name, row, 2);
                }
                break;
            case ControlKind::ScrollBar:
                kit.labelled(g, e.name, row, 0);
                break;
            case ControlKind::Button:
                kit.put(g, e.name, row, 3);
                break;
            default:
                kit.put(g, e.name, row, 1);
        }
    }
    g->setColumnStretch(1, 1);
    return box;
}

}  // namespace

QWidget* buildGprsFtpPage(PageKit& kit) {
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    left->addWidget(rows(kit, "GPRS"));
    left->addWidget(rows(kit, "FTP"));
    left->addStretch(1);
    columns->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(rows(kit, "HTTP"));
    right->addWidget(rows(kit, "logger"));
    if (QWidget* read = kit.w("ReadGPRS1")) right->addWidget(read);
    right->addStretch(1);
    columns->addLayout(right, 1);
    return kit.finish(page);
}

}  // namespace hx350::ui
