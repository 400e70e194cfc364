#include "platform/sim/SimWindows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/SystemCodes.h"
#include "platform/sim/CallFormat.h"

namespace kestrove::sim {

namespace {

constexpr const char* kFormClass = "KestroveForm";
constexpr float kTwipsPerPixel = 15;

std::string optionalText(const char* text) { return text ? text : "NULL"; }

std::int32_t pixels(Twips value) { return static_cast<std::int32_t>(std::lround(value / kTwipsPerPixel)); }

}  // namespace

WindowHandle SimWindows::add(std::string className, std::string title, std::uint32_t processId,
                             WindowHandle parent) {
    const WindowHandle handle = nextHandle_ += 4;
    windows_.push_back(Scripted{handle, std::move(className), std::move(title), processId, parent, {}});
    return handle;
}

void SimWindows::remove(WindowHandle window) {
    std::vector<WindowHandle> doomed{window};
    for (std::size_t i = 0; i < doomed.size(); ++i) {
        for (const auto& w : windows_) {
            if (w.parent == doomed[i]) doomed.push_back(w.handle);
        }
    }
    std::erase_if(windows_,
                  [&](const Scripted& w) { return std::ranges::find(doomed, w.handle) != doomed.end(); });
}

void SimWindows::removeProcessWindows(std::uint32_t processId) {
    std::vector<WindowHandle> owned;
    for (const auto& w : windows_) {
        if (w.processId == processId) owned.push_back(w.handle);
    }
    for (const WindowHandle w : owned) remove(w);
}

SimWindows::Scripted* SimWindows::scripted(WindowHandle window) {
    const auto it = std::ranges::find(windows_, window, &Scripted::handle);
    return it != windows_.end() ? &*it : nullptr;
}

const SimForm* SimWindows::ownForm(WindowHandle window) const {
    if (window == 0) return nullptr;
    for (const SimForm* form : forms_.forms()) {
        if (form->hwnd == window) return form;
    }
    return nullptr;
}

bool SimWindows::exists(WindowHandle window) const {
    return ownForm(window) != nullptr ||
           std::ranges::find(windows_, window, &Scripted::handle) != windows_.end();
}

void SimWindows::setVisible(WindowHandle window, bool visible) {
    if (Scripted* w = scripted(window)) w->visible = visible;
}

void SimWindows::setRect(WindowHandle window, ScreenRect rect) {
    if (Scripted* w = scripted(window)) w->rect = rect;
}

std::string SimWindows::className(WindowHandle window) const {
    if (ownForm(window) != nullptr) return kFormClass;
    const auto it = std::ranges::find(windows_, window, &Scripted::handle);
    return it != windows_.end() ? it->className : std::string();
}

WindowHandle SimWindows::findWindow(const char* classAnsi, const char* titleAnsi) {
    log_.add("FindWindowA(" + optionalText(classAnsi) + ", " + optionalText(titleAnsi) + ")");
    const auto matches = [&](const std::string& cls, const std::string& title) {
        return (!classAnsi || cls == classAnsi) && (!titleAnsi || title == titleAnsi);
    };
    for (const auto& w : windows_) {
        if (w.parent == 0 && matches(w.className, w.title)) return w.handle;
    }
    for (const SimForm* form : forms_.forms()) {
        if (matches(kFormClass, codePage_.toAnsi(form->desc.caption))) return form->hwnd;
    }
    return 0;
}

WindowHandle SimWindows::getWindow(WindowHandle window, unsigned command) {
    log_.add("GetWindow(" + hex(window) + ", " + std::to_string(command) + ")");
    if (window == 0) return 0;
    if (command == sys::kGwChild) {
        const auto child = std::ranges::find(windows_, window, &Scripted::parent);
        return child != windows_.end() ? child->handle : 0;
    }
    if (command == sys::kGwHwndNext) {
        auto at = std::ranges::find(windows_, window, &Scripted::handle);
        if (at == windows_.end()) return 0;
        const WindowHandle parent = at->parent;
        const auto next =
            std::find_if(at + 1, windows_.end(), [&](const Scripted& w) { return w.parent == parent; });
        return next != windows_.end() ? next->handle : 0;
    }
    return 0;
}

int SimWindows::getClassName(WindowHandle window, char* buffer, int maxCount) {
    log_.add("GetClassNameA(" + hex(window) + ", " + std::to_string(maxCount) + ")");
    if (!exists(window) || maxCount <= 0) return 0;
    const std::string name = className(window);
    const std::size_t length = std::min(name.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

bool SimWindows::getWindowRect(WindowHandle window, ScreenRect& rect) {
    log_.add("GetWindowRect(" + hex(window) + ")");
    if (const SimForm* form = ownForm(window)) {
        const TwipRect& r = form->rect;
        rect = {pixels(r.left), pixels(r.top), pixels(r.left + r.width), pixels(r.top + r.height)};
        return true;
    }
    if (Scripted* w = scripted(window)) {
        rect = w->rect;
        return true;
    }
    return false;
}

void SimWindows::drawAnimatedRects(WindowHandle window, int animation, const ScreenRect& from,
                                   const ScreenRect& to) {
    log_.add("DrawAnimatedRects(" + hex(window) + ", " + std::to_string(animation) + ", " + screenRect(from) +
             ", " + screenRect(to) + ")");
}

void SimWindows::processWindows(std::span<const std::uint32_t> processIds, WindowVisitor& visitor) {
    std::string ids;
    for (const std::uint32_t id : processIds) ids += (ids.empty() ? "" : " ") + std::to_string(id);
    log_.add("EnumWindows(processes " + ids + ")");
    std::vector<Scripted> found;  // a copy: the visitor may close windows
    for (const auto& w : windows_) {
        if (w.parent != 0 || !w.visible) continue;
        if (std::find(processIds.begin(), processIds.end(), w.processId) != processIds.end())
            found.push_back(w);
    }
    for (const Scripted& w : found) {
        if (!visitor.visit(w.handle, w.className, w.title)) return;
    }
}

void SimWindows::close(WindowHandle window) {
    log_.add("PostMessageA(" + hex(window) + ", WM_CLOSE)");
    closed_.push_back(window);
    remove(window);
}

}  // namespace kestrove::sim
