// The machine's serial devices numbered 1..16, so that port number n (pnCOMn) names a device path.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace hx350 {

/// Numbers the serial devices of this machine.
///
/// Explicit mappings (number -> any path, for instance from a command-line option) come first; then the
/// detected devices fill the numbers still free, in this order: real /dev/ttyS* (phantom ones, which the
/// kernel lists without hardware behind them, left out), /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyAMA*,
/// /dev/rfcomm*, each family in natural numeric order (ttyUSB2 before ttyUSB10). A path is numbered once.
class PortCatalogue {
  public:
    static constexpr int kFirstNumber = 1;
    static constexpr int kLastNumber = 16;

    /// Says whether the device at `path` is a phantom (listed but absent).
    using PhantomTest = std::function<bool(const std::string& path)>;

    struct Options {
        std::string device_dir = "/dev";  ///< where the device nodes are looked for
        PhantomTest is_phantom;           ///< applied to ttyS* only; empty: isPhantomSerialPort
    };

    /// An empty catalogue (no numbers); call rescan() to fill it.
    PortCatalogue();
    explicit PortCatalogue(Options options);

    /// Maps `number` to `path` ahead of detection. Result: false (and nothing changes) when `number` is
    /// outside 1..16 or `path` is empty. Takes effect at once and survives rescan().
    bool setExplicit(int number, const std::string& path);

    /// Looks at the device folder again and renumbers the detected devices around the explicit ones.
    void rescan();

    /// The path of port `number`, or "" when the number has no device.
    std::string pathOf(int number) const;

    /// pathOf() as a function, for the driver's port lookup. The catalogue must outlive the function;
    /// later changes (rescan, explicit mappings) show through it.
    std::function<std::string(int number)> lookup() const {
        return [this](int number) { return pathOf(number); };
    }

    /// Every numbered port, by number.
    const std::map<int, std::string>& ports() const { return ports_; }

    /// The detected device paths in catalogue order (before numbering), for diagnostics.
    const std::vector<std::string>& detected() const { return detected_; }

    /// The default phantom test: sysfs gives the port type as unknown ("type" attribute 0). A port sysfs
    /// says nothing of is kept; no device is ever opened to ask.
    static bool isPhantomSerialPort(const std::string& path);

  private:
    void renumber();

    Options options_;
    std::map<int, std::string> explicit_;
    std::vector<std::string> detected_;
    std::map<int, std::string> ports_;
};

}  // namespace hx350
