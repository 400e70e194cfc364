#pragma once
// The forms backend over real windows, single-byte ("A") system calls only.

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/forms/Backend.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Pictures.h"
#include "platform/win32/TimerWindow.h"
#include "platform/win32/WindowClass.h"

namespace kestrove::win32 {

class Win32Backend final : public forms::Backend {
  public:
    explicit Win32Backend(HINSTANCE instance);

    forms::NativeId createForm(const forms::FormDesc& desc, forms::FormEvents& events) override;
    void destroyForm(forms::NativeId form) override;
    void showForm(forms::NativeId form) override;
    void hideForm(forms::NativeId form) override;
    bool formVisible(forms::NativeId form) override;
    TwipRect formRect(forms::NativeId form) override;
    void moveForm(forms::NativeId form, const TwipRect& outer) override;
    void setDecorations(forms::NativeId form, const std::vector<forms::Decoration>& shapes) override;
    WindowHandle windowHandle(forms::NativeId form) override;
    IconHandle iconHandle(forms::NativeId form) override;
    int popupMenu(forms::NativeId form, const std::vector<forms::MenuEntry>& entries) override;

    forms::NativeId createControl(forms::NativeId form, std::size_t index,
                                  const forms::ControlDesc& desc) override;
    void moveControl(forms::NativeId control, const TwipRect& rect) override;
    void setControlVisible(forms::NativeId control, bool visible) override;
    void setText(forms::NativeId control, const std::string& text) override;
    void readText(forms::NativeId control, std::string& text) override;
    void setCheck(forms::NativeId control, int value) override;
    void setToolTip(forms::NativeId control, const std::string& text) override;
    void addItem(forms::NativeId combo, const std::string& item) override;

    forms::TimerId startTimer(unsigned intervalMs, forms::TimerSink& sink) override;
    void stopTimer(forms::TimerId timer) override;

    void doEvents() override;
    void waitForMessages(unsigned maxMs) override;
    std::uint32_t tickCount() override;
    void runMessageLoop() override;
    void quit() override;

    TwipSize screenSize() override;
    TwipSize pictureSize(forms::Picture picture) override;

  private:
    static FormWindow& form(forms::NativeId id) { return *reinterpret_cast<FormWindow*>(id); }
    static ControlWindow& control(forms::NativeId id) { return *reinterpret_cast<ControlWindow*>(id); }
    void dispatch(MSG& message);

    Dpi dpi_;
    UINT activateRequest_;
    WindowClass windowClass_;
    PictureStore pictures_;
    TimerWindow timers_;
    TextScratch readScratch_;  // reused by every readText
    // A form's or control's id is its address; controls are owned by their forms. Last, so that the
    // forms go before the timers, pictures and window class they use.
    std::vector<std::unique_ptr<FormWindow>> forms_;
};

}  // namespace kestrove::win32
