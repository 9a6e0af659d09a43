// The main window: the frame around the thirteen pages, the menu and the status bar, all bound to the
// headless form.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QString>
#include <QTabWidget>
#include <array>

#include "app/form.h"
#include "ui/control_binder.h"
#include "ui/message_log_dialog.h"
#include "ui/module_run_dialog.h"

namespace hx350::ui {

/// The application's names and look: application name and display name "KALDEROMIX", the program's
/// version, and the 8-point sans-serif font of the window design. Call once after creating QApplication.
void applyApplicationLook();

class MainWindow : public QMainWindow {
  public:
    /// Builds the frame and the page shown first, and binds them to `form`; every other page gets its
    /// widgets the first time it is shown (or by buildAllPages()). `form` must outlive the window (the
    /// window detaches from it when destroyed).
    explicit MainWindow(TForm1& form, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// The widget of control `name`, or null (hidden control, unknown name).
    QWidget* controlWidget(std::string_view name) const { return binder_->find(name); }
    QTabWidget* pages() const { return tabs_; }

    /// Builds the widgets of every page not built yet (pages are otherwise built when first shown).
    void buildAllPages();
    /// Whether page `index` has its widgets yet.
    bool pageBuilt(int index) const;

    /// Shows each page in turn and saves a picture of the whole window as DIR/NN-caption.png (01-main.png
    /// ...), then shows the page that was active before. Result: false with `error` set when the folder
    /// cannot be made or a file cannot be written.
    bool savePagePictures(const QString& dir, QString* error);

    /// "Option" > "Received Messages": shows the log of listed messages (one window, brought to the front
    /// when already open).
    void showReceivedMessages();
    /// "Option" > "Write All to Module..." / "Read All from Module..." / "Verify Module...": the run's
    /// dialog (reading in SMS mode is refused with a sentence saying why, and nothing is sent).
    void showModuleRun(ModuleRunKind kind);
    /// The end of "Verify Module...": the compare table of the settings the module holds otherwise, or a
    /// short message when none does.
    void showVerification(const ModuleRun& run);
    /// The last run's dialog, once opened; null before.
    ModuleRunDialog* moduleRun() const { return module_run_; }
    /// The log window, once opened; null before.
    MessageLogDialog* receivedMessages() const { return message_log_; }

  private:
    void buildFrame();
    void buildPage(int index);
    void closeSoon();
    void addReceivedMessagesCommand();

    TForm1& form_;
    ControlBinder* binder_;
    QTabWidget* tabs_ = nullptr;
    std::array<QWidget*, kPageCount> holders_{};
    std::array<bool, kPageCount> built_{};
    QLabel* port_state_ = nullptr;
    QLabel* message_ = nullptr;
    MessageLogDialog* message_log_ = nullptr;
    ModuleRunDialog* module_run_ = nullptr;
};

}  // namespace hx350::ui
