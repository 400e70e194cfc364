#pragma once
// A simulated desktop for the host build: every platform service in memory, a virtual clock that
// drives the timers, scripted windows, and a record of every platform call in the order made.
//
// Call record format: one string per call, "Name(arg, arg, ...)" with the names of the Win32 calls the
// real backend makes, e.g. "RegOpenKeyA(80000002, System\CurrentControlSet\Services\RemoteAccess)",
// "RegQueryValueExA(Remote Connection)", "RegCloseKey", "RasEnumEntriesA(67584)",
// "CreateProcessA(rundll32.exe rnaui.dll,RnaDial Dial 1, 1)", "SendEnter(<hwnd>)",
// "FindWindowA(#32770, Connecting to Dial 1)", "TerminateProcess(1004)", "Shell_NotifyIconA(0)",
// "SetPropA(Kestrove.WindowHook)", "SetWindowLongPtrA(-4)", "ShowWindow(frmMain, show)", "WriteFile(<path>)",
// "MoveFileExA(<from>, <to>)", "DoEvents".

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/forms/Backend.h"
#include "platform/forms/ComboPick.h"

namespace kestrove::sim {

class CallLog {
  public:
    void add(std::string call) { calls_.push_back(std::move(call)); }
    const std::vector<std::string>& calls() const { return calls_; }
    std::size_t count(const std::string& prefix) const;  // calls that start with prefix
    void clear() { calls_.clear(); }
    std::string dump() const;  // one call per line, for failure messages

  private:
    std::vector<std::string> calls_;
};

// One simulated window of this program (a form) or of its controls, as the backend holds it.
struct SimControl {
    forms::NativeId id = 0;
    forms::NativeId form = 0;
    std::size_t index = 0;
    forms::ControlDesc desc;  // rect and visibility kept up to date
    std::string text;
    int check = 0;
    std::vector<std::string> items;
    int selected = forms::kNoSelection;  // the combo box list's selection
    forms::ComboPickFilter picks;
};

// The order in which the system reports a pick from a combo box's list: Windows' selection change first,
// or Wine's "selection ended OK" first.
enum class PickOrder : std::uint8_t { ChangeFirst, EndOkFirst };

struct SimForm {
    forms::NativeId id = 0;
    forms::FormDesc desc;
    forms::FormEvents* events = nullptr;
    TwipRect rect;  // outer rectangle, fractional twips kept
    bool visible = false;
    bool shownOnce = false;
    WindowHandle hwnd = 0;
    std::vector<forms::Decoration> decorations;
    std::vector<forms::NativeId> controls;
    forms::NativeId focus = 0;
};

class SimBackend final : public forms::Backend {
  public:
    explicit SimBackend(CallLog& log);

    // forms::Backend
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
    void waitForMessages(unsigned maxMs) override;  // moves the clock to the next due timer, at most maxMs
    std::uint32_t tickCount() override { return now_; }
    void runMessageLoop() override;
    void quit() override;
    TwipSize screenSize() override;
    TwipSize pictureSize(forms::Picture picture) override;

    // --- arrange and act (not on the interface) ---
    std::uint32_t nowMs() const { return now_; }
    // Moves the virtual clock forward, handling queued messages and every timer tick that falls due,
    // in time order, as the message loop would.
    void advance(std::uint32_t ms);
    // Queues a message, handled by the next doEvents()/advance().
    void post(std::function<void()> message);
    // Moves the virtual clock forward without delivering the timer ticks that fall due meanwhile, as if
    // each had found nothing to do; every timer keeps its phase. For long stretches where no tick can
    // change anything.
    void skipIdle(std::uint32_t ms);

