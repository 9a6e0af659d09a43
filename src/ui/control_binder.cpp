#include "ui/control_binder.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <memory>
#include <variant>

#include "app/controls.h"
#include "base/memo.h"
#include "ui/latin1.h"

namespace hx350::ui {

namespace {

// Radio groups lay out their items in columns of at most this many.
constexpr int kRadioItemsPerColumn = 8;

void setVisibleFrom(QWidget* widget, bool visible) {
    // Only the control's own visibility is mirrored: a widget on an unselected page stays unshown by Qt.
    // A widget not yet placed in the window is never shown (it would open as a window of its own).
    if (!visible) {
        if (!widget->isHidden() || !widget->testAttribute(Qt::WA_WState_ExplicitShowHide)) widget->hide();
    } else if (widget->parentWidget() != nullptr && widget->isHidden()) {
        widget->show();
    }
}

QColor qtColor(Color color) {
    return QColor(color.r, color.g, color.b);
}

void setBase(QWidget* widget, Color color) {
    QPalette palette = widget->palette();
    if (palette.color(QPalette::Base) == qtColor(color)) return;
    palette.setColor(QPalette::Base, qtColor(color));
    widget->setPalette(palette);
}

QString memoText(const Memo& memo) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(memo.Count()));
    for (const std::string& line : memo.Lines())
        lines.push_back(fromCore(line));
    return lines.join(QLatin1Char('\n'));
}

// ---- code -> widget

void syncEdit(const Edit& edit, QLineEdit* w) {
    QSignalBlocker block(w);
    const QString text = fromCore(edit.Text());
    if (w->text() != text) {
        const int cursor = w->cursorPosition();
        w->setText(text);
        w->setCursorPosition(std::min<int>(cursor, static_cast<int>(text.size())));
    }
    w->setReadOnly(edit.ReadOnly());
    // A read-only field cannot take the keyboard focus by Tab, as in the window design.
    w->setFocusPolicy(edit.ReadOnly() ? Qt::ClickFocus : Qt::StrongFocus);
    setBase(w, edit.color());
    setVisibleFrom(w, edit.Visible());
}

void syncCheckBox(const CheckBox& box, QCheckBox* w) {
    QSignalBlocker block(w);
    w->setChecked(box.Checked());
    const QString caption = fromCore(box.Caption());
    if (w->text() != caption) w->setText(caption);
    setVisibleFrom(w, box.Visible());
}

void syncRadioGroup(const RadioGroup& group, QGroupBox* w, QButtonGroup* buttons) {
    const QString caption = fromCore(group.Caption());
    if (w->title() != caption) w->setTitle(caption);
    const auto& items = group.Items();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        QAbstractButton* b = buttons->button(i);
        if (b == nullptr) continue;
        const QString text = fromCore(items[static_cast<std::size_t>(i)]);
        if (b->text() != text) {
            b->setText(text);
            b->setAccessibleName(text);
        }
    }
    QSignalBlocker block(buttons);
    const int index = group.ItemIndex();
    if (index < 0) {
        // An exclusive group cannot uncheck its checked button; lift the rule for the moment.
        buttons->setExclusive(false);
        for (QAbstractButton* b : buttons->buttons()) {
            QSignalBlocker button_block(b);
            b->setChecked(false);
        }
        buttons->setExclusive(true);
    } else if (QAbstractButton* b = buttons->button(index)) {
        QSignalBlocker button_block(b);
        b->setChecked(true);
    }
    setVisibleFrom(w, group.Visible());
}

void syncRange(const RangeControl& range, QAbstractSlider* w) {
    QSignalBlocker block(w);
    w->setRange(range.Min(), range.Max());
    w->setValue(range.Position());
    setVisibleFrom(w, range.Visible());
}

void syncButton(const Button& button, QPushButton* w) {
    const QString caption = fromCore(button.Caption());
    if (w->text() != caption) w->setText(caption);
    setVisibleFrom(w, button.Visible());
}

