#pragma once
// Windows of other programs, scripted by the test, plus the program's own form windows as the system
// would report them (class "KestroveForm", title = caption, rectangle in pixels at 15 twips each).

#include <span>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "platform/sim/SimCodePage.h"
#include "platform/sim/SimPlatform.h"

namespace kestrove::sim {

class SimWindows final : public WindowService {
  public:
    static constexpr std::uint32_t kOwnProcessId = 100;

    SimWindows(CallLog& log, SimBackend& forms, SimCodePage& codePage)
        : log_(log), forms_(forms), codePage_(codePage) {}

    WindowHandle add(std::string className, std::string title, std::uint32_t processId, WindowHandle parent);
    void remove(WindowHandle window);  // with its children
    void removeProcessWindows(std::uint32_t processId);
    void setVisible(WindowHandle window, bool visible);
    void setRect(WindowHandle window, ScreenRect rect);
    bool exists(WindowHandle window) const;
    const SimForm* ownForm(WindowHandle window) const;

    WindowHandle findWindow(const char* classAnsi, const char* titleAnsi) override;
    WindowHandle getWindow(WindowHandle window, unsigned command) override;
    int getClassName(WindowHandle window, char* buffer, int maxCount) override;
    bool getWindowRect(WindowHandle window, ScreenRect& rect) override;
    void drawAnimatedRects(WindowHandle window, int animation, const ScreenRect& from,
                           const ScreenRect& to) override;
    void processWindows(std::span<const std::uint32_t> processIds, WindowVisitor& visitor) override;
    void close(WindowHandle window) override;  // the window goes; its process keeps running
    const std::vector<WindowHandle>& closed() const { return closed_; }

  private:
    struct Scripted {
        WindowHandle handle;
        std::string className, title;
        std::uint32_t processId;
        WindowHandle parent;
        ScreenRect rect;
        bool visible = true;
    };
    Scripted* scripted(WindowHandle window);
    std::string className(WindowHandle window) const;

    CallLog& log_;
    SimBackend& forms_;
    SimCodePage& codePage_;
    std::vector<Scripted> windows_;  // creation order, which is also the order of siblings
    std::vector<WindowHandle> closed_;
    WindowHandle nextHandle_ = 0x800000;
};

}  // namespace kestrove::sim
