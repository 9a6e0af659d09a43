// Developer timing of start-up: how long the program takes from the start of its process to the first
// painted frame of its main window.
#pragma once

#include <QObject>
#include <cstdint>

class QWidget;

namespace hx350::ui {

/// Milliseconds since the kernel started this process, to about a millisecond. The kernel reports the
/// start in clock ticks (10 ms); the time already spent before main() narrows that down (see the .cpp).
/// Result: -1 when /proc cannot be read.
double millisecondsSinceProcessStart();

/// Records the moment the program reached main(); call it first thing in main().
void markMainEntered();

/// Watches `window` for its first paint. Once that frame has been painted and handed to the window system,
/// prints "first-paint-ms: N.N" and a line end to standard output and quits the application with status 0.
class FirstPaintProbe final : public QObject {
  public:
    /// Parameters: window - the top-level window to watch; must outlive the probe.
    explicit FirstPaintProbe(QWidget& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool seen_ = false;
};

}  // namespace hx350::ui
