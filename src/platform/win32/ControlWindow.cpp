#include "platform/win32/ControlWindow.h"

#include <commctrl.h>
#include <windowsx.h>

#include "platform/win32/AnsiText.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/MouseInput.h"

namespace kestrove::win32 {
namespace {

static_assert(mouseFlag::kLeft == MK_LBUTTON && mouseFlag::kRight == MK_RBUTTON &&
              mouseFlag::kShift == MK_SHIFT && mouseFlag::kControl == MK_CONTROL &&
              mouseFlag::kMiddle == MK_MBUTTON);

struct Creation {
    const char* windowClass;
    DWORD style;
};

Creation creationFor(const forms::ControlDesc& desc) {
    switch (desc.kind) {
        case forms::ControlKind::CheckBox:
            return {"BUTTON", BS_3STATE};  // the core owns the value
        case forms::ControlKind::ComboBox:
            return {"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL};
        case forms::ControlKind::Button:
            return {"BUTTON", BS_PUSHBUTTON};
        case forms::ControlKind::Label:
            return {"STATIC", static_cast<DWORD>(
                                  SS_NOTIFY | (desc.align == forms::TextAlign::Centre ? SS_CENTER : SS_LEFT) |
                                  (desc.border ? WS_BORDER : 0))};
        case forms::ControlKind::Image:
            break;
    }
    return {"STATIC", SS_NOTIFY | SS_LEFT};
}

bool takesOwnMouse(forms::ControlKind kind) {
    return kind == forms::ControlKind::Label || kind == forms::ControlKind::Image;
}

bool subclassed(forms::ControlKind kind) {
    return takesOwnMouse(kind) || kind == forms::ControlKind::ComboBox;
}

// What another program may send a combo box that changes its text without a notification.
bool changesComboText(UINT message) {
    return message == WM_SETTEXT || message == CB_SETCURSEL || message == CB_SELECTSTRING ||
           message == CB_RESETCONTENT;
}

// Still the same live control after a handler ran? A handler may have unloaded the whole form.
bool stillThere(HWND window, const void* control) {
    return IsWindow(window) &&
           GetWindowLongPtrA(window, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(control);
}

}  // namespace

ControlWindow::ControlWindow(FormWindow& form, std::size_t index, const forms::ControlDesc& desc)
    : form_(form),
      index_(index),
      kind_(desc.kind),
      fore_(desc.fore),
      back_(desc.back),
      transparent_(desc.transparent),
      cursor_(desc.cursor),
      picture_(desc.picture),
      tabIndex_(desc.tabIndex),
      cancel_(desc.cancel),
      backBrush_(desc.back) {
    const Creation how = creationFor(desc);
    const DWORD style =
        WS_CHILD | how.style | (desc.visible ? WS_VISIBLE : 0) | (tabIndex_ >= 0 ? WS_TABSTOP : 0);
    const PixelRect r = toPixels(desc.rect, form_.context().dpi);
    const bool captioned = kind_ != forms::ControlKind::Image && kind_ != forms::ControlKind::ComboBox;
    const std::string caption = captioned ? toAnsi(desc.text) : std::string();
    window_.reset(CreateWindowExA(0, how.windowClass, caption.c_str(), style, r.x, r.y, r.width,
                                  r.height + extraHeight(), form_.hwnd(),
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kFirstControlId + index)),
                                  form_.context().windowClass.instance(), nullptr));
    if (!window_) throw RuntimeError("cannot create a control");
    HWND h = window_.get();
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(form_.font(desc.font)), FALSE);
    if (kind_ == forms::ControlKind::ComboBox) SetWindowTextA(h, toAnsi(desc.text).c_str());
    if (subclassed(kind_)) {
        SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindow::subclassProc)));
    }
    // A subclassed control's tooltip waits for the mouse: the tooltip window is among the costliest
    // things to create at start-up, and most runs never point at the control.
    if (!desc.toolTip.empty()) {
        if (takesOwnMouse(kind_)) {
            pendingToolTip_ = desc.toolTip;
        } else {
            form_.addToolTip(h, desc.toolTip);
        }
    }
}

ControlWindow::~ControlWindow() {
    // The subclass stays until the window is gone (a tooltip may have subclassed on top of it); only
    // the events stop.
    closing_ = true;
    window_.reset();
}

