// The grid of the 54 event texts, shared by the pages "External SMS" and "Int/Ext SMS".
#include <QFont>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <map>

#include "ui/latin1.h"
#include "ui/page_kit.h"

namespace hx350::ui {

namespace {

constexpr int kSlots = 54;
constexpr int kStates = 5;
constexpr int kSourceRows = 8;  // hint rows 0..7: the threshold sources; 8.. the digital inputs

QLabel* heading(const QString& text) {
    auto* label = PageKit::text(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

}  // namespace

QWidget* buildEventTextGrid(PageKit& kit, std::string_view edit_prefix, std::string_view button_prefix,
                            std::string_view read_box) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QGroupBox* box = kit.box("texts");
    QGridLayout* g = PageKit::grid(box);

    // Grid columns: 0 the row label, then per state an edit (1 + 2c) and its button (2 + 2c). Hint
    // columns of the registry count edit and button as 2c and 2c + 1.
    for (int c = 0; c < kStates; ++c)
        g->addWidget(heading(kit.groupText("texts", static_cast<std::size_t>(c))), 0, 1 + 2 * c, 1, 2);

    // Grid rows by the registry's hint rows: the sources first, then a heading, then the digital inputs,
    // whose two events share a row.
    std::map<int, int> grid_rows;
    int next_row = 1;
    for (int slot = 1; slot <= kSlots; ++slot) {
        const std::string edit = std::string(edit_prefix) + std::to_string(slot);
        const std::string button = std::string(button_prefix) + std::to_string(slot);
        const ControlEntry* entry = kit.form().find(edit);
        if (entry == nullptr || kit.w(edit) == nullptr) {
            kit.w(button);  // hidden together with its edit
            continue;
        }
        auto [it, fresh] = grid_rows.try_emplace(entry->row, next_row);
        if (fresh) {
            if (entry->row == kSourceRows) {
                // "Event 0-1" and "Event 1-0" over the first two state columns.
                g->addWidget(heading(kit.groupText("texts", 5)), next_row, 1, 1, 2);
                g->addWidget(heading(kit.groupText("texts", 6)), next_row, 3, 1, 2);
                it->second = ++next_row;
            }
            ++next_row;
            // The row's name: the label up to its state ("Temp.Inp.1 < MINIMUM2" -> "Temp.Inp.1").
            const std::string& label = entry->label;
            const std::size_t cut = entry->row < kSourceRows ? label.find(" <") : label.find(" Event");
            g->addWidget(
                PageKit::text(fromCore(label.substr(0, cut == std::string::npos ? label.size() : cut))),
                it->second, 0);
        }
        const int state = entry->column / 2;
        kit.put(g, edit, it->second, 1 + 2 * state);
        kit.put(g, button, it->second, 2 + 2 * state);
    }
    for (int c = 0; c < kStates; ++c)
        g->setColumnStretch(1 + 2 * c, 1);
    layout->addWidget(box);

    auto* bottom = new QHBoxLayout;
    if (QWidget* read = kit.w(read_box)) bottom->addWidget(read, 0, Qt::AlignTop);
    bottom->addSpacing(24);
    auto* help = new QVBoxLayout;
    help->setSpacing(1);
    const GroupInfo& group = kit.group("texts");
    for (std::size_t i = 7; i < group.texts.size(); ++i)
        help->addWidget(PageKit::text(fromCore(group.texts[i])));
    bottom->addLayout(help);
    bottom->addStretch(1);
    layout->addLayout(bottom);
    layout->addStretch(1);
    return page;
}

}  // namespace hx350::ui
