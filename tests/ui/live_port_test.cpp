// The whole window on a real pseudo-terminal with Qt's timers: a button press puts a framed command on the
// line, and an answer written by the far end reaches the memo widget through the driver's poll and Timer1.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <string>

#include <unistd.h>

#include "app/form.h"
#include "base/clock.h"
#include "support/pty_pair.h"
#include "ui/main_window.h"
#include "ui/module_run_dialog.h"
#include "ui/qt_timer.h"

/// The form and its window on Qt's timers and the machine's clock, Com1 on the pseudo-terminal `device`, the
/// settings file in a fresh folder; start-up has run.
struct WindowOnPty {
    explicit WindowOnPty(const std::string& device)
        : form(seams(device, dir, poll_timer, timer1, quiet_gap, clock)), window(form) {
        window.show();
        form.FormCreate();
    }
    bool ok() const { return dir.isValid(); }

    static hx350::FormSeams seams(const std::string& device, const QTemporaryDir& dir,
                                  hx350::ui::QtTimer& poll, hx350::ui::QtTimer& tick, hx350::ui::QtTimer& gap,
                                  const hx350::Clock& clock) {
        hx350::FormSeams s;
        s.port_path = [device](int number) { return number == 1 ? device : std::string(); };
        s.clock = &clock;
        s.poll_timer = &poll;
        s.timer1 = &tick;
        s.quiet_gap_timer = &gap;
        s.settings_path = dir.filePath(QStringLiteral("HX350.cfg")).toStdString();
        return s;
    }

    QTemporaryDir dir;
    hx350::ui::QtTimer poll_timer;
    hx350::ui::QtTimer timer1;
    hx350::ui::QtTimer quiet_gap;
    const hx350::SystemClock clock;
    hx350::TForm1 form;
    hx350::ui::MainWindow window;
};

class LivePortTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<hx350::test::PtyPair> pty_;
    int primary_ = -1;            ///< the module's end of pty_
    std::string secondary_name_;  ///< the tool's end

    /// Reads what the tool wrote until `wanted` bytes or the deadline.
    std::string readLine(std::size_t wanted, int timeout_ms) {
        std::string got;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < wanted && clock.elapsed() < timeout_ms) {
            QApplication::processEvents();
            char buffer[256];
            const ssize_t n = ::read(primary_, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, static_cast<std::size_t>(n));
            else
                QTest::qWait(10);
        }
        return got;
    }

    /// With HX350_SCREENSHOT_DIR set: a picture of `widget` in that folder.
    static void screenshot(QWidget& widget, const char* name) {
        if (!qEnvironmentVariableIsSet("HX350_SCREENSHOT_DIR")) return;
        QApplication::processEvents();
        widget.grab().save(qEnvironmentVariable("HX350_SCREENSHOT_DIR") + QLatin1Char('/') +
                           QLatin1String(name));
    }

    /// Plays the module until the dialog's run is over: each frame (it ends with its NUL byte) gets
    /// `answer(frame)`.
    void serveUntilFinished(hx350::ui::ModuleRunDialog& dialog,
                            const std::function<std::string(const std::string&)>& answer) {
        QElapsedTimer elapsed;
        elapsed.start();
        std::string frame;
        while (!dialog.run()->finished() && elapsed.elapsed() < 60000) {
            QApplication::processEvents();
            char buffer[512];
            const ssize_t n = ::read(primary_, buffer, sizeof buffer);
            if (n <= 0) {
                QTest::qWait(2);
                continue;
            }
            for (ssize_t i = 0; i < n; ++i) {
                frame += buffer[i];
                if (buffer[i] != '\0') continue;
                const std::string reply = answer(frame);
                QCOMPARE(::write(primary_, reply.data(), reply.size()), static_cast<ssize_t>(reply.size()));
                frame.clear();
            }
        }
    }

  private slots:
    void init() {
        pty_ = std::make_unique<hx350::test::PtyPair>();
        QVERIFY(pty_->ok());
        primary_ = pty_->primaryFd();
        secondary_name_ = pty_->secondaryPath();
    }

    void cleanup() { pty_.reset(); }

    void readStatusGoesOutAndTheAnswerComesBack() {
        WindowOnPty rig(secondary_name_);
        QVERIFY(rig.ok());
        hx350::ui::MainWindow& window = rig.window;
        QVERIFY(rig.timer1.isActive());
        const std::string& device = secondary_name_;
        auto* state = window.statusBar()->findChild<QLabel*>(QStringLiteral("StatusBar1Text"));
        QVERIFY(state->text().contains(QString::fromStdString(device)));
        QVERIFY2(state->text().endsWith(QStringLiteral("open")), qPrintable(state->text()));

        auto* read_status = window.findChild<QPushButton*>(QStringLiteral("ReadState"));
        QVERIFY(read_status != nullptr);
        QTest::mouseClick(read_status, Qt::LeftButton);
        const std::string frame = readLine(27, 3000);
        QCOMPARE(frame.size(), std::size_t{27});
        QCOMPARE(frame.substr(0, 20), std::string("              SETUP:"));
        QCOMPARE(frame.substr(25), std::string("\r\0", 2));

        const std::string answer = "STATUS 1 OK\r\n";
        QCOMPARE(::write(primary_, answer.data(), answer.size()), static_cast<ssize_t>(answer.size()));
        auto* memo = window.findChild<QPlainTextEdit*>(QStringLiteral("MemoSMSinput"));
        QVERIFY(memo != nullptr);
        // The driver polls every 5 s by design, Timer1 ticks every second.
        QTRY_VERIFY_WITH_TIMEOUT(memo->toPlainText().contains(QStringLiteral("STATUS 1 OK")), 9000);
    }

    void writeAllFromTheMenuAnswersEveryStepAndSavesItsReport() {
        WindowOnPty rig(secondary_name_);
        QVERIFY(rig.ok());
        hx350::ui::MainWindow& window = rig.window;
        const QTemporaryDir& dir = rig.dir;
        auto* write_all = window.findChild<QAction*>(QStringLiteral("WriteAll1"));
        QVERIFY(write_all != nullptr);
        write_all->trigger();
        hx350::ui::ModuleRunDialog* dialog = window.moduleRun();
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
        QVERIFY(dialog->run() != nullptr);
        // The module: "OK" to every frame, until the run is over.
        int frames = 0;
        serveUntilFinished(*dialog, [&](const std::string&) {
            if (++frames == 60) screenshot(*dialog, "write-all-running.png");
            return std::string("OK\r\n");
        });
        QVERIFY(dialog->run()->finished());
        QVERIFY2(dialog->run()->allAnswered(), dialog->run()->stopReason().c_str());
        QCOMPARE(dialog->reportTable()->rowCount(), static_cast<int>(dialog->run()->steps().size()));
        QCOMPARE(dialog->cancelButton()->text(), QStringLiteral("Close"));
        screenshot(*dialog, "write-all-report.png");
        QVERIFY(dialog->saveReportButton()->isEnabled());
        const QString csv = dir.filePath(QStringLiteral("report.csv"));
        QString error;
        QVERIFY2(dialog->saveReport(csv, &error), qPrintable(error));
        QFile saved(csv);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = saved.readAll().split('\n');
        QCOMPARE(lines.first(), QByteArray("step,label,command,answer,status\r"));
        QCOMPARE(lines.size() - 2, dialog->reportTable()->rowCount());  // header, rows, empty after the last
        for (const QByteArray& line : lines)
            QVERIFY2(!line.endsWith(",no answer\r") && !line.endsWith(",error answer\r"), line.constData());
    }

    void verifyFromTheMenuShowsWhatTheModuleHoldsOtherwiseAndKeepsThePages() {
        WindowOnPty rig(secondary_name_);
        QVERIFY(rig.ok());
        hx350::ui::MainWindow& window = rig.window;
        rig.form.NNumber[2].userSetText("+4930111111");
        auto* verify = window.findChild<QAction*>(QStringLiteral("Verify1"));
        QVERIFY(verify != nullptr);
        QCOMPARE(verify->text(), QStringLiteral("Verify Module..."));
        if (qEnvironmentVariableIsSet("HX350_SCREENSHOT_DIR")) {
            auto* option = window.findChild<QMenu*>(QStringLiteral("Option1"));
            option->popup(window.mapToGlobal(QPoint(40, window.menuBar()->height())));
            QTest::qWait(50);
            screenshot(*option, "option-menu.png");
            option->hide();
        }
        verify->trigger();
        hx350::ui::ModuleRunDialog* dialog = window.moduleRun();
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Verify Module"));
        QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
        QVERIFY(dialog->run() != nullptr);
        serveUntilFinished(*dialog, [](const std::string& frame) {
            return std::string(frame.find("GETNR2") != std::string::npos ? "2: +4930222222\r\n" : "OK\r\n");
        });
        QVERIFY(dialog->run()->finished());
        QCOMPARE(QString::fromStdString(rig.form.NNumber[2].Text()), QStringLiteral("+4930111111"));

        auto* compare = window.findChild<QDialog*>(QStringLiteral("CompareDialog"));
        QVERIFY(compare != nullptr);
        QCOMPARE(compare->windowTitle(), QStringLiteral("Verify Module: settings that differ"));
        auto* table = compare->findChild<QTableWidget*>(QStringLiteral("CompareTable"));
        QCOMPARE(table->horizontalHeaderItem(3)->text(), QStringLiteral("In the module"));
        int row = -1;
        for (int r = 0; r < table->rowCount(); ++r) {
            if (table->item(r, 0)->text().endsWith(QStringLiteral("Numbers for alarm SMS, Nr2"))) row = r;
        }
        QVERIFY(row >= 0);
        QCOMPARE(table->item(row, 2)->text(), QStringLiteral("+4930111111"));
        QCOMPARE(table->item(row, 3)->text(), QStringLiteral("+4930222222"));
        screenshot(*compare, "verify-differences.png");
        window.pages()->setCurrentIndex(hx350::kMainPage);
        emit table->cellActivated(row, 0);
        QCOMPARE(window.pages()->currentIndex(), static_cast<int>(hx350::kAbonentsPage));
    }
};

QTEST_MAIN(LivePortTest)
#include "live_port_test.moc"