void syncLabel(const Label& label, QLabel* w) {
    const QString caption = fromCore(label.Caption());
    if (w->text() != caption) w->setText(caption);
    setVisibleFrom(w, label.Visible());
}

void syncMemo(const Memo& memo, QPlainTextEdit* w) {
    const QString text = memoText(memo);
    if (w->toPlainText() != text) {
        QSignalBlocker block(w);
        w->setPlainText(text);
        // New answers arrive at the end: keep the newest line in view. A memo marked to show its first
        // line (the one-line log memo, whose second line is the empty line after a released PDU) stays at
        // the top instead.
        if (QScrollBar* bar = w->verticalScrollBar())
            bar->setValue(w->property(kKeepFirstLineProperty).toBool() ? bar->minimum() : bar->maximum());
    }
    // The background, like an edit's: the received-text memo turns cream with the data-entry fields.
    setBase(w, memo.color());
    setVisibleFrom(w, memo.Visible());
}

void syncPanel(const Panel& panel, QGroupBox* w) {
    const QString caption = fromCore(panel.Caption());
    if (w->title() != caption) w->setTitle(caption);
    setVisibleFrom(w, panel.Visible());
}

void syncListBox(const ListBox& list, QListWidget* w) {
    QSignalBlocker block(w);
    QStringList items;
    for (const std::string& item : list.Items())
        items.push_back(fromCore(item));
    bool same = w->count() == items.size();
    for (int i = 0; same && i < w->count(); ++i)
        same = w->item(i)->text() == items[i];
    if (!same) {
        w->clear();
        w->addItems(items);
    }
    w->setCurrentRow(list.ItemIndex());
    setBase(w, list.color());
    setVisibleFrom(w, list.Visible());
}

}  // namespace

QString radioButtonName(std::string_view group, int index) {
    return fromCore(group) + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
}

bool controlVisible(const ControlRef& ref) {
    return std::visit([](auto* control) { return control->Visible(); }, ref);
}

void nameWidget(QWidget* widget, const QString& name, const QString& label) {
    widget->setObjectName(name);
    widget->setAccessibleDescription(name);
    widget->setAccessibleName(label.isEmpty() ? name : label);
}

ControlBinder::ControlBinder(QObject* parent) : QObject(parent) {}

ControlBinder::~ControlBinder() {
    for (auto& detach : detach_)
        detach();
}

template <class C>
void ControlBinder::observe(C& control, QWidget* widget, std::function<void()> sync) {
    QPointer<QWidget> guard(widget);
    auto repaint = [guard, sync] {
        if (guard) sync();
    };
    if constexpr (std::is_same_v<C, Memo>) {
        control.setOnChange(repaint);
        detach_.push_back([&control] { control.setOnChange({}); });
    } else {
        control.setObserver(repaint);
        detach_.push_back([&control] { control.setObserver({}); });
    }
    sync();
}

void ControlBinder::remember(const ControlEntry& entry, QWidget* widget) {
    nameWidget(widget, fromCore(entry.name), fromCore(entry.label));
    widgets_[entry.name] = widget;
}

QWidget* ControlBinder::find(std::string_view name) const {
    const auto it = widgets_.find(std::string(name));
    return it == widgets_.end() ? nullptr : it->second.data();
}

