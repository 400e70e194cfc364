#pragma once

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32WindowProcs final : public WindowProcService {
  public:
    ProcAddress install(WindowHandle window, WindowHook& hook) override;
    void restore(WindowHandle window, ProcAddress previous) override;
    MessageResult call(ProcAddress proc, WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override;
    bool isWindow(WindowHandle window) override;
    std::uint32_t registerMessage(const std::string& name) override;
    void setForeground(WindowHandle window) override;
    void postNull(WindowHandle window) override;
};

}  // namespace kestrove::win32
