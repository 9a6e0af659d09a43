// Page "Analog": thresholds, reference level, multipliers, 4-20 mA modes, shunts and measurement delay.
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "base/text.h"
#include "ui/latin1.h"
#include "ui/page_kit.h"

namespace hx350::ui {

QWidget* buildAnalogPage(PageKit& kit) {
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;

    QGroupBox* levels = kit.box("Panel1");
    QGridLayout* l = PageKit::grid(levels);
    l->setHorizontalSpacing(14);
    for (int n = 1; n <= 4; ++n) {
        const std::string s = decimal(n);
        QWidget* block =
            buildLevelBlock(kit, kit.groupText("Panel1", 1 + static_cast<std::size_t>(n)),
                            kit.groupText("Panel1", 0), kit.groupText("Panel1", 1),
                            {"ScrollBarMax" + s + "2", "ScrollBarMax" + s + "1", "ScrollBarMin" + s + "1",
                             "ScrollBarMin" + s + "2"},
                            {"Maxlv" + s + "2", "Maxlv" + s + "1", "Minlv" + s + "1", "Minlv" + s + "2"},
                            "Level" + s + "Cmd");
        if (block != nullptr) l->addWidget(block, (n - 1) / 2, (n - 1) % 2);
    }
    left->addWidget(levels);

    QGroupBox* multipliers = kit.box("Panel3");
    QGridLayout* m = PageKit::grid(multipliers);
    m->addWidget(PageKit::text(kit.groupText("Panel3", 0)), 0, 0, 1, 3);
    m->addWidget(PageKit::text(kit.groupText("Panel3", 1)), 0, 4, 1, 2);
    m->addWidget(PageKit::text(kit.groupText("Panel3", 2)), 0, 6, 1, 4);
    for (int n = 1; n <= 4; ++n) {
        m->addWidget(PageKit::text(QStringLiteral("AN%1").arg(n)), n, 0);
        kit.put(m, "AN" + decimal(n) + "mul", n, 1);
        kit.put(m, "bAN" + decimal(n) + "mul", n, 2);
        if (n <= 3) {
            kit.put(m, "AN" + decimal(n) + "_420", n, 4);
            kit.put(m, "bAN" + decimal(n) + "_420", n, 5);
            m->addWidget(PageKit::text(QStringLiteral("AN%1").arg(n)), n, 6);
            kit.put(m, "AN" + decimal(n) + "mulSMS", n, 7);
            kit.put(m, "Button" + decimal(28 + n), n, 8);
        }
    }
    m->addWidget(PageKit::text(kit.groupText("Panel3", 3)), 5, 6, 1, 2);
    kit.put(m, "Button32", 5, 8);
    kit.put(m, "Button33", 5, 9);
    kit.put(m, "GETLV", 6, 0, 1, 3);
    kit.put(m, "bReadAnalog", 6, 4, 1, 2);
    m->setColumnMinimumWidth(3, 12);
    m->setColumnStretch(10, 1);
    left->addWidget(multipliers);
    left->addStretch(1);
    columns->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    QGroupBox* reference = kit.box("Panel2");
    QGridLayout* r = PageKit::grid(reference);
    kit.put(r, "ReferenceLevelRadioBox1", 0, 0, 3, 1);
    r->addWidget(PageKit::text(fromCore(kit.form().find("AnalogKoeff")->label)), 0, 1, 1, 2);
    r->addWidget(PageKit::text(kit.groupText("Panel2", 0)), 1, 1);
    kit.put(r, "AnalogKoeff", 2, 1);
    kit.put(r, "BtRefLevel", 2, 2);
    right->addWidget(reference);

    QGroupBox* shunt = kit.box("shunt");
    QGridLayout* s = PageKit::grid(shunt);
    const char* boxes[3] = {"CheckBox7", "CheckBox6", "CheckBox5"};
    for (int n = 1; n <= 3; ++n) {
        kit.put(s, boxes[n - 1], n - 1, 0);
        kit.put(s, "AN" + decimal(n) + "mode200", n - 1, 1);
    }
    s->addWidget(PageKit::text(kit.groupText("shunt", 0)), 3, 0, 1, 2);
    kit.put(s, "Button34", 3, 2);
    right->addWidget(shunt);

    QGroupBox* delay = kit.box("Panel14");
    QGridLayout* d = PageKit::grid(delay);
    auto* explanation = PageKit::text(kit.groupText("Panel14", 0));
    explanation->setWordWrap(true);
    d->addWidget(explanation, 0, 0, 1, 4);
    kit.put(d, "ScrollBarADelay", 1, 0);
    kit.put(d, "ADelay", 1, 1);
    d->addWidget(PageKit::text(kit.groupText("Panel14", 1)), 1, 2);
    kit.put(d, "Button35", 1, 3);
    d->setColumnStretch(0, 1);
    right->addWidget(delay);
    right->addStretch(1);
    columns->addLayout(right, 2);
    return kit.finish(page);
}

}  // namespace hx350::ui
