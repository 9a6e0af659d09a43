// A cell of the window's report and log tables: shown and selectable, never edited.
#pragma once

#include <QString>
#include <QTableWidgetItem>

namespace hx350::ui {

inline QTableWidgetItem* readOnlyCell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

}  // namespace hx350::ui