    // User actions: queued like real input and handled by the next doEvents()/advance().
    void click(forms::NativeId control);
    // Opens the list and picks the item with the mouse: the text becomes the item, then Click.
    void pick(forms::NativeId combo, std::size_t index, PickOrder order = PickOrder::ChangeFirst);
    // Moves the selection of the closed list with the arrow keys: the same, without opening the list.
    void arrowTo(forms::NativeId combo, std::size_t index, PickOrder order = PickOrder::ChangeFirst);
    // Opens the list and closes it again without a pick, by its button and then by a click elsewhere.
    void dismissList(forms::NativeId combo);
    void type(forms::NativeId combo, const std::string& text);  // edits the text field: no Click
    // Another program empties the combo box's list, and with it its text (CB_RESETCONTENT).
    void clearList(forms::NativeId combo);
    void mouse(forms::NativeId control, forms::ControlEvent event, int button, int shift);
    void clickForm(forms::NativeId form);
    void moveOverForm(forms::NativeId form);
    void closeForm(forms::NativeId form);      // the title-bar close button
    void askToActivate(forms::NativeId form);  // what a second start of the program sends
    // The system asks every window whether the session may end (or the program may close), then says
    // whether it did.
    void endSession(bool ends);
    void queryEndSession();  // the question alone, as a close request the program survives may leave it
    // Runs while a form's window is being destroyed and still exists, with its handle (WM_DESTROY); the
    // record shows "DestroyWindow" once the window is gone.
    void onDestroy(std::function<void(WindowHandle window)> destroying) {
        destroying_ = std::move(destroying);
    }
    // The machine sleeps for ms: the clock moves on (GetTickCount counts the sleep) with no timer tick and
    // no message handled meanwhile; then every loaded window hears that it woke up. A timer that fell due
    // while it slept ticks once, at the next message handling, as the system's timers do.
    void sleepMachine(std::uint32_t ms);

    // The next popupMenu() returns the entry with this caption (searched through submenus), or 0. The
    // menu's modal loop handles the messages already queued before it returns.
    void choosePopupItem(std::string caption) { popupChoice_ = std::move(caption); }
    // What the last popupMenu() showed.
    const std::vector<forms::MenuEntry>& lastPopup() const { return lastPopup_; }

    void setScreenSize(TwipSize size) { screen_ = size; }
    void setPictureSize(forms::Picture picture, TwipSize size) { pictures_[picture] = size; }

    const SimForm* form(forms::NativeId id) const;
    const SimForm* formNamed(const std::string& name) const;  // a loaded form by design name
    std::vector<const SimForm*> forms() const;                // loaded forms in creation order
    const SimControl* control(forms::NativeId id) const;
    const SimControl* controlNamed(const std::string& formName, const std::string& controlName) const;
    bool quitRequested() const { return quit_; }

  private:
    struct RunningTimer {
        unsigned interval;
        std::uint32_t due;
        forms::TimerSink* sink;
    };
    void runPending();
    bool handleOne();  // one queued message, else one due timer; false when there was nothing
    void postFormEvent(forms::NativeId form, forms::FormEvent event);
    void postControlEvent(forms::NativeId control, forms::ControlEvent event, forms::MouseArgs args);
    // Queues the notifications the combo box sends for one action, after selecting the item.
    void postComboNotices(forms::NativeId combo, std::optional<std::size_t> select,
                          std::vector<forms::ComboNotice> notices);
    SimForm& liveForm(forms::NativeId id);
    SimControl& liveControl(forms::NativeId id);
    WindowHandle nextHandle() { return nextHandle_ += 4; }

    CallLog& log_;
    std::uint32_t now_ = 0;
    forms::NativeId nextId_ = 0;
    WindowHandle nextHandle_ = 0x10000;
    forms::TimerId nextTimer_ = 0;
    std::map<forms::NativeId, SimForm> forms_;
    std::map<forms::NativeId, SimControl> controls_;
    std::map<forms::TimerId, RunningTimer> timers_;
    std::deque<std::function<void()>> queue_;
    std::map<forms::Picture, TwipSize> pictures_;
    TwipSize screen_{15360, 11520};  // 1024 x 768 at 96 dpi
    std::optional<std::string> popupChoice_;
    std::vector<forms::MenuEntry> lastPopup_;
    std::function<void(WindowHandle)> destroying_;
    bool quit_ = false;
};

// All services of the simulated desktop, each recording its calls into one log.
class SimPlatform {
  public:
    SimPlatform();
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;
    ~SimPlatform();

    Platform& platform() { return *platform_; }
    CallLog& log() { return log_; }
    SimBackend& ui() { return backend_; }

    // --- phone book ---
    // Names in the ANSI code page's bytes, delivered in this order. reportedCount overrides the count the
    // service reports (e.g. more than the buffer holds).
    void setPhoneBook(std::vector<std::string> ansiNames, std::optional<std::uint32_t> reportedCount = {});
    void setPhoneBookMissing(bool missing);  // the service library is absent: the call throws

