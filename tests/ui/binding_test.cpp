// The window's widgets against the headless form: user input runs the handlers, the form's own updates
// reach the widgets silently, hidden controls stay hidden, and every widget carries its control's name.
#include <QAbstractSlider>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/form.h"
#include "ui/control_binder.h"
#include "ui/main_window.h"

using hx350::ControlEntry;
using hx350::ControlKind;
using hx350::TForm1;
using hx350::ui::MainWindow;

class BindingTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<MainWindow> window_;
    std::vector<std::string> trace_;

    template <class W>
    W* widget(const char* name) {
        auto* w = window_->findChild<W*>(QString::fromLatin1(name));
        if (w == nullptr) qWarning("no widget %s of the expected type", name);
        return w;
    }
    int traced(const std::string& handler) const {
        return static_cast<int>(std::count(trace_.begin(), trace_.end(), handler));
    }
    const std::string& handlerOf(const char* name) const { return form_->find(name)->handler; }
    void showPage(int page) {
        form_->PageControl1.SetActivePageIndex(page);
        QApplication::processEvents();
    }

  private slots:
    void initTestCase() { hx350::ui::applyApplicationLook(); }

    void init() {
        form_ = std::make_unique<TForm1>();
        window_ = std::make_unique<MainWindow>(*form_);
        window_->buildAllPages();  // pages are otherwise built when first shown
        trace_.clear();
        form_->setHandlerTrace([this](std::string_view handler) { trace_.emplace_back(handler); });
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() {
        window_.reset();
        form_.reset();
    }

    // ---- user input reaches the control and runs its handler

    void buttonClickRunsItsHandlerOnce() {
        showPage(hx350::kExternalSmsPage);
        auto* button = widget<QPushButton>("TXTSMSb7");
        QVERIFY(button != nullptr);
        QVERIFY(button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(handlerOf("TXTSMSb7"), std::string("TXTSMSb7Click"));
        QCOMPARE(traced("TXTSMSb7Click"), 1);
    }

    void typingReachesTheEditAndIsCutToItsLimit() {
        showPage(hx350::kAbonentsPage);
        auto* edit = widget<QLineEdit>("NNumber3");
        QVERIFY(edit != nullptr);
        edit->clear();
        QTest::keyClicks(edit, "+4917012345678901234567");  // 23 characters into a 20-character field
        QCOMPARE(form_->NNumber[3].Text(), std::string("+4917012345678901234"));
        QCOMPARE(edit->text(), QStringLiteral("+4917012345678901234"));
    }

    void latin1TextsCrossTheBoundary() {
        showPage(hx350::kGprsFtpPage);
        auto* edit = widget<QLineEdit>("APN");
        QVERIFY(edit != nullptr);
        edit->setText(QStringLiteral("f\u00fcr \u20ac"));  // u-umlaut is Latin-1, the euro sign is not
        QCOMPARE(form_->APN.Text(), std::string("f\xfcr ?"));
        form_->APN.SetText("gr\xfc\xdf");
        QCOMPARE(edit->text(), QStringLiteral("gr\u00fc\u00df"));
    }

    void checkBoxClickRunsItsHandler() {
        auto* box = widget<QCheckBox>("SMSmode");
        QVERIFY(box != nullptr);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QVERIFY(form_->SMSmode.Checked());
        QCOMPARE(traced(handlerOf("SMSmode")), 1);
        QVERIFY(box->isChecked());
        // In SMS mode the grey memo no longer covers the phone's answers.
        QCOMPARE(widget<QPlainTextEdit>("Memo5")->isVisible(), form_->Memo5.Visible());
        QVERIFY(widget<QLineEdit>("Hersteller")->isVisible());
    }

    void radioButtonClickSelectsTheItem() {
        showPage(hx350::kSerialPortPage);
        auto* com3 = widget<QRadioButton>("RadioGroupPort[2]");
        QVERIFY(com3 != nullptr);
        QTest::mouseClick(com3, Qt::LeftButton, {}, QPoint(6, com3->height() / 2));
        QCOMPARE(form_->RadioGroupPort.ItemIndex(), 2);
        QVERIFY(!handlerOf("RadioGroupPort").empty());
        QCOMPARE(traced(handlerOf("RadioGroupPort")), 1);
    }

    void scrollBarMovedByTheUserRunsItsHandler() {
        showPage(hx350::kAnalogPage);
        auto* bar = widget<QScrollBar>("ScrollBarMax11");
        QVERIFY(bar != nullptr);
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(form_->ScrollBarMax[1][1].Position(), 1);
        QCOMPARE(traced("ScrollBarMax11Change"), 1);
        // The handler shows the position in the paired edit, which reaches its widget.
        QCOMPARE(widget<QLineEdit>("Maxlv11")->text(), QString::fromLatin1(form_->Maxlv[1][1].Text()));
        QCOMPARE(widget<QLineEdit>("Maxlv11")->text(), QStringLiteral("01"));
    }

    void valueSetThroughAccessibilityIsUserInput() {
        showPage(hx350::kAnalogPage);
        auto* bar = widget<QScrollBar>("ScrollBarMin21");
        QVERIFY(bar != nullptr);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(bar);
        QVERIFY(accessible != nullptr);
        QVERIFY(accessible->valueInterface() != nullptr);
        accessible->valueInterface()->setCurrentValue(55);
        QCOMPARE(form_->ScrollBarMin[2][1].Position(), 55);
        QCOMPARE(traced("ScrollBarMin21Change"), 1);
        QCOMPARE(widget<QLineEdit>("Minlv21")->text(), QStringLiteral("55"));

        showPage(hx350::kSmsShedulePage);
        auto* slider = widget<QSlider>("TrackBar2");
        QVERIFY(slider != nullptr);
        QAccessible::queryAccessibleInterface(slider)->valueInterface()->setCurrentValue(30);
        QCOMPARE(form_->TrackBar[2].Position(), 23);  // clamped to the hours
        QCOMPARE(slider->value(), 23);
        QCOMPARE(traced(handlerOf("TrackBar2")), 1);
    }

    void pageSelectedByTheUserRunsPageControl1Change() {
        QTabWidget* tabs = window_->pages();
        tabs->setCurrentIndex(hx350::kOtherPage);
        QCOMPARE(form_->PageControl1.ActivePageIndex(), static_cast<int>(hx350::kOtherPage));
        QCOMPARE(traced("PageControl1Change"), 1);
    }

    // ---- code changes reach the widget without running handlers again

    void codeChangesReachWidgetsSilently() {
        form_->NNumber[3].SetText("0170 555");
        QCOMPARE(widget<QLineEdit>("NNumber3")->text(), QStringLiteral("0170 555"));

        form_->TrackBar[1].SetPosition(7);  // a track bar set from code runs no handler
        QCOMPARE(widget<QSlider>("TrackBar1")->value(), 7);
        QCOMPARE(traced(handlerOf("TrackBar1")), 0);

        // A check box set from code runs its handler once (the form's rule); the widget follows without
        // running it a second time.
        form_->CheckBoxS[1].SetChecked(true);
        QVERIFY(widget<QCheckBox>("CheckBoxS1")->isChecked());
        QCOMPARE(traced("CheckBoxS1Click"), 1);

        form_->ScrollBarTMax[1][2].SetPosition(120);
        QCOMPARE(widget<QScrollBar>("ScrollBarT1Max2")->value(), 120);
        QCOMPARE(traced("ScrollBarT1Max2Change"), 1);

        form_->RadioGroupRate.SetItemIndex(-1);
        for (int i = 0; i < 5; ++i)
            QVERIFY(
                !widget<QRadioButton>(("RadioGroupRate[" + std::to_string(i) + "]").c_str())->isChecked());
        QCOMPARE(traced(handlerOf("RadioGroupRate")), 1);
        form_->RadioGroupRate.SetItemIndex(4);
        QVERIFY(widget<QRadioButton>("RadioGroupRate[4]")->isChecked());
        QCOMPARE(traced(handlerOf("RadioGroupRate")), 2);

        form_->PageControl1.SetActivePageIndex(hx350::kAnalogPage);
        QCOMPARE(window_->pages()->currentIndex(), static_cast<int>(hx350::kAnalogPage));
        QCOMPARE(traced("PageControl1Change"), 0);

        form_->TXTSMSb[3].SetCaption("RD");
        QCOMPARE(widget<QPushButton>("TXTSMSb3")->text(), QStringLiteral("RD"));
    }

    void codeTextIsNeverCutByTheWidget() {
        const std::string long_text(40, 'x');  // twice the field's limit
        form_->NNumber[1].SetText(long_text);
        QCOMPARE(widget<QLineEdit>("NNumber1")->text(), QString::fromLatin1(long_text.c_str()));
        QCOMPARE(form_->NNumber[1].Text(), long_text);
    }

    void fieldColourReachesTheWidget() {
        form_->BRnumber.SetColor(hx350::colors::kCream);
        QCOMPARE(widget<QLineEdit>("BRnumber")->palette().color(QPalette::Base), QColor(255, 255, 245));
    }

    void memoColourReachesTheWidget() {
        auto* memo = widget<QPlainTextEdit>("MemoSMSinput");
        QVERIFY(memo != nullptr);
        QCOMPARE(memo->palette().color(QPalette::Base), QColor(255, 255, 255));
        form_->PageControl1Change();  // colours the data-entry fields, the received-text memo among them
        QCOMPARE(memo->palette().color(QPalette::Base), QColor(255, 255, 245));
    }

    void portListSitsOnTheSerialPortPageReadOnlyAndNamed() {
        showPage(hx350::kSerialPortPage);
        auto* list = widget<QPlainTextEdit>("MemoPorts");
        QVERIFY(list != nullptr);
        QVERIFY(list->isVisible());
        QVERIFY(list->isReadOnly());
        QCOMPARE(list->accessibleDescription(), QStringLiteral("MemoPorts"));
        QCOMPARE(list->accessibleName(), QStringLiteral("Devices behind the port numbers"));
        form_->MemoPorts.SetText("Com1 = /dev/ttyS0: serial8250\r\nCom2 = /dev/ttyUSB0: FTDI");
        QCOMPARE(list->toPlainText(),
                 QStringLiteral("Com1 = /dev/ttyS0: serial8250\nCom2 = /dev/ttyUSB0: FTDI"));
        // Beside the port choice, on the same page.
        auto* ports = widget<QGroupBox>("RadioGroupPort");
        QVERIFY(ports != nullptr);
        QCOMPARE(list->window(), ports->window());
        QVERIFY(list->mapTo(list->window(), QPoint(0, 0)).x() >
                ports->mapTo(ports->window(), QPoint(0, 0)).x());
    }

    void memoShowsItsLinesAndTheirAccessibleText() {
        form_->MemoSMSinput.Add("+CMGL: 1");
        form_->MemoSMSinput.Add("OK");
        auto* memo = widget<QPlainTextEdit>("MemoSMSinput");
        QVERIFY(memo != nullptr);
        QCOMPARE(memo->toPlainText(), QStringLiteral("+CMGL: 1\nOK"));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(memo);
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->text(QAccessible::Value), QStringLiteral("+CMGL: 1\nOK"));
        QVERIFY(accessible->textInterface() != nullptr);
        QCOMPARE(accessible->textInterface()->text(0, accessible->textInterface()->characterCount()),
                 QStringLiteral("+CMGL: 1\nOK"));
    }

    void visibilityFollowsTheControl() {
        auto* memo = widget<QPlainTextEdit>("MemoS");
        QVERIFY(memo->isVisible());
        form_->MemoS.SetVisible(false);
        QVERIFY(!memo->isVisible());
        form_->MemoS.SetVisible(true);
        QVERIFY(memo->isVisible());
    }

    // ---- hidden controls stay hidden

    void hiddenControlsGetNoVisibleWidget() {
        int hidden = 0;
        for (int page = 0; page < hx350::kPageCount; ++page) {
            showPage(page);
            for (const ControlEntry& e : form_->registry().entries()) {
                if (hx350::ui::controlVisible(e.ref)) continue;
                ++hidden;
                const auto* w = window_->findChild<QWidget*>(QString::fromLatin1(e.name.c_str()));
                QVERIFY2(w == nullptr || !w->isVisible(), e.name.c_str());
            }
        }
        QVERIFY(hidden >
                50);  // the design hides many: temperature inputs 3 and 4, input 7, outputs 4 and 5 ...
        QVERIFY(window_->findChild<QWidget*>(QStringLiteral("ReadTH")) == nullptr);
        QVERIFY(window_->findChild<QWidget*>(QStringLiteral("TXTSMS11")) == nullptr);
    }

    void hiddenControlsCannotBeReachedByTheirUserPath() {
        // A hidden control refuses user input even when something asks it directly.
        QVERIFY(!form_->ReadTH.userClick());
        QCOMPARE(traced("ReadTHClick"), 0);
    }

    // ---- names for automation and screen readers

    void everyVisibleControlHasItsWidgetWithNameAndLabel() {
        int checked = 0;
        for (const ControlEntry& e : form_->registry().entries()) {
            if (!hx350::ui::controlVisible(e.ref) || e.kind == ControlKind::MenuItem) continue;
            const auto* w = window_->findChild<QWidget*>(QString::fromLatin1(e.name.c_str()));
            QVERIFY2(w != nullptr, e.name.c_str());
            QCOMPARE(w->accessibleDescription(), QString::fromLatin1(e.name.c_str()));
            const QString name = w->accessibleName();
            QVERIFY2(!name.isEmpty(), e.name.c_str());
            // What the widget shows comes first; a control without a caption carries its label.
            QString shown;
            if (const auto* b = qobject_cast<const QAbstractButton*>(w)) shown = b->text();
            if (const auto* l = qobject_cast<const QLabel*>(w)) shown = l->text();
            if (qobject_cast<const QLabel*>(w) != nullptr) {
                QCOMPARE(name, shown);
            } else if (!shown.isEmpty()) {
                QVERIFY2(name.startsWith(shown),
                         qPrintable(QString::fromLatin1(e.name.c_str()) + QStringLiteral(": ") + name));
            } else {
                QVERIFY2(name == QString::fromLatin1((e.label.empty() ? e.name : e.label).c_str()),
                         e.name.c_str());
            }
            ++checked;
        }
        QVERIFY(checked > 400);
    }

    // A screen reader must hear what the control shows now: "249 Om" after the label changed, "RD" once
    // "Read" is ticked.
    void accessibleNamesFollowWhatTheControlsShow() {
        struct Row {
            const char* widget;
            std::function<void()> change;
            const char* before;
            const char* after;
        };
        const Row rows[] = {
            {"TXTSMSb7", [this] { form_->GetText.userClick(); }, "WR, External SMS, Temp.Inp.2 < MINIMUM1",
             "RD, External SMS, Temp.Inp.2 < MINIMUM1"},
            {"AN1mode200", [this] { form_->ANmode200[1].SetCaption("249 Om"); }, "200 Om", "249 Om"},
            {"SMSmode", [this] { form_->SMSmode.SetCaption("SMS mode (phone)"); }, "SMS mode",
             "SMS mode (phone)"},
            {"ConnectBtn", [this] { form_->ConnectBtn.SetCaption("Disconnect"); }, "Connect", "Disconnect"},
            {"RadioGroupRate[4]",
             [this] {
                 form_->RadioGroupRate.SetItems({"1", "2", "3", "4", "230400"});
             },
             "115200", "230400"},
        };
        for (const Row& row : rows) {
            auto* w = window_->findChild<QWidget*>(QString::fromLatin1(row.widget));
            QVERIFY2(w != nullptr, row.widget);
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w);
            QCOMPARE(accessible->text(QAccessible::Name), QString::fromLatin1(row.before));
            row.change();
            QCOMPARE(accessible->text(QAccessible::Name), QString::fromLatin1(row.after));
            QCOMPARE(accessible->text(QAccessible::Description), QString::fromLatin1(row.widget));
        }
    }

    // ---- the keyboard alone

    void keyboardReachesPagesMenusAndSaving() {
        QCOMPARE(window_->menuBar()->actions().at(0)->text(), QStringLiteral("&File"));
        QCOMPARE(window_->menuBar()->actions().at(1)->text(), QStringLiteral("&Option"));
        const int first = form_->PageControl1.ActivePageIndex();
        QTest::keyClick(window_.get(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(form_->PageControl1.ActivePageIndex(), first + 1);
        QTest::keyClick(window_.get(), Qt::Key_PageUp, Qt::ControlModifier);
        QTest::keyClick(window_.get(), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(form_->PageControl1.ActivePageIndex(), hx350::kPageCount - 1);
        QCOMPARE(traced("PageControl1Change"), 3);

        // Enter in an edit presses no button; Ctrl+S saves.
        showPage(hx350::kExternalSmsPage);
        auto* edit = widget<QLineEdit>("TXTSMS7");
        edit->setFocus();
        trace_.clear();
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter);
        QVERIFY2(trace_.empty(), trace_.empty() ? "" : trace_.front().c_str());
        for (const QPushButton* b : window_->findChildren<QPushButton*>())
            QVERIFY2(!b->isDefault() && !b->autoDefault(), qPrintable(b->objectName()));
        // The save writes HX350.cfg into the working folder: a scratch one.
        QTemporaryDir scratch;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(scratch.path()));
        QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier);
        QDir::setCurrent(before);
        QCOMPARE(traced("SaveSetting1Click"), 1);
        QVERIFY(QFileInfo::exists(scratch.filePath(QStringLiteral("HX350.cfg"))));
    }

    void tabFollowsTheReadingOrderOfAPage() {
        showPage(hx350::kExternalSmsPage);
        QWidget* at = widget<QLineEdit>("TXTSMS1");
        at->setFocus();
        const char* expected[] = {"TXTSMSb1", "TXTSMS2", "TXTSMSb2", "TXTSMS3"};
        for (const char* next : expected) {
            at = at->nextInFocusChain();
            while ((at->focusPolicy() & Qt::TabFocus) == 0 || !at->isVisible())
                at = at->nextInFocusChain();
            QCOMPARE(at->objectName(), QString::fromLatin1(next));
        }
    }

    // Texts from outside (a process name read from /proc in the status bar) are shown as written, never
    // as markup.
    void labelsShowTheirTextAsWritten() {
        const QList<QLabel*> labels = window_->findChildren<QLabel*>();
        QVERIFY(labels.size() > 100);
        for (const QLabel* label : labels)
            QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName() + label->text()));
        form_->StatusBar1.SetText("Com1 busy: <img src=x> (pid 7)");
        auto* status = window_->findChild<QLabel*>(QStringLiteral("StatusBar1Text"));
        QCOMPARE(status->text(), QStringLiteral("Com1 busy: <img src=x> (pid 7)"));
    }

    // ---- memos

    // A memo's widget keeps in step with every kind of change, and both keep the last 5,000 lines.
    void memoWidgetFollowsEveryChangeAndKeepsTheLastLines() {
        hx350::Memo& memo = form_->MemoSMSinput;
        auto* w = widget<QPlainTextEdit>("MemoSMSinput");
        // One block per line; a lone CR inside a line shows as a space.
        const auto lines = [&memo] {
            QStringList out;
            for (const std::string& line : memo.Lines())
                out.push_back(QString::fromLatin1(line.c_str()).replace(QLatin1Char('\r'), QLatin1Char(' ')));
            return out.join(QLatin1Char('\n'));
        };
        const std::vector<std::function<void()>> steps = {
            [&] { memo.SetText("\r\n"); },
            [&] { memo.Append("OK\r\n"); },
            [&] { memo.Append("open"); },
            [&] { memo.Append(" line\r"); },
            [&] { memo.Append("\nnext\r\n\r\n"); },
            [&] { memo.Add("added"); },
            [&] { memo.SetLine(1, "one\r\ntwo"); },
            [&] { memo.Add(""); },
            [&] { memo.Clear(); },
            [&] { memo.Append("x"); },
            [&] {
                for (int i = 0; i < 6000; ++i)
                    memo.Append(std::to_string(i) + "\r\n");
            },
            [&] { memo.Append("last"); },
        };
        for (std::size_t i = 0; i < steps.size(); ++i) {
            steps[i]();
            QVERIFY2(w->toPlainText() == lines(), qPrintable(QStringLiteral("after step %1").arg(i)));
        }
        QCOMPARE(w->document()->blockCount(), 5000);
    }

    void sampleOfEveryFamilyByName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        QTest::newRow("event text button") << "TXTSMSb7"
                                           << "WR, External SMS, Temp.Inp.2 < MINIMUM1";
        QTest::newRow("event text") << "TXTSMS54" << QString();  // input 7: hidden
        QTest::newRow("short text") << "iTXTSMS30"
                                    << "Analog Inp.2 > MAXIMUM2";
        QTest::newRow("io name") << "iTXTSMS62"
                                 << "Digital Input 1 = 0";
        QTest::newRow("number") << "NNumber3"
                                << "Nr3";
        QTest::newRow("phone book") << "PBnr7"
                                    << "Nr7";
        QTest::newRow("mask box") << "CheckBoxD305"
                                  << "Digital Input 5, Nr3";
        QTest::newRow("mask disable") << "CheckBoxT4dis"
                                      << "Counter 2 (DI6), Disable";
        QTest::newRow("analog slider") << "ScrollBarMin42"
                                       << "ANALOG INPUT 4 Minimum level 2";
        QTest::newRow("temperature slider") << "ScrollBarT2Min1"
                                            << "TEMPERATURE INPUT 2 Minimum level 1";
        QTest::newRow("pulse") << "PulseDsb2"
                               << "Output 2 pulse ";
        QTest::newRow("option") << "oCheckBox7"
                                << "Digital Input Inversion enable (default disable)";
        QTest::newRow("hour") << "TrackBar3"
                              << "Send hour 3";
        QTest::newRow("uplink") << "APN"
                                << "APN ";
        QTest::newRow("counter mode")
            << "Button21"
            << "Write DI5=0 (open) RunTime counter 1, DI6=0 (open) RunTime counter 2";
        QTest::newRow("mode") << "SMSmode"
                              << "SMS mode";
        QTest::newRow("memo") << "MemoSMSinput"
                              << "Received";
        QTest::newRow("frame button") << "ConnectBtn"
                                      << "Connect";
        QTest::newRow("output") << "SetOut3"
                                << "Out3 ON";
    }

    void sampleOfEveryFamilyByName() {
        QFETCH(QString, name);
        QFETCH(QString, label);
        const auto* w = window_->findChild<QWidget*>(name);
        if (label.isEmpty()) {
            QVERIFY(w == nullptr || !w->isVisible());
            return;
        }
        QVERIFY(w != nullptr);
        QCOMPARE(w->accessibleDescription(), name);
        QCOMPARE(w->accessibleName(), label);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w));
        QCOMPARE(accessible->text(QAccessible::Description), name);
        QCOMPARE(accessible->text(QAccessible::Name), label);
    }

    void radioButtonsCarryGroupNameAndIndex() {
        for (int i = 0; i < 16; ++i) {
            const QString name = QStringLiteral("RadioGroupPort[%1]").arg(i);
            auto* b = window_->findChild<QRadioButton*>(name);
            QVERIFY2(b != nullptr, qPrintable(name));
            QCOMPARE(b->accessibleDescription(), name);
            QCOMPARE(b->accessibleName(), QStringLiteral("Com%1").arg(i + 1));
        }
        auto* rate = window_->findChild<QRadioButton*>(QStringLiteral("RadioGroupRate[4]"));
        QVERIFY(rate != nullptr);
        QCOMPARE(rate->accessibleName(), QStringLiteral("115200"));
        QCOMPARE(window_->findChild<QGroupBox*>(QStringLiteral("RadioGroupRate"))->accessibleName(),
                 QStringLiteral("Baud Rate"));
    }

    void passwordEditsShowTheirText() {
        form_->Password.SetText("secret");
        form_->PasswordFTP.SetText("ftp-pass");
        QCOMPARE(widget<QLineEdit>("Password")->echoMode(), QLineEdit::Normal);
        QCOMPARE(widget<QLineEdit>("PasswordFTP")->echoMode(), QLineEdit::Normal);
        QCOMPARE(widget<QLineEdit>("PasswordFTP")->displayText(), QStringLiteral("ftp-pass"));
    }

    void formOutlivesTheWindow() {
        // The window detaches from the controls when it goes; later changes reach nothing.
        window_.reset();
        form_->NNumber[1].SetText("after");
        form_->MemoSMSinput.Add("after");
        QCOMPARE(form_->NNumber[1].Text(), std::string("after"));
    }
};

QTEST_MAIN(BindingTest)
#include "binding_test.moc"
