#pragma once
// Window procedures of the program's own windows. Each starts with the system's default procedure;
// install() puts a portable WindowProc in its place, and messages sent to the window reach whichever
// procedure is current. Installing and restoring are recorded as the one call "SetWindowLongA(-4)"
// each, the call the program asks for; the real service also keeps the procedure in properties of the
// window and installs a trampoline, which the record leaves out.

#include <map>
#include <string>

#include "platform/Services.h"
#include "platform/sim/SimWindows.h"

namespace kestrove::sim {

class SimWindowProcs final : public WindowProcService {
  public:
    // Stands for DefWindowProc's address; no function of the host process lives there.
    static constexpr ProcAddress kDefaultProc = 0xDEF00000u;

    SimWindowProcs(CallLog& log, SimWindows& windows) : log_(log), windows_(windows) {}

    void setDefaultResult(MessageResult result) { defaultResult_ = result; }
    void setInstallFails(bool fails) { installFails_ = fails; }
    // Puts the default procedure back on a window that is being destroyed while hooked.
    void release(WindowHandle window);
    // The system delivering a message: no CallWindowProcA is recorded.
    MessageResult send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam);

    ProcAddress install(WindowHandle window, WindowProc proc) override;
    void restore(WindowHandle window, ProcAddress previous) override;
    MessageResult call(ProcAddress proc, WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override;
    bool isWindow(WindowHandle window) override;
    std::uint32_t registerMessage(const std::string& name) override;
    void setForeground(WindowHandle window) override;
    void postNull(WindowHandle window) override;

  private:
    ProcAddress current(WindowHandle window) const;
    MessageResult invoke(ProcAddress proc, WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam);

    CallLog& log_;
    SimWindows& windows_;
    MessageResult defaultResult_ = 0;
    bool installFails_ = false;
    std::map<WindowHandle, ProcAddress> procs_;  // windows whose procedure was replaced
    std::map<std::string, std::uint32_t> registered_;
};

}  // namespace kestrove::sim
