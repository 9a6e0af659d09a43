// The main window's frame: caption and application title, the thirteen tabs, the menu, the status bar,
// the size on a 1280x900 screen, and start-up through the window.
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/form.h"
#include "ui/main_window.h"

using hx350::TForm1;
using hx350::ui::MainWindow;

class FrameTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;

    std::unique_ptr<TForm1> makeForm(const QString& settings_name = QStringLiteral("HX350.cfg")) {
        hx350::FormSeams seams;
        seams.settings_path = dir_.filePath(settings_name).toStdString();
        return std::make_unique<TForm1>(std::move(seams));
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        hx350::ui::applyApplicationLook();
    }

    void captionsAndTitles() {
        auto form = makeForm();
        MainWindow window(*form);
        QCOMPARE(window.windowTitle(), QStringLiteral("HX350"));
        QCOMPARE(QApplication::applicationName(), QStringLiteral("KALDEROMIX"));
        QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("KALDEROMIX"));
        QCOMPARE(window.objectName(), QStringLiteral("Form1"));
    }

    void thirteenPagesInOrder() {
        auto form = makeForm();
        MainWindow window(*form);
        QTabWidget* tabs = window.pages();
        QCOMPARE(tabs->count(), 13);
        const QStringList captions{
            QStringLiteral("Main"),        QStringLiteral("Abonents"),    QStringLiteral("External SMS"),
            QStringLiteral("Int/Ext SMS"), QStringLiteral("IOname"),      QStringLiteral("Analog"),
            QStringLiteral("Temperature"), QStringLiteral("SMS Shedule"), QStringLiteral("IO control"),
            QStringLiteral("Other"),       QStringLiteral("GPRS, FTP"),   QStringLiteral("Serial Port"),
            QStringLiteral("RunTime")};
        for (int i = 0; i < 13; ++i) {
            QCOMPARE(tabs->tabText(i), captions[i]);
            QCOMPARE(tabs->widget(i)->objectName(), QStringLiteral("TabSheet%1").arg(i + 1));
        }
        QCOMPARE(tabs->currentIndex(), 0);  // the window opens on "Main"
    }

    void pagesAreBuiltWhenFirstShown() {
        auto form = makeForm();
        MainWindow window(*form);
        // Before the window is shown: only the page it opens on.
        QVERIFY(window.pageBuilt(0));
        for (int i = 1; i < 13; ++i)
            QVERIFY(!window.pageBuilt(i));
        QVERIFY(window.controlWidget("ReadState") != nullptr);  // on "Main"
        QVERIFY(window.controlWidget("NNumber3") == nullptr);   // on "Abonents"
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Selected by the user: built, visible at once, and in step with what the form holds.
        form->NNumber[3].SetText("+4917012345");
        window.pages()->setCurrentIndex(1);
        QVERIFY(window.pageBuilt(1));
        auto* number = window.controlWidget("NNumber3");
        QVERIFY(number != nullptr);
        QVERIFY(number->isVisible());
        QCOMPARE(number->property("text").toString(), QStringLiteral("+4917012345"));

        // Selected by code (the tab widget's signals are blocked then): built as well.
        QVERIFY(!window.pageBuilt(hx350::kAnalogPage));
        form->PageControl1.SetActivePageIndex(hx350::kAnalogPage);
        QVERIFY(window.pageBuilt(hx350::kAnalogPage));
        QVERIFY(!window.pageBuilt(hx350::kRunTimePage));

        // Built once: going back does not build a second set of widgets.
        const int widgets = window.findChildren<QWidget*>().size();
        window.pages()->setCurrentIndex(1);
        window.pages()->setCurrentIndex(0);
        QCOMPARE(window.findChildren<QWidget*>().size(), widgets);
        window.buildAllPages();
        QVERIFY(window.pageBuilt(hx350::kRunTimePage));
        QVERIFY(window.findChildren<QWidget*>().size() > widgets);
    }

    // Each menu and command with its mnemonic, for the keyboard (Alt+F, Alt+O).
    void menuHasFileExitAndOptionSaveSetting() {
        auto form = makeForm();
        MainWindow window(*form);
        const QList<QAction*> menus = window.menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[0]->text(), QStringLiteral("&File"));
        // "Exit" closes the File menu; the site-file items come before it.
        QCOMPARE(menus[0]->menu()->actions().constLast()->text(), QStringLiteral("&Exit"));
        QCOMPARE(menus[0]->menu()->actions().constLast()->objectName(), QStringLiteral("Exit1"));
        QCOMPARE(menus[1]->text(), QStringLiteral("&Option"));
        QCOMPARE(menus[1]->menu()->actions()[0]->text(), QStringLiteral("&Save Setting"));
        QCOMPARE(menus[1]->menu()->actions()[0]->objectName(), QStringLiteral("SaveSetting1"));
    }

    void windowFitsTheScreenAndNoPageIsSqueezed() {
        auto form = makeForm();
        MainWindow window(*form);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // About 882 by 704, and in any case within a 1280x900 screen with room for the frame.
        QVERIFY2(window.width() <= 1000 && window.height() <= 800,
                 qPrintable(QStringLiteral("%1x%2").arg(window.width()).arg(window.height())));
        QVERIFY(window.minimumSizeHint().width() <= 1260);
        QVERIFY(window.minimumSizeHint().height() <= 860);
        qInfo("window %dx%d, minimum %dx%d", window.width(), window.height(),
              window.minimumSizeHint().width(), window.minimumSizeHint().height());
        window.buildAllPages();
        QTabWidget* tabs = window.pages();
        // Every tab caption is shown whole: no scroll buttons hide the last pages.
        QVERIFY(tabs->tabBar()->sizeHint().width() <= tabs->width());
        for (int i = 0; i < tabs->count(); ++i) {
            QWidget* page = tabs->widget(i);
            page->ensurePolished();  // as when shown: the style's fonts and margins count
            const QSize needed = page->minimumSizeHint();
            const QSize room = tabs->contentsRect().size() - QSize(0, tabs->tabBar()->height());
            qInfo("%s needs %dx%d of %dx%d", qPrintable(tabs->tabText(i)), needed.width(), needed.height(),
                  room.width(), room.height());
            QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                     qPrintable(QStringLiteral("%1 needs %2x%3, has %4x%5")
                                    .arg(tabs->tabText(i))
                                    .arg(needed.width())
                                    .arg(needed.height())
                                    .arg(room.width())
                                    .arg(room.height())));
        }
    }

    void startUpThroughTheWindow() {
        // No settings file: start-up warns (recorded by the default services) and fills the pages; the
        // status bar says why the port is not open.
        auto form = makeForm(QStringLiteral("missing.cfg"));
        MainWindow window(*form);
        window.show();
        form->FormCreate();
        QVERIFY(!form->StatusBar1.Text().empty());
        auto* label = window.statusBar()->findChild<QLabel*>(QStringLiteral("StatusBar1Text"));
        QVERIFY(label != nullptr);
        QCOMPARE(label->text(), QString::fromLatin1(form->StatusBar1.Text().c_str()));
        QVERIFY(label->text().startsWith(QStringLiteral("Com1")));
        // The panels start-up hides are not shown.
        auto* at_panel = window.findChild<QWidget*>(QStringLiteral("PanelAT"));
        QVERIFY(at_panel == nullptr || !at_panel->isVisible());
    }

    void saveSettingFromTheMenuWritesTheFile() {
        auto form = makeForm(QStringLiteral("saved.cfg"));
        MainWindow window(*form);
        window.show();
        form->FormCreate();
        QAction* save = window.menuBar()->actions()[1]->menu()->actions()[0];
        save->trigger();
        const QFileInfo file(dir_.filePath(QStringLiteral("saved.cfg")));
        QVERIFY(file.exists());
        QCOMPARE(file.size(), 4204);
    }

    void exitButtonClosesTheWindow() {
        auto form = makeForm();
        MainWindow window(*form);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* exit = window.findChild<QPushButton*>(QStringLiteral("ExitBtn"));
        QVERIFY(exit != nullptr);
        QTest::mouseClick(exit, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 2000);
    }

    void exitMenuClosesTheWindow() {
        auto form = makeForm();
        MainWindow window(*form);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.menuBar()->actions()[0]->menu()->actions().constLast()->trigger();  // "Exit"
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 2000);
    }
};

QTEST_MAIN(FrameTest)
#include "frame_test.moc"
