#include "platform/win32/FormWindow.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/win32/AnsiText.h"
#include "platform/win32/MouseInput.h"

namespace kestrove::win32 {

FormWindow::FormWindow(const FormContext& context, const forms::FormDesc& desc, forms::FormEvents& events)
    : context_(context), events_(events), back_(desc.back), fonts_(context.dpi.y) {
    const DWORD style = desc.border == forms::BorderStyle::None ? WS_POPUP : (WS_CAPTION | WS_SYSMENU);
    const DWORD exStyle = desc.showInTaskbar ? 0 : WS_EX_TOOLWINDOW;
    RECT outer{0, 0, twipsToPixels(desc.client.width, context.dpi.x),
               twipsToPixels(desc.client.height, context.dpi.y)};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    window_.reset(context.windowClass.create(*this, exStyle, style, toAnsi(desc.caption).c_str(),
                                             outer.right - outer.left, outer.bottom - outer.top));
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(context.pictures.appIcon()));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(context.pictures.smallAppIcon()));
}

FormWindow::~FormWindow() {
    // Children first, then the tooltips that watch them, then the window; fonts and brushes last.
    closing_ = true;
    controls_.clear();
    toolTips_.reset();
    window_.reset();
}

ControlWindow& FormWindow::addControl(std::size_t index, const forms::ControlDesc& desc) {
    controls_.push_back(std::make_unique<ControlWindow>(*this, index, desc));
    ControlWindow& control = *controls_.back();
    if (control.tabIndex() >= 0) {
        // Tab follows the z-order: slot the control in after the last tab stop that precedes it.
        const auto at = std::upper_bound(tabOrder_.begin(), tabOrder_.end(), control.tabIndex(),
                                         [](int tab, const ControlWindow* c) { return tab < c->tabIndex(); });
        if (!tabOrder_.empty()) {
            HWND after = at == tabOrder_.begin() ? HWND_TOP : (*(at - 1))->hwnd();
            SetWindowPos(control.hwnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        tabOrder_.insert(at, &control);
    }
    return control;
}

HWND FormWindow::addToolTip(HWND control, const std::string& text) {
    if (!toolTips_) {
        InitCommonControls();
        toolTips_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                        nullptr, context_.windowClass.instance(), nullptr));
        if (!toolTips_) return nullptr;  // no tooltip is no reason to fail the window
        // A long text (the counter line's report names the entry and the system's error) wraps at the
        // window's width rather than run across the screen.
        RECT frame{};
        GetWindowRect(hwnd(), &frame);
        SendMessageA(toolTips_.get(), TTM_SETMAXTIPWIDTH, 0, frame.right - frame.left);
    }
    std::string ansi = toAnsi(text);
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;  // the size the oldest tooltip windows accept
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = ansi.data();
    SendMessageA(toolTips_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    return toolTips_.get();
}

void FormWindow::setToolTip(HWND control, const std::string& text) {
    if (toolTips_) {
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.hwnd = hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        SendMessageA(toolTips_.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (!text.empty()) addToolTip(control, text);
}

void FormWindow::show() {
    const bool first = !std::exchange(shownOnce_, true);
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    BringWindowToTop(hwnd());
    if (first && !tabOrder_.empty()) SetFocus(tabOrder_.front()->hwnd());
}

TwipRect FormWindow::rect() const {
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    return toTwips({outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top}, context_.dpi);
}

void FormWindow::move(const TwipRect& outer) {
    const PixelRect r = toPixels(outer, context_.dpi);
    SetWindowPos(hwnd(), nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::setDecorations(const std::vector<forms::Decoration>& shapes) {
    decorations_ = shapes;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

ControlWindow* FormWindow::controlFor(HWND window) const {
    for (const auto& control : controls_) {
        if (control->owns(window)) return control.get();
    }
    return nullptr;
}

forms::MouseArgs FormWindow::mouseArgs(WPARAM wParam, LPARAM lParam) const {
    const unsigned flags = LOWORD(wParam);
    return {heldButtons(flags), shiftState(flags, GetKeyState(VK_MENU) < 0),
            pixelsToTwips(GET_X_LPARAM(lParam), context_.dpi.x),
            pixelsToTwips(GET_Y_LPARAM(lParam), context_.dpi.y)};
}

void FormWindow::paintDecorations(HWND window) {
    PaintScope paint(window);
    HDC dc = paint.dc();
    const Dpi dpi = context_.dpi;
    for (const auto& shape : decorations_) {
        OwnedPen pen(CreatePen(PS_SOLID, 1, colorRef(shape.colour)));
        SelectScope usePen(dc, pen.get());
        const PixelRect r = toPixels(shape.rect, dpi);
        switch (shape.kind) {
            case forms::Decoration::Kind::Rectangle: {
                SelectScope hollow(dc, GetStockObject(NULL_BRUSH));
                Rectangle(dc, r.x, r.y, r.x + r.width, r.y + r.height);
                break;
            }
            case forms::Decoration::Kind::FilledCircle: {
                ColourBrush fill(shape.colour);
                SelectScope useFill(dc, fill.get());
                Ellipse(dc, r.x, r.y, r.x + r.width, r.y + r.height);
                break;
            }
            case forms::Decoration::Kind::Line:  // x1, y1, x2, y2
                MoveToEx(dc, r.x, r.y, nullptr);
                LineTo(dc, r.width, r.height);
                break;
        }
    }
}

LRESULT FormWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (closing_) return DefWindowProcA(window, message, wParam, lParam);
    // Every event below may unload this form: nothing of it is touched after raising one.
    if (message == context_.activateRequest && message != 0) {
        events_.formEvent(forms::FormEvent::ActivateRequested, {});
        return 0;
    }
    switch (message) {
        case WM_QUERYENDSESSION:
            events_.formEvent(forms::FormEvent::SessionEnding, {});
            return TRUE;  // the program holds nothing that must be kept
        case WM_ENDSESSION:
            events_.formEvent(wParam ? forms::FormEvent::SessionEnding : forms::FormEvent::SessionContinues,
                              {});
            return 0;
        case WM_POWERBROADCAST:
            // Every kind of wake-up: a resume the user caused, one after a critical suspension without
            // notice, and the automatic one that comes first (or alone, with nobody at the machine).
            if (wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMECRITICAL ||
                wParam == PBT_APMRESUMEAUTOMATIC) {
                events_.formEvent(forms::FormEvent::PowerResumed, {});
            }
            return TRUE;
        case WM_CLOSE:
            events_.formEvent(forms::FormEvent::CloseRequested,
                              {});  // the core decides; no DestroyWindow here
            return 0;
        case WM_LBUTTONUP:
            events_.formEvent(forms::FormEvent::Click, mouseArgs(wParam, lParam));
            return 0;
        case WM_MOUSEMOVE:
            events_.formEvent(forms::FormEvent::MouseMove, mouseArgs(wParam, lParam));
            return 0;
        case WM_COMMAND: {
            if (LOWORD(wParam) == IDCANCEL && lParam == 0) {
                // Esc, as the dialog manager reports it: the cancel button's click.
                for (const auto& control : controls_) {
                    if (control->cancel())
                        events_.controlEvent(control->index(), forms::ControlEvent::Click, {});
                }
                return 0;
            }
            ControlWindow* control = controlFor(reinterpret_cast<HWND>(lParam));
            if (control == nullptr) return 0;
            control->textMayHaveChanged();
            if (control->isClick(HIWORD(wParam))) {
                events_.controlEvent(control->index(), forms::ControlEvent::Click, {});
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (ControlWindow* control = controlFor(reinterpret_cast<HWND>(lParam))) {
                return reinterpret_cast<LRESULT>(control->colour(reinterpret_cast<HDC>(wParam)));
            }
            break;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                const ControlWindow* control = controlFor(reinterpret_cast<HWND>(wParam));
                if (control != nullptr && control->cursor() == forms::Cursor::Hand) {
                    SetCursor(context_.pictures.handCursor());
                    return TRUE;
                }
            }
            break;
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, back_.get());
            return 1;
        }
        case WM_PAINT:
            paintDecorations(window);
            return 0;
        case WM_ACTIVATE:
            // The focused control is kept across switching to another window and back.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window, focus)) savedFocus_ = focus;
            } else if (savedFocus_ != nullptr && IsWindow(savedFocus_) && IsChild(window, savedFocus_)) {
                SetFocus(savedFocus_);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace kestrove::win32
