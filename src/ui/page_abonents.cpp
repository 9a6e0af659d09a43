// Page "Abonents": the alarm and phone-book numbers, and the number mask grid.
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "base/text.h"
#include "params/fields.h"
#include "ui/latin1.h"
#include "ui/page_kit.h"

namespace hx350::ui {

namespace {

/// The source a mask line belongs to: the label of its "Disable" box up to the comma.
QString sourceOf(const PageKit& kit, const std::string& disable_box) {
    const std::string& label = kit.form().find(disable_box)->label;
    return fromCore(std::string_view(label).substr(0, label.find(',')));
}

}  // namespace

QWidget* buildAbonentsPage(PageKit& kit) {
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);

    auto* left = new QVBoxLayout;
    QGroupBox* numbers = kit.box("Numbers");
    QGridLayout* g = PageKit::grid(numbers);
    // Two blocks side by side: the alarm numbers kept in the module, the phone book of its SIM.
    const struct Block {
        const char* edits;
        const char* radio;
        int column;
        std::size_t heading;
    } blocks[2] = {{"NNumber", "RadioGroupNR", 0, 0}, {"PBnr", "RadioGroupPB", 3, 2}};
    for (const Block& block : blocks) {
        g->addWidget(PageKit::text(kit.groupText("Numbers", block.heading)), 0, block.column, 1, 3);
        g->addWidget(PageKit::text(kit.groupText("Numbers", block.heading + 1)), 1, block.column, 1, 3);
        for (int n = 1; n <= 7; ++n)
            kit.labelled(g, block.edits + decimal(n), 1 + n, block.column);
        kit.put(g, block.radio, 2, block.column + 2, 7, 1, Qt::AlignTop);
    }
    g->setColumnMinimumWidth(2, 50);
    g->setColumnMinimumWidth(5, 50);
    auto* buttons = new QGridLayout;
    kit.put(buttons, "GetNr", 0, 0);
    kit.put(buttons, "SetNr", 0, 1);
    kit.put(buttons, "ClrNr", 0, 2);
    kit.put(buttons, "ToPhoneBook", 0, 3);
    kit.put(buttons, "ReadPB", 0, 4);
    g->addLayout(buttons, 9, 0, 1, 6);
    left->addWidget(numbers);

    // The help texts of the mask group belong to the whole page; they sit under the numbers.
    const GroupInfo& mask_group = kit.group("NumberMask");
    auto* help = new QGroupBox;
    help->setObjectName(QStringLiteral("group_MaskHelp"));
    auto* help_layout = new QVBoxLayout(help);
    help_layout->setSpacing(1);
    for (std::size_t i = 8; i < mask_group.texts.size(); ++i)
        help_layout->addWidget(PageKit::text(fromCore(mask_group.texts[i])));
    left->addWidget(help);
    left->addStretch(1);
    columns->addLayout(left, 3);

    // The mask grid: a line per source, the "Disable" box, then subscribers 4, 3, 2, 1.
    QGroupBox* mask = kit.box("NumberMask");
    QGridLayout* m = PageKit::grid(mask);
    m->setVerticalSpacing(0);
    int row = 0;
    m->addWidget(PageKit::text(kit.groupText("NumberMask", 3)), row, 1);  // "Disable"
    for (int c = 0; c < 4; ++c)
        m->addWidget(PageKit::text(kit.groupText("NumberMask", 4 + static_cast<std::size_t>(c))), row, 2 + c,
                     Qt::AlignHCenter);
    ++row;
    const auto section = [&](std::size_t heading, const char* filter) {
        auto* title = PageKit::text(kit.groupText("NumberMask", heading));
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        m->addWidget(title, row, 0);
        kit.put(m, filter, row, 1, 1, 5, Qt::AlignLeft);
        ++row;
    };
    const auto line = [&](const std::string& disable, const std::string& prefix, const std::string& suffix) {
        if (kit.w(disable) == nullptr) return;  // a hidden source: no line at all
        m->addWidget(PageKit::text(sourceOf(kit, disable)), row, 0);
        kit.put(m, disable, row, 1, 1, 1, Qt::AlignHCenter);
        for (int k = 4; k >= 1; --k)
            kit.put(m, prefix + decimal(k) + suffix, row, 6 - k, 1, 1, Qt::AlignHCenter);
        ++row;
    };
    section(2, "DNrFilter");
    for (int j = 1; j <= 7; ++j)
        line("CheckBoxD" + params::twoDigits(j) + "dis", "CheckBoxD", params::twoDigits(j));
    section(0, "TNrFilter");
    for (int j = 1; j <= 4; ++j)
        line("CheckBoxT" + decimal(j) + "dis", "CheckBoxT", decimal(j));
    section(1, "ANrFilter");
    for (int j = 1; j <= 4; ++j)
        line("CheckBoxA" + decimal(j) + "dis", "CheckBoxA", decimal(j));
    kit.put(m, "SetNfilter1", row, 0, 1, 6);
    columns->addWidget(mask, 2, Qt::AlignTop);
    return kit.finish(page);
}

}  // namespace hx350::ui
