// Page "Main": the module's number, SMS mode, and the one-button module commands.
#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui/page_kit.h"

namespace hx350::ui {

QWidget* buildMainPage(PageKit& kit) {
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);

    auto* left = new QVBoxLayout;
    QGroupBox* module = kit.box("page");
    QGridLayout* g = PageKit::grid(module);
    g->addWidget(PageKit::text(kit.groupText("page", 0)), 0, 0);
    kit.put(g, "BRnumber", 1, 0);
    kit.put(g, "SMSmode", 2, 0);
    left->addWidget(module);
    left->addStretch(1);
    auto* version = PageKit::text(kit.groupText("page", 1));
    version->setObjectName(QStringLiteral("VersionLabel"));
    left->addWidget(version);
    columns->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    QGroupBox* commands = kit.box("ATcommand");
    QGridLayout* c = PageKit::grid(commands);
    c->setVerticalSpacing(4);
    for (const ControlEntry& e : kit.form().registry().entries()) {
        if (e.page != kit.page() || e.group != "ATcommand" || e.kind != ControlKind::Button) continue;
        kit.put(c, e.name, e.row, e.column);
    }
    kit.put(c, "SMScommand", 5, 1, 1, 2);
    // The phone's answers; Memo5 lies over them and covers them while it is shown (SMS mode off).
    kit.put(c, "Hersteller", 6, 1, 1, 2);
    kit.put(c, "ModelIDCode", 7, 1, 1, 2);
    kit.put(c, "DateTime", 8, 1, 1, 2);
    if (auto* memo = qobject_cast<QPlainTextEdit*>(kit.w("Memo5"))) {
        memo->setFrameShape(QFrame::NoFrame);
        memo->setBackgroundRole(QPalette::Window);
        QPalette palette = memo->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        memo->setPalette(palette);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setFocusPolicy(Qt::NoFocus);
        c->addWidget(memo, 6, 1, 3, 2);
        memo->raise();
    }
    for (const char* hidden : {"TimeZone", "DeleteSMS"})
        kit.put(c, hidden, 9, 1);
    c->setColumnMinimumWidth(0, 150);
    c->setColumnMinimumWidth(1, 150);
    c->setColumnMinimumWidth(2, 150);
    right->addWidget(commands);

    // The AT-command and GSM-band panels: start-up hides them for good.
    auto* extras = new QHBoxLayout;
    QGroupBox* at = kit.box("PanelAT");
    QGridLayout* a = PageKit::grid(at);
    a->addWidget(PageKit::text(kit.groupText("PanelAT", 0)), 0, 0);
    kit.put(a, "ATcmd", 0, 1);
    kit.put(a, "SendAT", 0, 2);
    kit.put(a, "ctrlZbtn", 0, 3);
    extras->addWidget(at);
    QGroupBox* band = kit.box("PanelBand");
    QGridLayout* b = PageKit::grid(band);
    b->addWidget(PageKit::text(kit.groupText("PanelBand", 0)), 0, 0);
    for (int n = 0; n <= 3; ++n)
        kit.put(b, "band" + std::to_string(n), 0, 1 + n);
    kit.put(b, "SupportedBand", 1, 1, 1, 2);
    kit.put(b, "CurrentBand", 1, 3, 1, 2);
    extras->addWidget(band);
    right->addLayout(extras);
    right->addStretch(1);
    columns->addLayout(right, 3);
    return kit.finish(page);
}

}  // namespace hx350::ui
