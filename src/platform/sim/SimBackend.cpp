// The simulated backend's windows and controls: what exists, where it is and what it shows.

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/sim/CallFormat.h"
#include "platform/sim/SimPlatform.h"

namespace kestrove::sim {

using forms::ControlDesc;
using forms::Decoration;
using forms::FormDesc;
using forms::FormEvents;
using forms::MenuEntry;
using forms::NativeId;
using forms::Picture;

namespace {

constexpr IconHandle kIconHandleBase = 0x1C00;

int findCommand(const std::vector<MenuEntry>& entries, const std::string& caption) {
    for (const auto& entry : entries) {
        if (entry.caption == caption) return entry.command;
        if (const int nested = findCommand(entry.children, caption)) return nested;
    }
    return 0;
}

}  // namespace

SimBackend::SimBackend(CallLog& log) : log_(log) {
    pictures_[Picture::AppIcon] = {480, 480};
    pictures_[Picture::Banner] = {1800, 900};
    pictures_[Picture::Logo] = {5115, 2490};
}

SimForm& SimBackend::liveForm(NativeId id) {
    const auto it = forms_.find(id);
    if (it == forms_.end()) throw std::logic_error("no such simulated form: " + std::to_string(id));
    return it->second;
}

SimControl& SimBackend::liveControl(NativeId id) {
    const auto it = controls_.find(id);
    if (it == controls_.end()) throw std::logic_error("no such simulated control: " + std::to_string(id));
    return it->second;
}

NativeId SimBackend::createForm(const FormDesc& desc, FormEvents& events) {
    SimForm form;
    form.id = ++nextId_;
    form.desc = desc;
    form.events = &events;
    form.rect = {0, 0, desc.client.width, desc.client.height};  // where the system puts new windows
    form.hwnd = nextHandle();
    log_.add("CreateWindowExA(" + desc.name + ")");
    const NativeId id = form.id;
    forms_.emplace(id, std::move(form));
    return id;
}

void SimBackend::destroyForm(NativeId id) {
    SimForm& form = liveForm(id);
    if (destroying_) destroying_(form.hwnd);
    log_.add("DestroyWindow(" + form.desc.name + ")");
    for (const NativeId control : form.controls) controls_.erase(control);
    forms_.erase(id);
}

void SimBackend::showForm(NativeId id) {
    SimForm& form = liveForm(id);
    log_.add("ShowWindow(" + form.desc.name + ", show)");
    form.visible = true;
    if (std::exchange(form.shownOnce, true)) return;
    // The first show puts the focus on the lowest tab stop that can take it.
    int lowest = -1;
    for (const NativeId controlId : form.controls) {
        const ControlDesc& desc = controls_.at(controlId).desc;
        if (desc.tabIndex >= 0 && desc.visible && (lowest < 0 || desc.tabIndex < lowest)) {
            lowest = desc.tabIndex;
            form.focus = controlId;
        }
    }
}

void SimBackend::hideForm(NativeId id) {
    SimForm& form = liveForm(id);
    log_.add("ShowWindow(" + form.desc.name + ", hide)");
    form.visible = false;
}

bool SimBackend::formVisible(NativeId id) { return liveForm(id).visible; }

TwipRect SimBackend::formRect(NativeId id) { return liveForm(id).rect; }

void SimBackend::moveForm(NativeId id, const TwipRect& outer) {
    SimForm& form = liveForm(id);
    log_.add("MoveWindow(" + form.desc.name + ", " + twipRect(outer) + ")");
    form.rect = outer;
}

void SimBackend::setDecorations(NativeId id, const std::vector<Decoration>& shapes) {
    liveForm(id).decorations = shapes;
}

WindowHandle SimBackend::windowHandle(NativeId id) { return liveForm(id).hwnd; }

IconHandle SimBackend::iconHandle(NativeId id) { return kIconHandleBase + liveForm(id).id; }

int SimBackend::popupMenu(NativeId id, const std::vector<MenuEntry>& entries) {
    liveForm(id);
    log_.add("TrackPopupMenu");
    lastPopup_ = entries;
    // The menu's own modal loop keeps handling what is queued while it is open.
    runPending();
    const auto choice = std::exchange(popupChoice_, std::nullopt);
    return choice ? findCommand(entries, *choice) : 0;
}

NativeId SimBackend::createControl(NativeId formId, std::size_t index, const ControlDesc& desc) {
    SimForm& form = liveForm(formId);
    SimControl control;
    control.id = ++nextId_;
    control.form = formId;
    control.index = index;
    control.desc = desc;
    control.text = desc.text;
    log_.add("CreateWindowExA(" + desc.name + ")");
    form.controls.push_back(control.id);
    const NativeId id = control.id;
    controls_.emplace(id, std::move(control));
    return id;
}

void SimBackend::moveControl(NativeId id, const TwipRect& rect) {
    SimControl& control = liveControl(id);
    log_.add("MoveWindow(" + control.desc.name + ", " + twipRect(rect) + ")");
    control.desc.rect = rect;
}

void SimBackend::setControlVisible(NativeId id, bool visible) {
    SimControl& control = liveControl(id);
    log_.add("ShowWindow(" + control.desc.name + (visible ? ", show)" : ", hide)"));
    control.desc.visible = visible;
}

void SimBackend::setToolTip(NativeId id, const std::string& text) {
    SimControl& control = liveControl(id);
    log_.add("TTM_ADDTOOLA(" + control.desc.name + ", " + text + ")");
    control.desc.toolTip = text;
}

void SimBackend::setText(NativeId id, const std::string& text) {
    SimControl& control = liveControl(id);
    log_.add("SetWindowTextA(" + control.desc.name + ", " + text + ")");
    control.text = text;
}

void SimBackend::readText(NativeId id, std::string& text) { text.assign(liveControl(id).text); }

void SimBackend::setCheck(NativeId id, int value) {
    SimControl& control = liveControl(id);
    log_.add("SendMessageA(" + control.desc.name + ", BM_SETCHECK, " + std::to_string(value) + ")");
    control.check = value;
}

void SimBackend::addItem(NativeId id, const std::string& item) {
    SimControl& control = liveControl(id);
    log_.add("SendMessageA(" + control.desc.name + ", CB_ADDSTRING, " + item + ")");
    control.items.push_back(item);
}

TwipSize SimBackend::screenSize() { return screen_; }

TwipSize SimBackend::pictureSize(Picture picture) {
    const auto it = pictures_.find(picture);
    return it != pictures_.end() ? it->second : TwipSize{};
}

const SimForm* SimBackend::form(NativeId id) const {
    const auto it = forms_.find(id);
    return it != forms_.end() ? &it->second : nullptr;
}

const SimForm* SimBackend::formNamed(const std::string& name) const {
    for (const auto& [id, form] : forms_) {
        if (form.desc.name == name) return &form;
    }
    return nullptr;
}

std::vector<const SimForm*> SimBackend::forms() const {
    std::vector<const SimForm*> all;
    for (const auto& [id, form] : forms_) all.push_back(&form);
    return all;
}

const SimControl* SimBackend::control(NativeId id) const {
    const auto it = controls_.find(id);
    return it != controls_.end() ? &it->second : nullptr;
}

const SimControl* SimBackend::controlNamed(const std::string& formName,
                                           const std::string& controlName) const {
    const SimForm* owner = formNamed(formName);
    if (owner == nullptr) return nullptr;
    for (const NativeId id : owner->controls) {
        const SimControl& candidate = controls_.at(id);
        if (candidate.desc.name == controlName) return &candidate;
    }
    return nullptr;
}

}  // namespace kestrove::sim