    // --- platform family (GetVersionExA) and the dial-up connections that exist ---
    void setFamily(PlatformFamily family);  // default: the 9x family
    void setRasConnections(std::vector<RasConnection> connections);
    void setRasConnectionsFail(bool fails);
    void setRasErrorText(std::uint32_t error, std::string ansi);  // RasGetErrorStringA; none by default

    // --- code page: "CP1252", "CP1251", ... (iconv names) ---
    void setCodePage(std::string name);

    // --- files (paths as the program builds them, e.g. "C:\\Kestrove\\kestrove.rkf") ---
    void setFile(const std::string& path, std::string bytes);
    std::optional<std::string> file(const std::string& path) const;
    std::vector<std::string> fileNames() const;
    void setReadOnlyFolder(const std::string& folder, bool readOnly);  // writes and renames there fail
    void setDiskFull(bool full);                                       // every write fails
    void setMoveFailsAfterDelete(bool fails);        // a replace deletes its target, then fails (9x)
    void setExeDirectory(std::string directory);     // default "C:\\Kestrove"
    void setSystemDirectory(std::string directory);  // default "C:\\WINDOWS\\SYSTEM32"

    // --- registry (HKEY_LOCAL_MACHINE only) ---
    void setRegistryValue(const std::string& subKey, const std::string& name,
                          std::vector<std::uint8_t> bytes);
    void removeRegistryValue(const std::string& subKey, const std::string& name);
    void removeRegistryKey(const std::string& subKey);
    std::size_t openRegistryKeys() const;  // opened and not yet closed

    // --- windows of other programs ---
    WindowHandle addWindow(std::string className, std::string title, std::uint32_t processId = 0,
                           WindowHandle parent = 0);  // parent 0: top-level
    void removeWindow(WindowHandle window);
    std::vector<WindowHandle> closedWindows() const;           // sent WM_CLOSE (and gone), in order
    void setWindowVisible(WindowHandle window, bool visible);  // windows are added visible
    void setWindowRect(WindowHandle window, ScreenRect rect);

    // --- processes ---
    // What happens when the program starts a process: by default it gets the next process id and
    // nothing else happens; a hook may add windows (e.g. the dialer's dialog) or end the process.
    void onProcessStart(std::function<void(const std::string& commandLine, std::uint32_t processId)> hook);
    void setProcessStartFails(bool fails);
    void endProcess(std::uint32_t processId, std::uint32_t exitCode = 0);
    std::uint32_t spawnProcess(std::uint32_t parentId);  // a process started by that one
    // A process the program did not start (a resident system helper), known by its program file's name.
    std::uint32_t runProgram(std::string exeName);
    std::vector<std::uint32_t> terminatedProcesses() const;
    std::vector<std::string> startedCommandLines() const;
    std::vector<WindowHandle> enterTargets() const;  // windows that received Enter, in order
    std::size_t heldProcesses() const;               // started processes whose handle is still held
    // What happens when Enter arrives (e.g. the dialer's dialog closes and its progress window opens).
    void onEnter(std::function<void(WindowHandle window)> hook);

    // --- shell ---
    void setNotifyIconFails(bool fails);
    void dropTrayIcons();   // the taskbar's process ended: every icon is gone
    void restartTaskbar();  // a new taskbar, without icons, tells every window "TaskbarCreated"
    std::vector<NotifyIconRecord> notifyIconRecords() const;  // every record passed, in call order
    bool trayIconPresent() const;
    void setBalloons(bool supported);                                   // shell32 5.0 and later; by default
    std::vector<std::pair<std::string, std::string>> balloons() const;  // title and text, ANSI

    // --- window procedures: deliver a message to a window of this program as the system would ---
    MessageResult sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam);
    void setWindowProcInstallFails(bool fails);  // SetWindowLongPtrA(GWLP_WNDPROC) returns 0
    // What the system's default window procedure returns (0 unless set), so a test can tell that a
    // hook passed a message on and returned the result it got.
    void setDefaultWindowProcResult(MessageResult result);
    ModuleHandle instance() const;

  private:
    struct Impl;
    CallLog log_;
    SimBackend backend_;
    std::unique_ptr<Impl> impl_;
    std::unique_ptr<Platform> platform_;
};

}  // namespace kestrove::sim
