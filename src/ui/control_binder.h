// One widget per control of the headless form, kept in step with it both ways.
//
// Code -> widget: each control's repaint observer updates its widget with the widget's signals blocked, so
// the form's own updates never come back as user input. Widget -> code: the widget's user signals (a click,
// typing, a slider moved by mouse, keyboard or an assistive tool) go through the control's user path, which
// runs the handler; the widget is then brought back in step with whatever the control holds.
//
// Every widget's objectName and accessible description are the control's name ("TXTSMSb7"); a radio group's
// buttons are named after the group and the 0-based item index ("RadioGroupPort[2]"). Accessible names are
// the human labels of the registry. Controls hidden when the window is built get no widget at all.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/control_registry.h"

class QStatusBar;
class QMenuBar;
class QTabWidget;
class QLabel;

namespace hx350::ui {

/// The name of button `index` of radio group `group`: "RadioGroupPort[2]".
QString radioButtonName(std::string_view group, int index);

/// A memo widget with this property set to true keeps its first line in view when its text changes
/// (the others scroll to their newest line).
inline constexpr const char* kKeepFirstLineProperty = "hx350KeepFirstLine";

/// Whether a control is visible in the form (any kind).
bool controlVisible(const ControlRef& ref);

class ControlBinder : public QObject {
  public:
    explicit ControlBinder(QObject* parent = nullptr);
    /// Detaches from every bound control (their observers are cleared), so the form may outlive the widgets.
    ~ControlBinder() override;

    /// The widget of `entry`, created and bound on the first call: QLineEdit (Edit), QCheckBox, QGroupBox
    /// with radio buttons (RadioGroup), QScrollBar, QSlider (TrackBar), QPushButton, QLabel, QPlainTextEdit
    /// (Memo), QGroupBox (Panel), QListWidget (ListBox). Null for a control hidden at this moment (it never
    /// gets a widget) and for the kinds the window binds itself (PageControl, StatusBar, menus).
    QWidget* widgetFor(const ControlEntry& entry);

    /// The widget already made for control `name`, or null.
    QWidget* find(std::string_view name) const;

    /// Binds the page control to the tab widget (the tabs must exist, one per page, in order).
    void bindPageControl(const ControlEntry& entry, QTabWidget* tabs);
    /// Binds the status bar control's text to `label` inside `bar`, and its message (when `message` is
    /// given) to `message`, which is hidden while the message is empty.
    void bindStatusBar(const ControlEntry& entry, QStatusBar* bar, QLabel* label, QLabel* message = nullptr);
    /// Builds the menus of the menu bar control into `bar`; each command runs its item's user path.
    void bindMainMenu(const ControlEntry& entry, QMenuBar* bar);

  private:
    template <class C>
    void observe(C& control, QWidget* widget, std::function<void()> sync);
    void remember(const ControlEntry& entry, QWidget* widget);

    std::unordered_map<std::string, QPointer<QWidget>> widgets_;
    std::vector<std::function<void()>> detach_;
};

/// Gives `widget` the control's name and its human label for automation and screen readers.
void nameWidget(QWidget* widget, const QString& name, const QString& label);

}  // namespace hx350::ui
