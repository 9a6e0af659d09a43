// The Qt adapters of the core's seams: timers on the event loop, modal message boxes that keep the timers
// running, and the one-level hourglass cursor.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/qt_timer.h"
#include "ui/qt_window_services.h"

using hx350::CursorShape;
using hx350::MessageIcon;
using hx350::ui::QtTimer;
using hx350::ui::QtWindowServices;

class AdaptersTest : public QObject {
    Q_OBJECT

  private slots:
    void timerFiresPeriodicallyAndStops() {
        QtTimer timer;
        int fired = 0;
        timer.setCallback([&] { ++fired; });
        QVERIFY(!timer.isActive());
        timer.start(10);
        QVERIFY(timer.isActive());
        QCOMPARE(timer.period(), 10u);
        QTRY_VERIFY_WITH_TIMEOUT(fired >= 3, 2000);
        timer.stop();
        QVERIFY(!timer.isActive());
        const int after_stop = fired;
        QTest::qWait(50);
        QCOMPARE(fired, after_stop);
    }

    void restartTakesTheNewPeriod() {
        QtTimer timer;
        int fired = 0;
        timer.setCallback([&] { ++fired; });
        timer.start(100000);
        timer.start(5);
        QCOMPARE(timer.period(), 5u);
        QTRY_VERIFY_WITH_TIMEOUT(fired >= 1, 2000);
        timer.stop();
    }

    void messageBoxIsModalWithOneOkButtonAndTimersKeepFiring() {
        QtWindowServices services;
        QtTimer timer;
        int ticks_while_open = 0;
        bool inspected = false;
        QString text;
        QString caption;
        int buttons = 0;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        timer.setCallback([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            ++ticks_while_open;
            if (ticks_while_open < 3) return;  // let the timer fire a few times inside the box's loop
            text = box->text();
            caption = box->windowTitle();
            icon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            inspected = true;
            box->button(QMessageBox::Ok)->click();
        });
        timer.start(10);
        QElapsedTimer clock;
        clock.start();
        services.showMessage("Could not connect to serial port.\r\nPlease, check settings and try again.",
                             "KALDEROMIX", MessageIcon::Warning);
        timer.stop();
        QVERIFY(inspected);
        QVERIFY(ticks_while_open >= 3);
        QCOMPARE(text,
                 QStringLiteral("Could not connect to serial port.\nPlease, check settings and try again."));
        QCOMPARE(caption, QStringLiteral("KALDEROMIX"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(buttons, 1);
        QVERIFY(clock.elapsed() < 5000);
    }

    void hourglassIsOneLevelNeverStacked() {
        QtWindowServices services;
        QVERIFY(QApplication::overrideCursor() == nullptr);
        services.setCursor(CursorShape::Hourglass);
        services.setCursor(CursorShape::Hourglass);
        services.setCursor(CursorShape::Hourglass);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        services.setCursor(CursorShape::Default);  // one restore undoes any number of hourglasses
        QVERIFY(QApplication::overrideCursor() == nullptr);
        services.setCursor(CursorShape::Default);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void servicesGoingAwayRestoreTheCursor() {
        {
            QtWindowServices services;
            services.setCursor(CursorShape::Hourglass);
        }
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(AdaptersTest)
#include "adapters_test.moc"
