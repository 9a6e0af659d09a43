// Site files in the window: the File menu's items before "Exit", a settings file opened into the pages,
// saved under another name byte for byte, the status field with "(changed)", the recent files, and a
// text exported and imported.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "app/form.h"
#include "ui/main_window.h"
#include "ui/site_files.h"

using namespace hx350;
using hx350::ui::MainWindow;
using hx350::ui::SiteFiles;

class SiteFilesTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    static QByteArray bytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QStandardPaths::setTestModeEnabled(true);  // QSettings in a scratch config folder
        hx350::ui::applyApplicationLook();
        QVERIFY(QFile::copy(QStringLiteral(HX350_TEST_DATA_DIR "/settings/golden.cfg"), path("site.cfg")));
    }

    void openSaveAsChangedRecentAndText() {
        FormSeams seams;
        seams.settings_path = path("HX350.cfg").toStdString();  // none there: start-up fills zeros
        TForm1 form(std::move(seams));
        MainWindow window(form);
        window.show();
        form.FormCreate();
        window.buildAllPages();
        SiteFiles* files = SiteFiles::of(window);
        QVERIFY(files != nullptr);
        files->takeBaseline();

        QMenu* file_menu = window.menuBar()->actions()[0]->menu();
        QStringList items;
        for (QAction* a : file_menu->actions())
            items << a->text();
        QCOMPARE(items, (QStringList{QStringLiteral("Open Settings..."),
                                     QStringLiteral("Save Settings As..."), QStringLiteral("Recent Settings"),
                                     QString(), QStringLiteral("Export as Text..."),
                                     QStringLiteral("Import Text..."), QString(), QStringLiteral("&Exit")}));

        QVERIFY(files->openSettings(path("site.cfg")));
        auto* number = qobject_cast<QLineEdit*>(window.controlWidget("NNumber3"));
        QVERIFY(number != nullptr);
        QCOMPARE(number->text(), QStringLiteral("+37061000003"));
        QCOMPARE(files->statusText(), QStringLiteral("Settings: site.cfg"));

        // Saved under another name: the bytes "Save Setting" writes to HX350.cfg. (The golden file's two
        // copies of the module's number differ; the pages hold one, so a save makes them equal.)
        QVERIFY(files->saveSettingsAs(path("copy.cfg")));
        form.SaveSetting1Click();
        QCOMPARE(bytes(path("copy.cfg")), bytes(path("HX350.cfg")));
        QVERIFY(bytes(path("copy.cfg")).size() == 4204);
        // A file a save wrote comes back byte for byte.
        QVERIFY(files->openSettings(path("copy.cfg")));
        QVERIFY(files->saveSettingsAs(path("copy2.cfg")));
        QCOMPARE(bytes(path("copy2.cfg")), bytes(path("copy.cfg")));
        QVERIFY(files->openSettings(path("site.cfg")));
        QVERIFY(files->saveSettingsAs(path("copy.cfg")));
        QCOMPARE(files->statusText(), QStringLiteral("Settings: copy.cfg"));
        QCOMPARE(files->recent().mid(0, 2), (QStringList{path("copy.cfg"), path("site.cfg")}));
        QVERIFY(files->recent().size() <= 8);

        // A change through the widget, as a technician types it.
        window.pages()->setCurrentIndex(kAbonentsPage);
        window.activateWindow();
        number->setFocus();
        number->selectAll();
        QTest::keyClicks(number, QStringLiteral("+4400"));
        QCOMPARE(number->text(), QStringLiteral("+4400"));
        QTRY_COMPARE(files->statusText(), QStringLiteral("Settings: copy.cfg (changed)"));

        QVERIFY(files->exportText(path("copy.txt")));
        QVERIFY(files->openSettings(path("site.cfg")));
        QCOMPARE(number->text(), QStringLiteral("+37061000003"));
        QCOMPARE(files->statusText(), QStringLiteral("Settings: site.cfg"));
        QVERIFY(files->importText(path("copy.txt")));
        QCOMPARE(number->text(), QStringLiteral("+4400"));
        QCOMPARE(files->statusText(), QStringLiteral("Settings: site.cfg (changed)"));

        if (qEnvironmentVariableIsSet("HX350_SCREENSHOT_DIR")) {
            file_menu->popup(window.mapToGlobal(QPoint(0, window.menuBar()->height())));
            QTest::qWait(50);
            file_menu->grab().save(qEnvironmentVariable("HX350_SCREENSHOT_DIR") +
                                   QStringLiteral("/file-menu.png"));
            file_menu->hide();
        }
    }
};

QTEST_MAIN(SiteFilesTest)
#include "site_files_test.moc"
