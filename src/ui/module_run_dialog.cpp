#include "ui/module_run_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QVBoxLayout>

#include "app/form.h"
#include "ui/latin1.h"
#include "ui/table_cell.h"

namespace hx350::ui {

namespace {

QString minutesAndSeconds(std::uint32_t ms) {
    const std::uint32_t s = (ms + 500) / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

/// Accessible name from the caption, description from the design name, as every control of the window.
template <class W>
W* named(W* widget, const QString& object_name, const QString& accessible_name) {
    widget->setObjectName(object_name);
    widget->setAccessibleName(accessible_name);
    widget->setAccessibleDescription(object_name);
    return widget;
}

}  // namespace

QString ModuleRunDialog::titleFor(ModuleRunKind kind) {
    switch (kind) {
        case ModuleRunKind::WriteAll:
            return QStringLiteral("Write All to Module");
        case ModuleRunKind::ReadAll:
            return QStringLiteral("Read All from Module");
        case ModuleRunKind::Verify:
            return QStringLiteral("Verify Module");
    }
    return {};
}

ModuleRunDialog::ModuleRunDialog(TForm1& form, ModuleRunKind kind, QWidget* parent)
    : QDialog(parent), form_(form), kind_(kind) {
    const bool write = kind == ModuleRunKind::WriteAll;
    const QString title = titleFor(kind);
    setWindowTitle(title);
    named(this, QStringLiteral("ModuleRunDialog"), title);
    const std::size_t steps = ModuleRun::plan(form, kind).size();
    QString plan = write ? QStringLiteral(
                               "Writes every setting of the pages to the module, %1 operations, one "
                               "at a time, each after the module's answer to the last.")
                   : kind == ModuleRunKind::ReadAll
                       ? QStringLiteral(
                             "Reads back into the pages every setting whose answer the pages take, %1 "
                             "operations, one at a time.")
                       : QStringLiteral(
                             "Reads every setting whose answer the pages take, %1 operations, one at a "
                             "time, and lists those that differ from the pages. The pages keep their "
                             "values.");
    plan = plan.arg(steps);
    if (form.SMSmode.Checked())
        plan += QStringLiteral(
                    " In SMS mode this sends %1 SMS through the phone, each once the phone has "
                    "confirmed the last.")
                    .arg(steps);
    summary_ = named(new QLabel(plan), QStringLiteral("ModuleRunSummary"), plan);
    summary_->setWordWrap(true);
    summary_->setTextFormat(Qt::PlainText);
    timeout_ =
        named(new QSpinBox, QStringLiteral("ModuleRunTimeout"), QStringLiteral("Wait for each answer (s)"));
    timeout_->setRange(1, 60);
    timeout_->setValue(static_cast<int>(ModuleRun::kDefaultTimeoutMs / 1000));
    timeout_->setSuffix(QStringLiteral(" s"));
    timeout_->setEnabled(!form.SMSmode.Checked());  // SMS mode waits for the phone's own confirmation
    step_ = named(new QLabel, QStringLiteral("ModuleRunStep"), QString());
    step_->setTextFormat(Qt::PlainText);
    times_ = named(new QLabel, QStringLiteral("ModuleRunTimes"), QString());
    times_->setTextFormat(Qt::PlainText);
    bar_ = named(new QProgressBar, QStringLiteral("ModuleRunProgress"), QStringLiteral("Progress"));
    bar_->setRange(0, static_cast<int>(steps));
    bar_->setValue(0);
    report_ = named(new QTableWidget(0, 4), QStringLiteral("ModuleRunReport"), QStringLiteral("Report"));
    report_->setHorizontalHeaderLabels({QStringLiteral("Setting"), QStringLiteral("Command"),
                                        QStringLiteral("Answer"), QStringLiteral("Status")});
    report_->verticalHeader()->setVisible(false);
    report_->setSelectionBehavior(QAbstractItemView::SelectRows);
    report_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    report_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    start_ = named(new QPushButton(QStringLiteral("Start")), QStringLiteral("ModuleRunStart"),
                   QStringLiteral("Start"));
    cancel_ = named(new QPushButton(QStringLiteral("Cancel")), QStringLiteral("ModuleRunCancel"),
                    QStringLiteral("Cancel"));
    save_ = named(new QPushButton(QStringLiteral("Save Report...")), QStringLiteral("ModuleRunSaveReport"),
                  QStringLiteral("Save Report..."));
    save_->setEnabled(false);
    for (QPushButton* b : {start_, cancel_, save_})
        b->setAutoDefault(false);

    auto* form_layout = new QFormLayout;
    form_layout->addRow(QStringLiteral("Wait for each answer"), timeout_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save_);
    buttons->addStretch(1);
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addLayout(form_layout);
    layout->addWidget(bar_);
    layout->addWidget(step_);
    layout->addWidget(times_);
    layout->addWidget(report_, 1);
    layout->addLayout(buttons);
    resize(720, 480);

    connect(start_, &QPushButton::clicked, this, [this] { startRun(); });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (run_ && run_->running()) {
            run_->cancel();
            step_->setText(QStringLiteral("Cancelling after the step under way..."));
        } else {
            close();
        }
    });
    connect(save_, &QPushButton::clicked, this, [this] { saveReportAs(); });
}

