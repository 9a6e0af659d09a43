// The core's window services (modal message boxes and the application cursor) over Qt.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string_view>

#include "base/window_services.h"

namespace hx350::ui {

class QtWindowServices final : public WindowServices {
  public:
    /// `parent`: the window the boxes belong to (may be null, or set later with setParentWindow).
    explicit QtWindowServices(QWidget* parent = nullptr) : parent_(parent) {}
    ~QtWindowServices() override;

    void setParentWindow(QWidget* parent) { parent_ = parent; }
    /// Unattended runs (the screenshot option): boxes are written to standard error instead of shown.
    void setUnattended(bool unattended) { unattended_ = unattended; }

    /// A modal QMessageBox with `text`, `caption`, `icon` and one OK button. exec() runs a nested event
    /// loop, so timers and the serial poll go on while it is open. CR LF in the text is shown as a line
    /// break.
    void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;

    /// Hourglass: the wait cursor as the one application override cursor; Default: no override. Never
    /// stacks: an active override is restored before another is set.
    void setCursor(CursorShape shape) override;

    /// The shape last set.
    CursorShape cursor() const { return shape_; }

  private:
    QPointer<QWidget> parent_;
    bool override_active_ = false;
    bool unattended_ = false;
    CursorShape shape_ = CursorShape::Default;
};

}  // namespace hx350::ui