// A drop-down combo box's window height includes its open list.
int ControlWindow::extraHeight() const {
    return kind_ == forms::ControlKind::ComboBox ? scaledPixels(160, form_.context().dpi.y) : 0;
}

bool ControlWindow::owns(HWND window) const {
    if (window == nullptr) return false;
    HWND self = window_.get();
    return window == self || IsChild(self, window) || GetParent(window) == self;
}

void ControlWindow::move(const TwipRect& rect) {
    const PixelRect r = toPixels(rect, form_.context().dpi);
    // A see-through control must not carry its old background along.
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (transparent_ ? SWP_NOCOPYBITS : 0);
    SetWindowPos(window_.get(), nullptr, r.x, r.y, r.width, r.height + extraHeight(), flags);
    if (transparent_) redrawBehind();
}

void ControlWindow::setToolTip(const std::string& text) {
    pendingToolTip_.clear();  // the text set now replaces the one held back for the mouse
    form_.setToolTip(window_.get(), text);
}

void ControlWindow::setVisible(bool visible) { ShowWindow(window_.get(), visible ? SW_SHOWNA : SW_HIDE); }

void ControlWindow::setText(const std::string& text) {
    setTextQuietly(toAnsi(text).c_str());
    if (transparent_) redrawBehind();
}

void ControlWindow::setTextQuietly(const char* text) {
    settingText_ = true;
    SetWindowTextA(window_.get(), text);
    settingText_ = false;
}