ModuleRunDialog::~ModuleRunDialog() = default;

void ModuleRunDialog::startRun() {
    if (run_) return;
    run_ = std::make_unique<ModuleRun>(form_, kind_, pace_,
                                       static_cast<std::uint32_t>(timeout_->value()) * 1000);
    run_->setOnProgress([this] { showProgress(); });
    start_->setEnabled(false);
    timeout_->setEnabled(false);
    if (!run_->start()) {
        QMessageBox::warning(this, windowTitle(), fromCore(run_->refusal()));
        return;
    }
    showProgress();
}

void ModuleRunDialog::showProgress() {
    const ModuleRun& run = *run_;
    const auto& rows = run.report();
    for (; rows_shown_ < static_cast<int>(rows.size()); ++rows_shown_) {
        const ModuleRunReportRow& row = rows[static_cast<std::size_t>(rows_shown_)];
        report_->insertRow(rows_shown_);
        report_->setItem(rows_shown_, 0, readOnlyCell(fromCore(row.label)));
        report_->setItem(rows_shown_, 1, readOnlyCell(fromCore(row.command)));
        report_->setItem(rows_shown_, 2, readOnlyCell(fromCore(row.answer)));
        report_->setItem(rows_shown_, 3, readOnlyCell(fromCore(stepStatusText(row.status))));
    }
    if (rows_shown_ > 0) report_->scrollToBottom();
    const std::size_t total = run.steps().size();
    const std::size_t done = run.stepsDone();
    bar_->setValue(static_cast<int>(done));
    const std::uint32_t spent = run.elapsedMs();
    if (run.finished()) {
        QString end = run.stopReason().empty() ? QStringLiteral("Done: %1 of %2 steps.").arg(done).arg(total)
                                               : QStringLiteral("Stopped after %1 of %2 steps: %3")
                                                     .arg(done)
                                                     .arg(total)
                                                     .arg(fromCore(run.stopReason()));
        step_->setText(end);
        times_->setText(QStringLiteral("Time: %1").arg(minutesAndSeconds(spent)));
        if (kind_ == ModuleRunKind::Verify && run.stopReason().empty()) {
            end += run.differences().empty()
                       ? QStringLiteral(" No setting read differs from the pages.")
                       : QStringLiteral(" %1 settings differ from the pages.").arg(run.differences().size());
            step_->setText(end);
        }
        cancel_->setText(QStringLiteral("Close"));
        cancel_->setAccessibleName(cancel_->text());
        save_->setEnabled(true);
        if (kind_ == ModuleRunKind::Verify && !verified_ && on_verified_) {
            verified_ = true;
            on_verified_(run);
        }
    } else {
        const std::size_t current = std::min(done + 1, total);
        const QString label = current > 0 ? fromCore(run.steps()[current - 1].label) : QString();
        step_->setText(QStringLiteral("Step %1 of %2: %3").arg(current).arg(total).arg(label));
        const std::uint32_t left =
            done > 0 ? static_cast<std::uint32_t>(static_cast<std::uint64_t>(spent) * (total - done) / done)
                     : 0;
        times_->setText(
            QStringLiteral("Time so far %1, about %2 left")
                .arg(minutesAndSeconds(spent), done > 0 ? minutesAndSeconds(left) : QStringLiteral("?")));
    }
    step_->setAccessibleName(step_->text());
    times_->setAccessibleName(times_->text());
}

bool ModuleRunDialog::saveReport(const QString& path, QString* error) const {
    QFile file(path);
    const std::string csv = run_ ? run_->reportCsv() : std::string();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size())) {
        if (error != nullptr) *error = file.errorString();
        return false;
    }
    return true;
}

void ModuleRunDialog::saveReportAs() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save Report"), QStringLiteral("report.csv"),
                                     QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty()) return;
    QString error;
    if (!saveReport(path, &error))
        QMessageBox::warning(this, QStringLiteral("Save Report"), QStringLiteral("%1: %2").arg(path, error));
}

}  // namespace hx350::ui
