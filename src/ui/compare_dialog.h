// "Option > Compare with File...": the settings that differ between the pages and a settings file or
// settings text, as a table; activating a row shows the setting's page and puts the focus on its control.
// Self-contained: the window adds the menu item with addCompareWithFile() and nothing else changes.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "app/form.h"
#include "app/settings_compare.h"

class QTableWidget;

namespace hx350::ui {

class MainWindow;

/// The table of differences; non-modal, deleted when closed. `title` is the window's title,
/// `other_column` the caption of the column beside "On the page" ("In site.cfg", "In the module").
class CompareDialog : public QDialog {
  public:
    CompareDialog(MainWindow& window, const QString& title, const QString& other_column,
                  std::vector<PageDifference> differences);

    QTableWidget* table() const { return table_; }
    /// Shows the page of row `row` and focuses its control (the control of a working copy has none).
    void activate(int row);

  private:
    MainWindow& window_;
    std::vector<PageDifference> differences_;
    QTableWidget* table_;
};

/// Adds "Compare with File..." to the window's Option menu.
void addCompareWithFile(MainWindow& window, TForm1& form);

/// Compares the pages with the file at `path` and shows the result: the table, the short message "No
/// difference: the pages hold the settings of FILE." or the reason the file cannot be read (with the
/// file, line and key of a bad text). Returns the dialog or message box shown (non-modal).
QWidget* compareWithFile(MainWindow& window, TForm1& form, const QString& path);

}  // namespace hx350::ui
