// Page "Serial Port": port, baud rate, CR/LF handling, the SMS wait time, and the devices behind the
// port numbers.
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/page_kit.h"

namespace hx350::ui {

QWidget* buildSerialPortPage(PageKit& kit) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QGroupBox* box = kit.box("page");
    QGridLayout* g = PageKit::grid(box);
    g->setHorizontalSpacing(12);
    kit.put(g, "RadioGroupPort", 0, 0, 1, 1, Qt::AlignTop);
    kit.put(g, "RadioGroupRate", 0, 1, 1, 2, Qt::AlignTop);
    kit.put(g, "SkipCRLFcb", 1, 0);
    kit.labelled(g, "TrackBar5", 2, 0);
    if (QWidget* wait = kit.w("TrackBar5")) wait->setMinimumWidth(280);
    kit.put(g, "Edit1", 2, 2);
    kit.put(g, "PromptAnswers", 3, 0, 1, 3);
    // Beside the port choice: which device each number stands for on this machine.
    kit.put(g, "MemoPorts", 0, 3, 3, 1);
    if (QWidget* devices = kit.w("MemoPorts")) {
        devices->setMinimumWidth(300);
        devices->setToolTip(QStringLiteral("The device behind each Com number on this machine"));
    }
    g->setColumnStretch(3, 1);
    layout->addWidget(box);
    layout->addStretch(1);
    return kit.finish(page);
}

}  // namespace hx350::ui
