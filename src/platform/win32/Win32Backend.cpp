#include "platform/win32/Win32Backend.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/win32/OneKeeper.h"
#include "platform/win32/PopupMenu.h"

namespace kestrove::win32 {
namespace {

Dpi screenDpi() {
    const WindowDc screen(nullptr);
    const int x = GetDeviceCaps(screen.get(), LOGPIXELSX), y = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return {x > 0 ? x : 96, y > 0 ? y : 96};
}

}  // namespace

Win32Backend::Win32Backend(HINSTANCE instance)
    : dpi_(screenDpi()),
      activateRequest_(RegisterWindowMessageA(kActivateRequestMessage)),
      windowClass_(instance),
      pictures_(instance, dpi_),
      timers_(windowClass_) {}

forms::NativeId Win32Backend::createForm(const forms::FormDesc& desc, forms::FormEvents& events) {
    forms_.push_back(std::make_unique<FormWindow>(
        FormContext{windowClass_, pictures_, dpi_, activateRequest_}, desc, events));
    return reinterpret_cast<forms::NativeId>(forms_.back().get());
}

void Win32Backend::destroyForm(forms::NativeId id) {
    const auto found = std::find_if(forms_.begin(), forms_.end(), [&](const auto& owned) {
        return reinterpret_cast<forms::NativeId>(owned.get()) == id;
    });
    if (found == forms_.end()) return;
    // Out of the list before the window goes, so that nothing reaches it while it is being destroyed.
    const std::unique_ptr<FormWindow> doomed = std::move(*found);
    forms_.erase(found);
}

void Win32Backend::showForm(forms::NativeId id) { form(id).show(); }
void Win32Backend::hideForm(forms::NativeId id) { form(id).hide(); }
bool Win32Backend::formVisible(forms::NativeId id) { return form(id).visible(); }
TwipRect Win32Backend::formRect(forms::NativeId id) { return form(id).rect(); }
void Win32Backend::moveForm(forms::NativeId id, const TwipRect& outer) { form(id).move(outer); }

void Win32Backend::setDecorations(forms::NativeId id, const std::vector<forms::Decoration>& shapes) {
    form(id).setDecorations(shapes);
}

WindowHandle Win32Backend::windowHandle(forms::NativeId id) {
    return reinterpret_cast<WindowHandle>(form(id).hwnd());
}

IconHandle Win32Backend::iconHandle(forms::NativeId) {
    return reinterpret_cast<IconHandle>(pictures_.appIcon());
}

int Win32Backend::popupMenu(forms::NativeId id, const std::vector<forms::MenuEntry>& entries) {
    return trackPopupMenu(form(id).hwnd(), entries);
}

forms::NativeId Win32Backend::createControl(forms::NativeId formId, std::size_t index,
                                            const forms::ControlDesc& desc) {
    return reinterpret_cast<forms::NativeId>(&form(formId).addControl(index, desc));
}

void Win32Backend::moveControl(forms::NativeId id, const TwipRect& rect) { control(id).move(rect); }
void Win32Backend::setControlVisible(forms::NativeId id, bool visible) { control(id).setVisible(visible); }
void Win32Backend::setText(forms::NativeId id, const std::string& text) { control(id).setText(text); }
void Win32Backend::readText(forms::NativeId id, std::string& text) {
    control(id).readText(text, readScratch_);
}
void Win32Backend::setCheck(forms::NativeId id, int value) { control(id).setCheck(value); }

void Win32Backend::setToolTip(forms::NativeId id, const std::string& text) { control(id).setToolTip(text); }
void Win32Backend::addItem(forms::NativeId id, const std::string& item) { control(id).addItem(item); }

forms::TimerId Win32Backend::startTimer(unsigned intervalMs, forms::TimerSink& sink) {
    return timers_.start(intervalMs, sink);
}

void Win32Backend::stopTimer(forms::TimerId timer) { timers_.stop(timer); }

// The timer ticks that come every millisecond go straight to their timers, past the dialog manager and
// the system's dispatch to the timer window's procedure, which under Wine costs more than the watch's
// own work; the system's own modal loops (a pop-up menu, a message box) still dispatch them to that
// window. Keyboard input to a form goes through the dialog manager, so that Tab, Alt+letter and Space
// work; nothing else needs it, and finding the form costs a call into the system per message (IsChild).
void Win32Backend::dispatch(MSG& message) {
    if (message.message == WM_TIMER && message.hwnd == timers_.hwnd()) {
        timers_.tick(static_cast<forms::TimerId>(message.wParam));
        return;
    }
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
        for (const auto& window : forms_) {
            HWND form = window->hwnd();
            if (message.hwnd == form || IsChild(form, message.hwnd)) {
                if (IsDialogMessageA(form, &message)) return;  // the forms may have changed meanwhile
                break;
            }
        }
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void Win32Backend::doEvents() {
    // What is pending now, not what keeps coming: a timer tick or a repaint that comes round again
    // within one pass ends it, so a handler slower than its timer cannot keep the caller here.
    std::vector<std::pair<HWND, WPARAM>> recurring;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that owns it
            return;
        }
        if (message.message == WM_TIMER || message.message == WM_PAINT) {
            const std::pair key{message.hwnd, message.message == WM_TIMER ? message.wParam : WPARAM{0}};
            if (std::find(recurring.begin(), recurring.end(), key) != recurring.end()) return;
            recurring.push_back(key);
        }
        dispatch(message);
    }
}

void Win32Backend::waitForMessages(unsigned maxMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, maxMs, QS_ALLINPUT);
}

std::uint32_t Win32Backend::tickCount() { return GetTickCount(); }

void Win32Backend::runMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) dispatch(message);
}

void Win32Backend::quit() { PostQuitMessage(0); }

TwipSize Win32Backend::screenSize() {
    return {pixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi_.x),
            pixelsToTwips(GetSystemMetrics(SM_CYSCREEN), dpi_.y)};
}

TwipSize Win32Backend::pictureSize(forms::Picture picture) { return pictures_.size(picture); }

}  // namespace kestrove::win32
