// Page "IO control": output pulses, data-logger parameters, outputs and inputs.
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "base/text.h"
#include "ui/page_kit.h"

namespace hx350::ui {

QWidget* buildIOControlPage(PageKit& kit) {
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);

    QGroupBox* events = kit.box("Events02");
    QGridLayout* e = PageKit::grid(events);
    e->addWidget(PageKit::text(kit.groupText("Events02", 0)), 0, 0, 1, 4);
    int row = 1;
    for (int n = 1; n <= 5; ++n) {
        if (kit.w("PulseDsb", n) == nullptr) {
            kit.w("PulseD", n);
            continue;
        }
        kit.labelled(e, "PulseDsb" + decimal(n), row, 0);
        kit.put(e, "PulseD" + decimal(n), row, 2);
        ++row;
    }
    kit.put(e, "SetPulse", row++, 1);
    e->setRowMinimumHeight(row++, 10);
    e->addWidget(PageKit::text(kit.groupText("Events02", 1)), row++, 0, 1, 4);
    for (const char* bar : {"SRateSB", "DLoggerTmSB"}) {
        kit.labelled(e, bar, row, 0);
        ++row;
    }
    kit.put(e, "SRate", row - 2, 2);
    kit.put(e, "bSRate", row - 2, 3);
    kit.put(e, "DLoggerTm", row - 1, 2);
    kit.put(e, "bDLperiod", row - 1, 3);
    e->setColumnStretch(1, 1);
    e->setRowStretch(row, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(events);
    left->addStretch(1);
    columns->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    QGroupBox* outputs = kit.box("outputs");
    QGridLayout* o = PageKit::grid(outputs);
    for (int n = 1; n <= 5; ++n) {
        if (kit.w("Output", n) == nullptr) {
            for (const char* p : {"SetOut", "ResetOut", "GetOut"})
                kit.w(p, n);
            continue;
        }
        kit.labelled(o, "Output" + decimal(n), n - 1, 0);
        kit.put(o, "SetOut" + decimal(n), n - 1, 2);
        kit.put(o, "ResetOut" + decimal(n), n - 1, 3);
        kit.put(o, "GetOut" + decimal(n), n - 1, 4);
    }
    kit.put(o, "GetOutState", 5, 0, 1, 5);
    kit.put(o, "OutputBin", 6, 1);
    right->addWidget(outputs);

    QGroupBox* inputs = kit.box("inputs");
    QGridLayout* i = PageKit::grid(inputs);
    for (int n = 1; n <= 7; ++n)
        kit.put(i, "GetInp" + decimal(n), (n - 1) / 3, (n - 1) % 3);
    kit.put(i, "GetAllInput", 3, 0, 1, 3);
    right->addWidget(inputs);
    right->addStretch(1);
    columns->addLayout(right, 2);
    return kit.finish(page);
}

}  // namespace hx350::ui
