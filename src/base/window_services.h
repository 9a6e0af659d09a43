// What the core asks of the window: modal message boxes and the mouse cursor.
//
// The core never draws. The Qt front implements this with QMessageBox and the override cursor; tests and
// headless runs use RecordingWindowServices and read back what would have been shown.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hx350 {

enum class MessageIcon { None, Information, Warning, Error };
enum class CursorShape { Default, Hourglass };

class WindowServices {
  public:
    virtual ~WindowServices() = default;
    /// Shows a modal box with one OK button and returns when it is closed. Timers keep firing while it
    /// is open (the box runs a nested event loop), so callers must be ready for re-entry.
    virtual void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) = 0;
    /// Sets the mouse cursor of the whole application (one level, never stacked).
    virtual void setCursor(CursorShape shape) = 0;
};

/// Records every box and cursor change instead of showing them.
class RecordingWindowServices final : public WindowServices {
  public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };
    void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) override {
        messages.push_back({std::string(text), std::string(caption), icon});
    }
    void setCursor(CursorShape shape) override { cursor = shape; }

    std::vector<Message> messages;
    CursorShape cursor = CursorShape::Default;
};

}  // namespace hx350
