#include "ui/page_kit.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>
#include <stdexcept>

#include "ui/latin1.h"

namespace hx350::ui {

namespace {

void compact(QGridLayout* grid) {
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
}

// Edits with a short limit get a width for that many characters; buttons with a short caption ("WR",
// "OK", "ON", "OFF") stay narrow, so the grids of the text pages fit beside each other.
void sizeWidget(QWidget* widget, const ControlEntry& entry) {
    const QFontMetrics metrics(widget->font());
    if (entry.kind == ControlKind::Edit) {
        const auto* edit = std::get<Edit*>(entry.ref);
        const auto limit = static_cast<int>(edit->MaxLength());
        if (limit > 0 && limit <= 6)
            widget->setFixedWidth(metrics.horizontalAdvance(QLatin1Char('W')) * limit + 14);
    } else if (entry.kind == ControlKind::Button) {
        const auto* button = std::get<Button*>(entry.ref);
        if (button->Caption().size() <= 3)
            widget->setFixedWidth(std::max(34, metrics.horizontalAdvance(fromCore(button->Caption())) + 16));
    }
}

}  // namespace

PageKit::PageKit(ControlBinder& binder, const TForm1& form, int page)
    : binder_(binder), form_(form), page_(page) {}

QWidget* PageKit::w(std::string_view name) {
    const ControlEntry* entry = form_.find(name);
    if (entry == nullptr) {
        qWarning("page layout: no control named %.*s", static_cast<int>(name.size()), name.data());
        return nullptr;
    }
    used_.insert(entry->name);
    const bool fresh = binder_.find(name) == nullptr;
    QWidget* widget = binder_.widgetFor(*entry);
    if (widget != nullptr && fresh) sizeWidget(widget, *entry);
    return widget;
}

QWidget* PageKit::w(std::string_view prefix, int n) {
    return w(std::string(prefix) + std::to_string(n));
}

const GroupInfo& PageKit::group(std::string_view id) const {
    for (const GroupInfo& g : form_.registry().groups())
        if (g.page == page_ && g.id == id) return g;
    throw std::logic_error("no group " + std::string(id) + " on page " + std::to_string(page_));
}

QString PageKit::groupText(std::string_view id, std::size_t index) const {
    const GroupInfo& g = group(id);
    return index < g.texts.size() ? fromCore(g.texts[index]) : QString();
}

QGroupBox* PageKit::box(std::string_view id) {
    const GroupInfo& g = group(id);
    QGroupBox* box = nullptr;
    if (!g.panel.empty()) box = qobject_cast<QGroupBox*>(w(g.panel));
    if (box == nullptr) {
        box = new QGroupBox(fromCore(g.caption));
        box->setObjectName(QStringLiteral("group_") + fromCore(g.id));
        box->setAccessibleName(fromCore(g.caption.empty() ? g.id : g.caption));
    }
    if (box->layout() == nullptr) compact(new QGridLayout(box));
    return box;
}

QGridLayout* PageKit::grid(QWidget* box) {
    auto* layout = qobject_cast<QGridLayout*>(box->layout());
    if (layout == nullptr) {
        layout = new QGridLayout(box);
        compact(layout);
    }
    return layout;
}

QLabel* PageKit::text(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* PageKit::labelOf(std::string_view name) {
    QWidget* widget = w(name);
    if (widget == nullptr) return nullptr;
    auto* label = new QLabel(fromCore(form_.find(name)->label));
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(widget);
    return label;
}

void PageKit::put(QGridLayout* grid, std::string_view name, int row, int column, int row_span,
                  int column_span, Qt::Alignment alignment) {
    if (QWidget* widget = w(name)) grid->addWidget(widget, row, column, row_span, column_span, alignment);
}

void PageKit::labelled(QGridLayout* grid, std::string_view name, int row, int column, int column_span) {
    if (QLabel* label = labelOf(name)) grid->addWidget(label, row, column);
    put(grid, name, row, column + 1, 1, column_span);
}

QWidget* PageKit::finish(QWidget* page) {
    // Anything visible on this page that the layout did not place still gets its widget, in a box at the
    // bottom, so a control added to the form is never silently missing from the window.
    QGroupBox* extra = nullptr;
    int row = 0;
    for (const ControlEntry& entry : form_.registry().entries()) {
        if (entry.page != page_ || used_.count(entry.name) != 0 || !controlVisible(entry.ref)) continue;
        if (entry.kind == ControlKind::Panel) continue;
        qWarning("page layout: %s was not placed on page %d", entry.name.c_str(), page_);
        if (extra == nullptr) {
            extra = new QGroupBox;
            extra->setObjectName(QStringLiteral("group_more"));
            compact(new QGridLayout(extra));
        }
        labelled(grid(extra), entry.name, row++, 0);
    }
    if (extra != nullptr) {
        auto* layout = qobject_cast<QBoxLayout*>(page->layout());
        if (layout != nullptr)
            layout->addWidget(extra);
        else
            extra->setParent(page);
    }
    return page;
}

}  // namespace hx350::ui