QWidget* ControlBinder::widgetFor(const ControlEntry& entry) {
    if (QWidget* made = find(entry.name)) return made;
    if (!controlVisible(entry.ref)) return nullptr;

    struct Maker {
        ControlBinder& self;
        const ControlEntry& entry;

        QWidget* operator()(Edit* edit) {
            auto* w = new QLineEdit;
            self.remember(entry, w);
            // Typing, pasting and text set by an assistive tool arrive here; the form's own updates are
            // made with signals blocked. The edit limit is applied by the control's user path, not by the
            // widget, because text set from code is never cut.
            QObject::connect(w, &QLineEdit::textChanged, w, [edit, w](const QString& text) {
                edit->userSetText(toCore(text));
                syncEdit(*edit, w);
            });
            self.observe(*edit, w, [edit, w] { syncEdit(*edit, w); });
            return w;
        }
        QWidget* operator()(CheckBox* box) {
            auto* w = new QCheckBox;
            self.remember(entry, w);
            QObject::connect(w, &QCheckBox::toggled, w, [box, w](bool checked) {
                box->userSetChecked(checked);
                syncCheckBox(*box, w);
            });
            self.observe(*box, w, [box, w] { syncCheckBox(*box, w); });
            return w;
        }
        QWidget* operator()(RadioGroup* group) {
            auto* w = new QGroupBox;
            self.remember(entry, w);
            auto* buttons = new QButtonGroup(w);
            buttons->setExclusive(true);
            auto* grid = new QGridLayout(w);
            grid->setContentsMargins(6, 2, 6, 2);
            grid->setVerticalSpacing(0);
            const int count = static_cast<int>(group->Items().size());
            for (int i = 0; i < count; ++i) {
                auto* b = new QRadioButton(fromCore(group->Items()[static_cast<std::size_t>(i)]), w);
                const QString name = radioButtonName(entry.name, i);
                b->setObjectName(name);
                b->setAccessibleDescription(name);
                b->setAccessibleName(b->text());
                buttons->addButton(b, i);
                grid->addWidget(b, i % kRadioItemsPerColumn, i / kRadioItemsPerColumn);
            }
            QObject::connect(buttons, &QButtonGroup::idToggled, w, [group, w, buttons](int id, bool checked) {
                if (!checked) return;
                group->userSetItemIndex(id);
                syncRadioGroup(*group, w, buttons);
            });
            // A click on the item already selected toggles nothing; it is a choice made again. What was
            // selected when the button went down tells it from a click that changed the selection.
            auto selected_at_press = std::make_shared<int>(-1);
            QObject::connect(buttons, &QButtonGroup::idPressed, w,
                             [group, selected_at_press](int) { *selected_at_press = group->ItemIndex(); });
            QObject::connect(buttons, &QButtonGroup::idClicked, w, [group, selected_at_press](int id) {
                if (id == *selected_at_press && id == group->ItemIndex()) group->userReselect();
                *selected_at_press = -1;
            });
            self.observe(*group, w, [group, w, buttons] { syncRadioGroup(*group, w, buttons); });
            return w;
        }
        QWidget* operator()(ScrollBar* bar) { return range(bar, new QScrollBar(Qt::Horizontal)); }
        QWidget* operator()(TrackBar* bar) {
            auto* slider = new QSlider(Qt::Horizontal);
            slider->setTickPosition(QSlider::TicksBelow);
            return range(bar, slider);
        }
        QWidget* range(RangeControl* control, QAbstractSlider* w) {
            self.remember(entry, w);
            w->setPageStep(std::max(1, (control->Max() - control->Min()) / 10));
            if (auto* slider = qobject_cast<QSlider*>(w)) slider->setTickInterval(w->pageStep());
            // A mouse drag, a key, a wheel step and a value set through the accessibility interface all
            // come as valueChanged: each is user input and runs the handler.
            QObject::connect(w, &QAbstractSlider::valueChanged, w, [control, w](int value) {
                control->userSetPosition(value);
                syncRange(*control, w);
            });
            self.observe(*control, w, [control, w] { syncRange(*control, w); });
            return w;
        }
        QWidget* operator()(Button* button) {
            auto* w = new QPushButton;
            self.remember(entry, w);
            w->setAutoDefault(false);
            QObject::connect(w, &QPushButton::clicked, w, [button, w] {
                button->userClick();
                syncButton(*button, w);
            });
            self.observe(*button, w, [button, w] { syncButton(*button, w); });
            return w;
        }
        QWidget* operator()(Label* label) {
            auto* w = new QLabel;
            self.remember(entry, w);
            self.observe(*label, w, [label, w] { syncLabel(*label, w); });
            return w;
        }
        QWidget* operator()(Memo* memo) {
            auto* w = new QPlainTextEdit;
            self.remember(entry, w);
            // The memos show what the link writes; there is nothing for the user to type into them.
            w->setReadOnly(true);
            w->setLineWrapMode(QPlainTextEdit::NoWrap);
            self.observe(*memo, w, [memo, w] { syncMemo(*memo, w); });
            return w;
        }
        QWidget* operator()(Panel* panel) {
            auto* w = new QGroupBox;
            self.remember(entry, w);
            self.observe(*panel, w, [panel, w] { syncPanel(*panel, w); });
            return w;
        }
        QWidget* operator()(ListBox* list) {
            auto* w = new QListWidget;
            self.remember(entry, w);
            self.observe(*list, w, [list, w] { syncListBox(*list, w); });
            return w;
        }
        QWidget* operator()(PageControl*) { return nullptr; }
        QWidget* operator()(StatusBar*) { return nullptr; }
        QWidget* operator()(MainMenu*) { return nullptr; }
        QWidget* operator()(MenuItem*) { return nullptr; }
    };
    return std::visit(Maker{*this, entry}, entry.ref);
}

