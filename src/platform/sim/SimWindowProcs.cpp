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
    return reinterpret_cast<WindowProc>(proc)(window, message, wParam, lParam);
}

MessageResult SimWindowProcs::send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
    if (windows_.ownForm(window) == nullptr) return 0;
    return invoke(current(window), window, message, wParam, lParam);
}

ProcAddress SimWindowProcs::install(WindowHandle window, WindowProc proc) {
    log_.add("SetWindowLongA(-4)");
    if (installFails_ || windows_.ownForm(window) == nullptr) return 0;  // another process's window, or none
    const ProcAddress previous = current(window);
    procs_[window] = reinterpret_cast<ProcAddress>(proc);
    return previous;
}

void SimWindowProcs::restore(WindowHandle window, ProcAddress previous) {
    log_.add("SetWindowLongA(-4)");
    if (windows_.ownForm(window) != nullptr) procs_[window] = previous;
}

void SimWindowProcs::release(WindowHandle window) {
    if (current(window) != kDefaultProc) restore(window, kDefaultProc);
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
    const auto next = kFirstRegisteredMessage + static_cast<std::uint32_t>(registered_.size());
    return registered_.emplace(name, next).first->second;  // the same name keeps its number
}

void SimWindowProcs::setForeground(WindowHandle window) {
    log_.add("SetForegroundWindow(" + hex(window) + ")");
}

void SimWindowProcs::postNull(WindowHandle window) { log_.add("PostMessageA(" + hex(window) + ", 0)"); }

}  // namespace kestrove::sim
