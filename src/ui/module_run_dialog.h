// "Option" > "Write All to Module...", "Read All from Module..." and "Verify Module...": the dialog that sets
// up a run over the whole module, shows its progress (step n of N, the setting, time so far and what is
// left, Cancel) and, at the end, its report, which "Save Report..." writes as CSV. A verification ends by
// handing its differences to `setOnVerified`'s handler (the window shows them as a compare table).
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <functional>
#include <memory>

#include "app/module_run.h"
#include "ui/qt_timer.h"

namespace hx350::ui {

class ModuleRunDialog : public QDialog {
  public:
    /// A dialog for a run of `kind` on `form`, which must outlive it. Nothing is sent before "Start".
    ModuleRunDialog(TForm1& form, ModuleRunKind kind, QWidget* parent = nullptr);
    ~ModuleRunDialog() override;

    /// Starts the run with the timeout shown (as "Start" does).
    void startRun();
    const ModuleRun* run() const { return run_.get(); }
    QTableWidget* reportTable() const { return report_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* saveReportButton() const { return save_; }

    /// Runs once when a run of Verify has finished, with that run.
    void setOnVerified(std::function<void(const ModuleRun&)> handler) { on_verified_ = std::move(handler); }

    /// The dialog's title for a run of `kind` ("Write All to Module", ...).
    static QString titleFor(ModuleRunKind kind);

    /// Writes the report as CSV to `path`; false with `error` set when the file cannot be written.
    bool saveReport(const QString& path, QString* error) const;

  private:
    void showProgress();
    void saveReportAs();

    TForm1& form_;
    ModuleRunKind kind_;
    QtTimer pace_;
    std::unique_ptr<ModuleRun> run_;
    QLabel* summary_;
    QLabel* step_;
    QLabel* times_;
    QProgressBar* bar_;
    QSpinBox* timeout_;
    QTableWidget* report_;
    QPushButton* start_;
    QPushButton* cancel_;
    QPushButton* save_;
    int rows_shown_ = 0;
    std::function<void(const ModuleRun&)> on_verified_;
    bool verified_ = false;
};

}  // namespace hx350::ui