// The scratch buffers keep their room between calls.
void ControlWindow::readText(std::string& text, TextScratch& scratch) {
    const int length = GetWindowTextLengthA(window_.get());
    if (length <= 0) {
        text.clear();
        return;
    }
    scratch.ansi.resize(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextA(window_.get(), scratch.ansi.data(), length + 1);
    scratch.ansi.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    fromAnsi(scratch.ansi, text, scratch.wide);
}

void ControlWindow::setCheck(int value) {
    SendMessageA(window_.get(), BM_SETCHECK, static_cast<WPARAM>(value), 0);  // 0, 1, 2 = greyed
}

void ControlWindow::addItem(const std::string& item) {
    SendMessageA(window_.get(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toAnsi(item).c_str()));
}

HBRUSH ControlWindow::colour(HDC dc) const {
    SetTextColor(dc, colorRef(fore_));
    if (transparent_) {
        SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    SetBkColor(dc, colorRef(back_));
    return backBrush_.get();
}

bool ControlWindow::isClick(UINT notification) {
    switch (kind_) {
        case forms::ControlKind::CheckBox:
        case forms::ControlKind::Button:
            return notification == BN_CLICKED;
        case forms::ControlKind::ComboBox:
            break;
        case forms::ControlKind::Label:
        case forms::ControlKind::Image:
            return false;  // their clicks come from their own mouse messages
    }
    using forms::ComboNotice;
    ComboNotice notice;
    switch (notification) {
        case CBN_DROPDOWN:
            notice = ComboNotice::DropDown;
            break;
        case CBN_EDITCHANGE:
            notice = ComboNotice::EditChange;
            break;
        case CBN_SELCHANGE:
            notice = ComboNotice::SelectionChange;
            break;
        case CBN_SELENDOK:
            notice = ComboNotice::SelectionEndOk;
            break;
        case CBN_SELENDCANCEL:
            notice = ComboNotice::SelectionEndCancel;
            break;
        default:
            return false;
    }
    HWND combo = window_.get();
    const LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (!picks_.isPick(notice, selected == CB_ERR ? forms::kNoSelection : static_cast<int>(selected))) {
        return false;
    }
    // The edit field may take the picked item only after the last notification: the handler must see it.
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
    if (length != CB_ERR) {
        std::string item(static_cast<std::size_t>(length) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                     reinterpret_cast<LPARAM>(item.data()));
        setTextQuietly(item.c_str());
    }
    return true;
}

void ControlWindow::redrawBehind() {
    HWND h = window_.get();
    HWND parent = GetParent(h);
    RECT area{};
    GetWindowRect(h, &area);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK ControlWindow::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const WNDPROC original = self->original_;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return CallWindowProcA(original, window, message, wParam, lParam);
    }
    try {
        return self->onMessage(window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT ControlWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (kind_ == forms::ControlKind::ComboBox) return onComboMessage(window, message, wParam, lParam);
    if (!closing_) {
        switch (message) {
            case WM_PAINT:
                if (kind_ != forms::ControlKind::Image) break;
                paintPicture(window);
                return 0;
            case WM_ERASEBKGND:
                if (kind_ == forms::ControlKind::Image) return 1;  // the form shows through
                break;
            case WM_MOUSEMOVE:
                if (!pendingToolTip_.empty()) addPendingToolTip(window, wParam, lParam);
                if (!mouse(window, message, wParam, lParam)) return 0;
                break;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
            case WM_LBUTTONUP:
            case WM_RBUTTONDOWN:
            case WM_RBUTTONDBLCLK:
            case WM_RBUTTONUP:
            case WM_MBUTTONDOWN:
            case WM_MBUTTONDBLCLK:
            case WM_MBUTTONUP:
                if (!mouse(window, message, wParam, lParam)) return 0;
                break;
            default:
                break;
        }
    }
    return CallWindowProcA(original_, window, message, wParam, lParam);
}

LRESULT ControlWindow::onComboMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(original_, window, message, wParam, lParam);
    if (!closing_ && !settingText_ && changesComboText(message)) {
        form_.raise(index_, forms::ControlEvent::TextChanged, {});
    }
    return result;
}

// The move that brought the mouse over the control came before the tooltip's own watch on the control:
// it is handed on, so that the tooltip counts its time from there, as it would have.
void ControlWindow::addPendingToolTip(HWND window, WPARAM wParam, LPARAM lParam) {
    HWND tips = form_.addToolTip(window, std::exchange(pendingToolTip_, std::string()));
    if (tips == nullptr) return;
    MSG move{window, WM_MOUSEMOVE, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    const DWORD at = GetMessagePos();
    move.pt = {GET_X_LPARAM(static_cast<LPARAM>(at)), GET_Y_LPARAM(static_cast<LPARAM>(at))};
    SendMessageA(tips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

// Raises MouseDown/MouseUp/MouseMove, and Click after a left-button release inside the control.
// Returns false when a handler took the control away.
bool ControlWindow::mouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const unsigned flags = LOWORD(wParam);
    const Dpi dpi = form_.context().dpi;
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    forms::MouseArgs args{0, shiftState(flags, GetKeyState(VK_MENU) < 0), pixelsToTwips(x, dpi.x),
                          pixelsToTwips(y, dpi.y)};
    forms::ControlEvent event = forms::ControlEvent::MouseMove;
    bool click = false;
    switch (message) {
        case WM_MOUSEMOVE:
            args.button = heldButtons(flags);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            event = forms::ControlEvent::MouseDown;
            args.button = message <= WM_LBUTTONDBLCLK   ? forms::kLeftButton
                          : message <= WM_RBUTTONDBLCLK ? forms::kRightButton
                                                        : forms::kMiddleButton;
            SetCapture(window);  // the release belongs to the control that saw the press
            break;
        default: {
            event = forms::ControlEvent::MouseUp;
            args.button = message == WM_LBUTTONUP   ? forms::kLeftButton
                          : message == WM_RBUTTONUP ? forms::kRightButton
                                                    : forms::kMiddleButton;
            if (heldButtons(flags) == 0 && GetCapture() == window) ReleaseCapture();
            RECT client{};
            GetClientRect(window, &client);
            click = args.button == forms::kLeftButton && x >= 0 && y >= 0 && x < client.right &&
                    y < client.bottom;
            break;
        }
    }
    FormWindow& form = form_;
    const std::size_t index = index_;
    form.raise(index, event, args);
    if (!stillThere(window, this)) return false;
    if (click) {
        form.raise(index, forms::ControlEvent::Click, {});
        if (!stillThere(window, this)) return false;
    }
    return true;
}

void ControlWindow::paintPicture(HWND window) {
    PaintScope paint(window);
    if (picture_ == forms::Picture::None) return;  // an invisible hot spot
    RECT area{};
    GetClientRect(window, &area);
    form_.context().pictures.paint(picture_, paint.dc(), area);
}

}  // namespace kestrove::win32
