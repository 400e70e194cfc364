#pragma once

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32Windows final : public WindowService {
  public:
    WindowHandle findWindow(const char* classAnsi, const char* titleAnsi) override;
    WindowHandle getWindow(WindowHandle window, unsigned command) override;
    int getClassName(WindowHandle window, char* buffer, int maxCount) override;
    bool getWindowRect(WindowHandle window, ScreenRect& rect) override;
    void drawAnimatedRects(WindowHandle window, int animation, const ScreenRect& from,
                           const ScreenRect& to) override;
    void processWindows(std::span<const std::uint32_t> processIds, WindowVisitor& visitor) override;
    void close(WindowHandle window) override;
};

}  // namespace kestrove::win32
