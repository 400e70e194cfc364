#pragma once
// Window procedures of the program's own windows. Each starts with the system's default procedure;
// install() puts a portable hook in its place, and messages sent to the window reach whichever procedure
// is current. The record names the calls the real service makes: installing is
// "SetPropA(Kestrove.WindowHook)" (the hook kept in a property of the window) then "SetWindowLongPtrA(-4)"
// (its trampoline put in place); restoring is "SetWindowLongPtrA(-4)" then
// "RemovePropA(Kestrove.WindowHook)".

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
    // The window is being destroyed: its procedure gets WM_DESTROY, then the window forgets it.
    void destroying(WindowHandle window);
    // The system delivering a message: no CallWindowProcA is recorded.
    MessageResult send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam);

    ProcAddress install(WindowHandle window, WindowHook& hook) override;
    void restore(WindowHandle window, ProcAddress previous) override;
    MessageResult call(ProcAddress proc, WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override;
    bool isWindow(WindowHandle window) override;
    std::uint32_t registerMessage(const std::string& name) override;
    std::uint32_t registered(const std::string& name);  // the same, unrecorded: the system's own use
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
