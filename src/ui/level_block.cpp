// The block of four threshold sliders of one analog or temperature input.
#include <QFont>

#include "ui/latin1.h"
#include "ui/page_kit.h"

namespace hx350::ui {

QWidget* buildLevelBlock(PageKit& kit, const QString& title, const QString& scale_low,
                         const QString& scale_high, const std::vector<std::string>& bars,
                         const std::vector<std::string>& edits, const std::string& button) {
    if (kit.w(bars.front()) == nullptr) {
        for (const std::string& name : bars)
            kit.w(name);
        for (const std::string& name : edits)
            kit.w(name);
        kit.w(button);
        return nullptr;
    }
    auto* block = new QWidget;
    auto* g = new QGridLayout(block);
    g->setContentsMargins(0, 0, 0, 4);
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(1);
    auto* heading = PageKit::text(title);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    g->addWidget(heading, 0, 0);
    g->addWidget(PageKit::text(scale_low), 0, 1, Qt::AlignLeft | Qt::AlignBottom);
    g->addWidget(PageKit::text(scale_high), 0, 1, Qt::AlignRight | Qt::AlignBottom);
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const int row = 1 + static_cast<int>(i);
        // The slider's label is "<input> <level caption>"; the block's title already names the input.
        std::string caption = kit.form().find(bars[i])->label;
        const std::string prefix = title.toLatin1().toStdString() + " ";
        if (caption.rfind(prefix, 0) == 0) caption.erase(0, prefix.size());
        auto* label = PageKit::text(fromCore(caption));
        g->addWidget(label, row, 0);
        if (QWidget* bar = kit.w(bars[i])) {
            bar->setMinimumWidth(110);
            label->setBuddy(bar);
            g->addWidget(bar, row, 1);
        }
        kit.put(g, edits[i], row, 2);
    }
    kit.put(g, button, 1 + static_cast<int>(bars.size()), 2);
    g->setColumnStretch(1, 1);
    return block;
}

}  // namespace hx350::ui
