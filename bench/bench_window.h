// Window services for the benchmarks: they only count boxes, so a benchmark that shows one per iteration
// does not grow a list for millions of iterations. (The link's window seam comes from the link tests.)
#pragma once

#include <string_view>

#include "base/window_services.h"

namespace hx350::bench {

class SilentServices final : public WindowServices {
  public:
    void showMessage(std::string_view, std::string_view, MessageIcon) override { ++messages; }
    void setCursor(CursorShape) override {}
    int messages = 0;
};

}  // namespace hx350::bench
