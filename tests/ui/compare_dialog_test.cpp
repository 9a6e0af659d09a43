// "Option > Compare with File...": nothing listed against what the pages save, exactly the changed
// settings after a change (against a settings file and against its text alike), and a row that leads to
// its page.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>

#include "app/form.h"
#include "app/settings_file.h"
#include "app/settings_text.h"
#include "ui/compare_dialog.h"
#include "ui/main_window.h"

using namespace hx350;
using hx350::ui::MainWindow;

class CompareDialogTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;

    std::string path(const char* name) const {
        return dir_.filePath(QString::fromLatin1(name)).toStdString();
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        hx350::ui::applyApplicationLook();
        SettingsRecord golden;
        QVERIFY(readSettingsFile(HX350_TEST_DATA_DIR "/settings/golden.cfg", golden).ok());
        QVERIFY(writeSettingsFile(path("HX350.cfg"), golden).ok());
    }

    void listsExactlyTheChangedSettings() {
        FormSeams seams;
        seams.settings_path = path("HX350.cfg");
        TForm1 form(std::move(seams));
        MainWindow window(form);
        window.show();
        form.FormCreate();

        QMenu* option = window.menuBar()->actions()[1]->menu();
        QStringList items;
        for (QAction* a : option->actions())
            items << a->text();
        QVERIFY2(items.contains(QStringLiteral("Compare with File...")), qPrintable(items.join(',')));

        // What the pages save, as a settings file and as a text: no difference.
        QVERIFY(form.SaveCFGFile(path("saved.cfg")).ok());
        SettingsRecord saved;
        QVERIFY(readSettingsFile(path("saved.cfg"), saved).ok());
        std::ofstream(path("saved.txt")) << exportSettingsText(saved);
        for (const char* file : {"saved.cfg", "saved.txt"}) {
            QWidget* shown = ui::compareWithFile(window, form, QString::fromStdString(path(file)));
            QCOMPARE(shown->objectName(), QStringLiteral("CompareNoDifference"));
            shown->close();
        }

        form.find<Edit>("NNumber3")->SetText("+4400");
        form.find<CheckBox>("SkipCRLFcb")->SetChecked(!form.find<CheckBox>("SkipCRLFcb")->Checked());
        for (const char* file : {"saved.cfg", "saved.txt"}) {
            auto* dialog = dynamic_cast<ui::CompareDialog*>(
                ui::compareWithFile(window, form, QString::fromStdString(path(file))));
            QVERIFY(dialog != nullptr);
            QTableWidget* table = dialog->table();
            QCOMPARE(table->rowCount(), 2);
            QCOMPARE(table->item(0, 0)->text(),
                     QString::fromLatin1(findSettingsTextEntry("SubscriberNumber[3]")->label.c_str()));
            QCOMPARE(table->item(0, 1)->text(), QStringLiteral("Abonents"));
            QCOMPARE(table->item(0, 2)->text(), QStringLiteral("+4400"));
            QCOMPARE(table->item(0, 3)->text(), QStringLiteral("+37061000003"));
            QCOMPARE(table->item(1, 1)->text(), QStringLiteral("Serial Port"));
            QCOMPARE(table->item(1, 2)->text(), QStringLiteral("unchecked"));
            QCOMPARE(table->item(1, 3)->text(), QStringLiteral("checked"));

            // The row of the number leads to the Abonents page and its edit.
            window.pages()->setCurrentIndex(kMainPage);
            dialog->activate(0);
            QCOMPARE(window.pages()->currentIndex(), static_cast<int>(kAbonentsPage));
            QWidget* edit = window.controlWidget("NNumber3");
            QVERIFY(edit != nullptr);
            QTRY_VERIFY(edit->hasFocus() || QApplication::focusWidget() == edit);
            if (qEnvironmentVariableIsSet("HX350_SCREENSHOT_DIR") && file == std::string("saved.cfg"))
                dialog->grab().save(qEnvironmentVariable("HX350_SCREENSHOT_DIR") +
                                    QStringLiteral("/compare-with-file.png"));
            dialog->close();
        }

        // A bad text names its file, line and key.
        std::ofstream(path("bad.txt")) << "ModulePhone = 12\n";
        QWidget* error = ui::compareWithFile(window, form, QString::fromStdString(path("bad.txt")));
        QCOMPARE(error->objectName(), QStringLiteral("CompareError"));
        QVERIFY2(qobject_cast<QMessageBox*>(error)->text().endsWith(
                     QStringLiteral("bad.txt:1: ModulePhone: wrong type: a quoted text is expected")),
                 qPrintable(qobject_cast<QMessageBox*>(error)->text()));
        error->close();
    }
};

QTEST_MAIN(CompareDialogTest)
#include "compare_dialog_test.moc"
