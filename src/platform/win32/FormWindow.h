#pragma once
// One form: a top-level window of the backend's class holding its controls, decoration, fonts and
// tooltips. Everything it owns is released with it.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Backend.h"
#include "platform/win32/Colours.h"
#include "platform/win32/ControlWindow.h"
#include "platform/win32/FontSet.h"
#include "platform/win32/Geometry.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Pictures.h"
#include "platform/win32/WindowClass.h"

namespace kestrove::win32 {

// What every form shares with the backend.
struct FormContext {
    const WindowClass& windowClass;
    PictureStore& pictures;
    Dpi dpi;
    UINT activateRequest;  // the registered message of a second start; 0 when it could not be registered
};

class FormWindow final : private MessageTarget {
  public:
    FormWindow(const FormContext& context, const forms::FormDesc& desc, forms::FormEvents& events);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    ~FormWindow();

    HWND hwnd() const { return window_.get(); }
    const FormContext& context() const { return context_; }

    ControlWindow& addControl(std::size_t index, const forms::ControlDesc& desc);

    void show();
    void hide() { ShowWindow(hwnd(), SW_HIDE); }
    bool visible() const { return IsWindowVisible(hwnd()) != FALSE; }
    TwipRect rect() const;
    void move(const TwipRect& outer);
    void setDecorations(const std::vector<forms::Decoration>& shapes);

    // For the controls.
    HFONT font(const forms::Font& font) { return fonts_.get(font); }
    // Returns the form's tooltip window, null when there is none.
    HWND addToolTip(HWND control, const std::string& text);
    void setToolTip(HWND control, const std::string& text);  // replaces the control's tooltip; empty: none
    // May destroy this form and the control: the caller must not touch either afterwards.
    void raise(std::size_t control, forms::ControlEvent event, const forms::MouseArgs& args) {
        events_.controlEvent(control, event, args);
    }

  private:
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    ControlWindow* controlFor(HWND window) const;
    forms::MouseArgs mouseArgs(WPARAM wParam, LPARAM lParam) const;
    void paintDecorations(HWND window);

    FormContext context_;
    forms::FormEvents& events_;
    bool shownOnce_ = false;
    bool closing_ = false;
    HWND savedFocus_ = nullptr;
    ColourBrush back_;
    FontSet fonts_;
    std::vector<forms::Decoration> decorations_;
    std::vector<ControlWindow*> tabOrder_;  // tab stops, lowest tab index first
    OwnedWindow window_;
    OwnedWindow toolTips_;
    std::vector<std::unique_ptr<ControlWindow>> controls_;
};

}  // namespace kestrove::win32
