// What the window shows the technician while it works: the log memo's text on screen, the status bar's
// account of an SMS exchange (hand-driven clock, a pseudo-terminal playing the phone), a port tried again
// by clicking its choice once more, a second window on the same folder, the received-text memo reached
// and copied from the keyboard, and the log of received messages.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>

#include <unistd.h>

#include "app/form.h"
#include "base/clock.h"
#include "link/device_link.h"
#include "support/pty_pair.h"
#include "ui/main_window.h"

using hx350::TForm1;
using hx350::ui::MainWindow;

namespace {

/// The pixels of `image` that differ from `blank`, counted in rows [top, bottom).
int differingPixels(const QImage& image, const QImage& blank, int top, int bottom) {
    int count = 0;
    for (int y = std::max(0, top); y < std::min({bottom, image.height(), blank.height()}); ++y) {
        for (int x = 0; x < std::min(image.width(), blank.width()); ++x) {
            if (image.pixel(x, y) != blank.pixel(x, y)) ++count;
        }
    }
    return count;
}

}  // namespace

class FeedbackTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<hx350::test::PtyPair> pty_;
    int primary_ = -1;            ///< the module's end of pty_
    std::string secondary_name_;  ///< the tool's end

    QLabel* messageLabel(MainWindow& window) {
        return window.statusBar()->findChild<QLabel*>(QStringLiteral("StatusBar1Message"));
    }

    /// Whatever the tool wrote to the phone's side so far.
    std::string drain() {
        std::string got;
        char buffer[512];
        for (;;) {
            const ssize_t n = ::read(primary_, buffer, sizeof buffer);
            if (n <= 0) return got;
            got.append(buffer, static_cast<std::size_t>(n));
        }
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        hx350::ui::applyApplicationLook();
    }

    void init() {
        pty_ = std::make_unique<hx350::test::PtyPair>();
        QVERIFY(pty_->ok());
        primary_ = pty_->primaryFd();
        secondary_name_ = pty_->secondaryPath();
    }

    void cleanup() { pty_.reset(); }

    // The one-line log memo shows its first line, in direct mode (a command alone) and in SMS mode (the
    // command and its PDU, followed by the empty line that MemoPutLine leaves).
    void memoSDrawsItsText() {
        TForm1 form;
        MainWindow window(form);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* memo = qobject_cast<QPlainTextEdit*>(window.controlWidget("MemoS"));
        QVERIFY(memo != nullptr);
        const QImage blank = memo->viewport()->grab().toImage();
        const int line = memo->fontMetrics().lineSpacing();
        const std::string texts[] = {
            "GETST",
            "SETNN3,+4917612345678" + std::string(60, '0') + "\r\n",
        };
        for (const std::string& text : texts) {
            form.FrameControls::MemoS.SetText(text);
            QApplication::processEvents();
            const QImage shown = memo->viewport()->grab().toImage();
            // Glyphs of at least a few characters, inside the viewport's one text row.
            QVERIFY2(differingPixels(shown, blank, 0, memo->viewport()->height()) > 4 * line, text.c_str());
            QCOMPARE(memo->verticalScrollBar()->value(), 0);
        }
    }

    // Every state of an SMS exchange on the hand-driven clock, as the status bar shows it. With
    // HX350_SHOT_DIR set, a picture of the window is saved at each state (tools/status_screenshots.sh).
    void statusBarFollowsTheSmsExchange() {
        hx350::ManualTimeSource time(hx350::LocalDateTime{2026, 12, 8, 12, 0, 0, 0});
        hx350::ManualTimer& poll = time.makeTimer();
        hx350::ManualTimer& timer1 = time.makeTimer();
        hx350::FormSeams seams;
        const std::string device = secondary_name_;
        seams.port_path = [device](int number) { return number == 1 ? device : std::string(); };
        seams.clock = &time;
        seams.poll_timer = &poll;
        seams.timer1 = &timer1;
        seams.settings_path = dir_.filePath(QStringLiteral("sms.cfg")).toStdString();
        TForm1 form(std::move(seams));
        MainWindow window(form);
        window.show();
        form.FormCreate();
        form.SMSmode.SetChecked(true);
        form.BRnumber.SetText("+4917612345678");
        form.link().resetExchangeState();
        QLabel* message = messageLabel(window);
        QVERIFY(message != nullptr);
        QVERIFY(!message->isVisible());  // nothing to say yet

        const QString shots = qEnvironmentVariable("HX350_SHOT_DIR");
        auto shot = [&](const char* name) {
            if (shots.isEmpty()) return;
            QApplication::processEvents();
            QVERIFY(
                window.grab().save(shots + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png")));
        };
        auto answer = [&](const std::string& bytes) {
            QCOMPARE(::write(primary_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
            QTest::qWait(20);
            form.CommPortDriver1().PollTick();
        };
        auto expect = [&](const QString& text) {
            QCOMPARE(message->text(), text);
            QVERIFY(message->isVisible());
        };
        // A failed check inside a helper returns from the helper only: stop the sequence there.
#define EXPECT_SHOWN(text)        \
    expect(QStringLiteral(text)); \
    if (QTest::currentTestFailed()) return
        const std::string listed_head = "AT+CMGL=1\r\r\n+CMGL: 2,1,,30\r\n";
        const std::string from_module =
            "00040D91947116325476F80000621010910000000F532A280682C56031904CE6AA0D01";
        const std::string from_stranger = "00040D91945191785634F200006210109100000005C8329BFD06";
        auto* read_status = qobject_cast<QPushButton*>(window.controlWidget("ReadState"));

        QTest::mouseClick(read_status, Qt::LeftButton);
        EXPECT_SHOWN("Sending GETST to +4917612345678 (SMS)");
        QVERIFY(drain().starts_with("AT+CMGS="));
        shot("sms-1-sending");

        // A second click while the PDU is not out yet is dropped, and the status bar says so.
        QTest::mouseClick(read_status, Qt::LeftButton);
        EXPECT_SHOWN("Not sent: the previous SMS is still being sent; try again when it is done");
        QCOMPARE(drain(), std::string());
        shot("sms-2-dropped");

        answer("> ");
        time.advance(1000);
        answer("\r\n+CMGS: 9\r\n\r\nOK\r\n");
        time.advance(3000);
        EXPECT_SHOWN("Sent; waiting for the module's answer (next check in 17 s)");
        shot("sms-3-waiting");
        time.advance(17000);
        QVERIFY(drain().ends_with("AT+CMGL=1\r"));
        answer(listed_head + from_module + "\r\n\r\nOK\r\n");
        EXPECT_SHOWN("Answer received");
        shot("sms-4-answer-received");

        // The next command meets no answer for five minutes, then a message from another number.
        QTest::mouseClick(read_status, Qt::LeftButton);
        answer("> ");
        time.advance(1000);
        answer("\r\n+CMGS: 10\r\n\r\nOK\r\n");
        time.advance(5 * 60 * 1000);
        EXPECT_SHOWN("No answer from the module for 5 min: check the module number and its SIM");
        shot("sms-5-no-answer");
        answer(listed_head + from_stranger + "\r\n\r\nOK\r\n");
        EXPECT_SHOWN("SMS from +4915198765432 (not the module's number)");
        shot("sms-6-foreign-sender");

        // The phone refuses the next one.
        drain();
        QTest::mouseClick(read_status, Qt::LeftButton);
        answer("> ");
        time.advance(1000);
        answer("\r\n+CMS ERROR: 500\r\n");
        EXPECT_SHOWN("The phone refused the SMS: +CMS ERROR: 500");
        QCOMPARE(form.link().state().sms_outcome, hx350::SmsOutcome::Refused);
        shot("sms-7-refused");
#undef EXPECT_SHOWN
    }

    // After the device went away, a click on the Com n already chosen opens the port again.
    void clickOnTheChosenPortTriesAgain() {
        QTemporaryDir devices;
        QVERIFY(devices.isValid());
        const std::string link = devices.filePath(QStringLiteral("ttyHX")).toStdString();
        hx350::FormSeams seams;
        seams.port_path = [link](int number) { return number == 1 ? link : std::string(); };
        seams.settings_path = dir_.filePath(QStringLiteral("retry.cfg")).toStdString();
        TForm1 form(std::move(seams));
        MainWindow window(form);
        window.show();
        form.FormCreate();
        QVERIFY(!form.CommPortDriver1().IsConnected());  // no device behind Com1 yet

        QVERIFY(::symlink(secondary_name_.c_str(), link.c_str()) == 0);  // the device comes back
        form.PageControl1.SetActivePageIndex(hx350::kSerialPortPage);
        QApplication::processEvents();
        auto* com1 = window.findChild<QRadioButton*>(QStringLiteral("RadioGroupPort[0]"));
        QVERIFY(com1 != nullptr && com1->isChecked());
        QTest::mouseClick(com1, Qt::LeftButton, {}, QPoint(6, com1->height() / 2));
        QVERIFY(form.CommPortDriver1().IsConnected());
        auto* state = window.statusBar()->findChild<QLabel*>(QStringLiteral("StatusBar1Text"));
        QVERIFY2(state->text().endsWith(QStringLiteral("open")), qPrintable(state->text()));

        // Clicked again while open: left alone. A reopen would discard the bytes waiting on the line.
        const std::string waiting = "kept\r\n";
        QCOMPARE(::write(primary_, waiting.data(), waiting.size()), static_cast<ssize_t>(waiting.size()));
        QTest::qWait(20);
        QTest::mouseClick(com1, Qt::LeftButton, {}, QPoint(6, com1->height() / 2));
        QVERIFY(form.CommPortDriver1().IsConnected());
        form.CommPortDriver1().PollTick();
        QVERIFY(form.link().state().last_received_text.starts_with("kept"));
    }

    // A second window on the same folder says so, once, in its status bar; the first says nothing.
    void secondWindowOnTheSameFolderIsTold() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        auto make = [&] {
            hx350::FormSeams seams;
            seams.settings_path = folder.filePath(QStringLiteral("HX350.cfg")).toStdString();
            seams.lock_folder = true;
            return std::make_unique<TForm1>(std::move(seams));
        };
        auto first = make();
        MainWindow first_window(*first);
        first->FormCreate();
        auto second = make();
        MainWindow second_window(*second);
        second->FormCreate();
        QCOMPARE(messageLabel(first_window)->text(), QString());
        QCOMPARE(messageLabel(second_window)->text(),
                 QStringLiteral("Another HX350 window uses this folder (pid %1): the last one to save wins")
                     .arg(QApplication::applicationPid()));
    }

    // The received-text memo is a tab stop; its text can be selected and copied from the keyboard.
    void receivedTextIsReachedAndCopiedByKeyboard() {
        TForm1 form;
        MainWindow window(form);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        auto* memo = qobject_cast<QPlainTextEdit*>(window.controlWidget("MemoSMSinput"));
        QVERIFY(memo != nullptr);
        form.FrameControls::MemoSMSinput.SetText("STATUS 1 OK\r\nIN 0101\r\n");
        QVERIFY(memo->isReadOnly());
        window.controlWidget("BRnumber")->setFocus();
        for (int i = 0; i < 200 && QApplication::focusWidget() != memo; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), memo);
        QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("STATUS 1 OK\nIN 0101"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("STATUS 1 OK\nIN 0101"));  // read-only: unchanged
    }

    // "Option" > "Received Messages" lists what the link logged, and follows it while open.
    void receivedMessagesWindowListsTheLog() {
        TForm1 form;
        MainWindow window(form);
        QAction* command = nullptr;
        for (QAction* action : window.menuBar()->actions()) {
            if (action->menu() == nullptr || action->text() != QStringLiteral("&Option")) continue;
            for (QAction* item : action->menu()->actions()) {
                if (item->text() == QStringLiteral("Received Messages")) command = item;
            }
        }
        QVERIFY(command != nullptr);
        form.link().messageLog().add(
            {hx350::LocalDateTime{2026, 12, 8, 9, 5, 7, 0}, "+4915112345678", "Hello\r", 3});
        command->trigger();
        QTableWidget* table = window.receivedMessages()->table();
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("2026-12-08 09:05:07"));
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("+4915112345678"));
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("Hello"));
        QCOMPARE(table->item(0, 3)->text(), QStringLiteral("3"));
        form.link().messageLog().add({hx350::LocalDateTime{}, "", "x", std::nullopt});
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(1, 3)->text(), QStringLiteral("-"));
        const QString shots = qEnvironmentVariable("HX350_SHOT_DIR");
        if (!shots.isEmpty())
            QVERIFY(window.receivedMessages()->grab().save(shots + "/received-messages.png"));
    }
};

QTEST_MAIN(FeedbackTest)
#include "feedback_test.moc"
