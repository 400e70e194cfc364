#include "platform/sim/SimWindowProcs.h"

#include "platform/sim/CallFormat.h"

namespace kestrove::sim {

namespace {

constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;

}  // namespace

ProcAddress SimWindowProcs::current(WindowHandle window) const {
    const auto it = procs_.find(window);
    return it != procs_.end() ? it->second : kDefaultProc;
}

MessageResult SimWindowProcs::invoke(ProcAddress proc, WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) {
    if (proc == kDefaultProc) {
        log_.add("DefWindowProc(" + std::to_string(message) + ")");
        return defaultResult_;
    }
    if (proc == 0) return 0;
    return reinterpret_cast<WindowHook*>(proc)->windowProc(window, message, wParam, lParam);
}

MessageResult SimWindowProcs::send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
    if (windows_.ownForm(window) == nullptr) return 0;
    return invoke(current(window), window, message, wParam, lParam);
}

ProcAddress SimWindowProcs::install(WindowHandle window, WindowHook& hook) {
    log_.add("SetPropA(Kestrove.WindowHook)");
    log_.add("SetWindowLongPtrA(-4)");
    if (installFails_ || windows_.ownForm(window) == nullptr) return 0;  // another process's window, or none
    const ProcAddress previous = current(window);
    procs_[window] = reinterpret_cast<ProcAddress>(&hook);
    return previous;
}

void SimWindowProcs::restore(WindowHandle window, ProcAddress previous) {
    if (previous == 0) return;  // as the real service: a window without a procedure would crash
    log_.add("SetWindowLongPtrA(-4)");
    log_.add("RemovePropA(Kestrove.WindowHook)");
    if (windows_.ownForm(window) != nullptr) procs_[window] = previous;
}

void SimWindowProcs::destroying(WindowHandle window) {
    send(window, sys::kWmDestroy, 0, 0);
    procs_.erase(window);
}

MessageResult SimWindowProcs::call(ProcAddress proc, WindowHandle window, std::uint32_t message,
                                   std::uintptr_t wParam, std::intptr_t lParam) {
    log_.add("CallWindowProcA(" + std::to_string(message) + ", " + std::to_string(wParam) + ", " +
             std::to_string(lParam) + ")");
    return invoke(proc, window, message, wParam, lParam);
}

bool SimWindowProcs::isWindow(WindowHandle window) {
    log_.add("IsWindow(" + hex(window) + ")");
    return windows_.exists(window);
}

std::uint32_t SimWindowProcs::registerMessage(const std::string& name) {
    log_.add("RegisterWindowMessageA(" + name + ")");
    return registered(name);
}

std::uint32_t SimWindowProcs::registered(const std::string& name) {
    const auto next = kFirstRegisteredMessage + static_cast<std::uint32_t>(registered_.size());
    return registered_.emplace(name, next).first->second;  // the same name keeps its number
}

void SimWindowProcs::setForeground(WindowHandle window) {
    log_.add("SetForegroundWindow(" + hex(window) + ")");
}

void SimWindowProcs::postNull(WindowHandle window) { log_.add("PostMessageA(" + hex(window) + ", 0)"); }

}  // namespace kestrove::sim
