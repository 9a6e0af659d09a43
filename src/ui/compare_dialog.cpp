#include "ui/compare_dialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/settings_source.h"
#include "ui/control_binder.h"
#include "ui/latin1.h"
#include "ui/main_window.h"
#include "ui/table_cell.h"

namespace hx350::ui {
namespace {

/// A value as the table shows it: flags as the check boxes say them, texts as they are.
QString shown(const PageDifference& d, const std::string& value) {
    if (d.row->layout().encoding == FieldEncoding::Bool)
        return value == "1" ? QStringLiteral("checked") : QStringLiteral("unchecked");
    return fromCore(value);
}

QMessageBox* showBox(QWidget* parent, QMessageBox::Icon icon, const QString& text, const QString& name) {
    auto* box = new QMessageBox(icon, QStringLiteral("Compare with File"), text, QMessageBox::Ok, parent);
    box->setObjectName(name);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

}  // namespace

CompareDialog::CompareDialog(MainWindow& window, const QString& title, const QString& other_column,
                             std::vector<PageDifference> differences)
    : QDialog(&window),
      window_(window),
      differences_(std::move(differences)),
      table_(new QTableWidget(this)) {
    setObjectName(QStringLiteral("CompareDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setAccessibleName(windowTitle());
    setAccessibleDescription(QStringLiteral("CompareDialog"));

    table_->setColumnCount(4);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Setting"), QStringLiteral("Page"), QStringLiteral("On the page"), other_column});
    table_->setRowCount(static_cast<int>(differences_.size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const PageDifference& d = differences_[static_cast<std::size_t>(r)];
        const QString cells[4] = {fromCore(d.label),
                                  d.page.empty() ? QStringLiteral("(no page)") : fromCore(d.page),
                                  shown(d, d.page_value), shown(d, d.file_value)};
        for (int c = 0; c < 4; ++c)
            table_->setItem(r, c, readOnlyCell(cells[c]));
    }
    table_->setObjectName(QStringLiteral("CompareTable"));
    table_->setAccessibleName(QStringLiteral("Settings that differ"));
    table_->setAccessibleDescription(QStringLiteral("CompareTable"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    connect(table_, &QTableWidget::cellActivated, this, [this](int row, int) { activate(row); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("CompareClose"));
    close->setAccessibleName(close->text().remove(QLatin1Char('&')));
    close->setAccessibleDescription(QStringLiteral("CompareClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(760, 360);
}

void CompareDialog::activate(int row) {
    if (row < 0 || row >= static_cast<int>(differences_.size())) return;
    const SettingBinding& setting = *differences_[static_cast<std::size_t>(row)].row;
    if (setting.page < 0 || setting.page >= kPageCount) return;
    window_.pages()->setCurrentIndex(setting.page);
    if (!setting.hasControl()) return;
    if (QWidget* control = window_.controlWidget(setting.control)) {
        window_.activateWindow();
        control->setFocus(Qt::OtherFocusReason);
    }
}

QWidget* compareWithFile(MainWindow& window, TForm1& form, const QString& path) {
    const SettingsSourceResult read = readSettingsSource(path.toStdString());
    if (!read.source) {
        return showBox(&window, QMessageBox::Warning, fromCore(read.error->describe()),
                       QStringLiteral("CompareError"));
    }
    std::vector<PageDifference> differences = compareWithPages(form, read.source->record);
    if (differences.empty()) {
        return showBox(&window, QMessageBox::Information,
                       QStringLiteral("No difference: the pages hold the settings of %1.")
                           .arg(QFileInfo(path).fileName()),
                       QStringLiteral("CompareNoDifference"));
    }
    const QString file = QFileInfo(path).fileName();
    auto* dialog = new CompareDialog(window, QStringLiteral("Compare with %1").arg(file),
                                     QStringLiteral("In %1").arg(file), std::move(differences));
    dialog->show();
    return dialog;
}

void addCompareWithFile(MainWindow& window, TForm1& form) {
    auto* option = qobject_cast<QMenu*>(window.controlWidget("Option1"));
    if (option == nullptr) return;
    QAction* action = option->addAction(QStringLiteral("Compare with File..."));
    action->setObjectName(QStringLiteral("CompareWithFile"));
    QObject::connect(action, &QAction::triggered, &window, [&window, &form] {
        const QString path =
            QFileDialog::getOpenFileName(&window, QStringLiteral("Compare with File"), QString(),
                                         QStringLiteral("Settings (*.cfg *.txt);;All files (*)"));
        if (!path.isEmpty()) compareWithFile(window, form, path);
    });
}

}  // namespace hx350::ui