void ControlBinder::bindPageControl(const ControlEntry& entry, QTabWidget* tabs) {
    auto* pages = std::get<PageControl*>(entry.ref);
    remember(entry, tabs);
    const auto sync = [pages, tabs] {
        QSignalBlocker block(tabs);
        for (int i = 0; i < tabs->count() && i < pages->PageCount(); ++i)
            tabs->setTabText(i, fromCore(pages->Pages()[static_cast<std::size_t>(i)]));
        tabs->setCurrentIndex(pages->ActivePageIndex());
    };
    QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [pages, sync](int index) {
        pages->userSelectPage(index);
        sync();
    });
    observe(*pages, tabs, sync);
}

void ControlBinder::bindStatusBar(const ControlEntry& entry, QStatusBar* bar, QLabel* label,
                                  QLabel* message) {
    auto* status = std::get<StatusBar*>(entry.ref);
    remember(entry, bar);
    label->setObjectName(QStringLiteral("StatusBar1Text"));
    label->setAccessibleName(QStringLiteral("Serial port state"));
    label->setAccessibleDescription(QStringLiteral("StatusBar1Text"));
    if (message != nullptr) {
        // The texts carry numbers and words from the phone: shown as they are, never as markup.
        message->setTextFormat(Qt::PlainText);
        message->setObjectName(QStringLiteral("StatusBar1Message"));
        message->setAccessibleDescription(QStringLiteral("StatusBar1Message"));
    }
    QPointer<QLabel> message_guard(message);
    observe(*status, bar, [status, bar, label, message_guard] {
        label->setText(fromCore(status->Text()));
        if (message_guard) {
            const QString text = fromCore(status->Message());
            message_guard->setText(text);
            message_guard->setAccessibleName(text);
            message_guard->setVisible(!text.isEmpty());
        }
        setVisibleFrom(bar, status->Visible());
    });
}

void ControlBinder::bindMainMenu(const ControlEntry& entry, QMenuBar* bar) {
    auto* menu_bar = std::get<MainMenu*>(entry.ref);
    remember(entry, bar);
    for (const MainMenu::Menu& m : menu_bar->Menus()) {
        QMenu* menu = bar->addMenu(fromCore(m.title->Caption()));
        nameWidget(menu, fromCore(m.title->name()), fromCore(m.title->Caption()));
        widgets_[m.title->name()] = menu;
        for (MenuItem* item : m.commands) {
            QAction* action = menu->addAction(fromCore(item->Caption()));
            action->setObjectName(fromCore(item->name()));
            QObject::connect(action, &QAction::triggered, menu, [item] { item->userClick(); });
        }
    }
}

}  // namespace hx350::ui
