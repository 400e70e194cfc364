#pragma once
// The operating-system services the program reaches, one small interface each. Text crossing these
// interfaces is UTF-8 unless a parameter says "ansi": those are the system ANSI code page's bytes, as
// the single-byte platform calls take them.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SystemCodes.h"
#include "platform/Types.h"

namespace kestrove {

// RasEnumEntriesA over the default phone book. Throws RuntimeError when the service itself is missing.
class PhoneBookService {
  public:
    virtual ~PhoneBookService() = default;
    virtual std::uint32_t enumEntries(std::span<std::uint8_t> buffer, std::uint32_t& byteCount,
                                      std::uint32_t& entryCount) = 0;
};

// Conversion between the program's Unicode text (UTF-8) and the system ANSI code page.
class CodePageService {
  public:
    virtual ~CodePageService() = default;
    virtual std::string toUnicode(std::string_view ansi) = 0;
    // Into the caller's buffer, so that a poll reusing it allocates nothing.
    virtual void toAnsi(std::string_view text, std::string& ansi) = 0;
    std::string toAnsi(std::string_view text) {
        std::string ansi;
        toAnsi(text, ansi);
        return ansi;
    }
    // Whether two ANSI texts are the same apart from letter case, as the dial-up service compares
    // entry names.
    virtual bool sameIgnoringCase(std::string_view ansiA, std::string_view ansiB) = 0;
};

// Whole-file reads and writes; paths are UTF-8 and converted by the backend.
class FileService {
  public:
    virtual ~FileService() = default;
    virtual std::optional<std::string> read(const std::string& path) = 0;  // nullopt: cannot be opened
    virtual bool exists(const std::string& path) = 0;
    virtual bool write(const std::string& path, std::string_view bytes) = 0;   // create or truncate
    virtual bool replace(const std::string& from, const std::string& to) = 0;  // rename over an existing file
    virtual void remove(const std::string& path) = 0;
};

// The two families of Windows differ in how dial-up connections are kept and dialled.
enum class PlatformFamily : std::uint8_t { Windows9x, WindowsNT };

class ProgramInfo {
  public:
    virtual ~ProgramInfo() = default;
    virtual PlatformFamily family() = 0;        // GetVersionExA's platform id
    virtual std::string exeDirectory() = 0;     // without a trailing separator, as the system reports it
    virtual std::string systemDirectory() = 0;  // GetSystemDirectoryA
    virtual ModuleHandle instance() = 0;
    // The time of day msFromNow from now (before it, when negative), as the user's settings write it
    // (GetTimeFormatA), ANSI. A time ahead is rounded up to the next whole second: never shown before it
    // comes; any other is shown as a clock showed it then.
    virtual std::string timeOfDayAnsi(std::int32_t msFromNow) = 0;
};

// RegOpenKeyA / RegQueryValueExA / RegCloseKey. Result codes as the system returns them (0 = success).
class RegistryService {
  public:
    virtual ~RegistryService() = default;
    virtual std::int32_t openKey(RegistryKey root, const std::string& subKeyAnsi, RegistryKey& key) = 0;
    virtual std::int32_t queryValue(RegistryKey key, const std::string& nameAnsi, std::uint8_t* data,
                                    std::uint32_t& size) = 0;
    virtual void closeKey(RegistryKey key) = 0;
};

// RasEnumConnectionsA / RasGetConnectStatusA: the dial-up connections that exist right now.
enum class RasState : std::uint8_t { Dialling, Connected, Disconnected };

struct RasConnection {
    std::string entryAnsi;
    RasState state = RasState::Dialling;
    std::uint32_t error = 0;  // the status's dwError: the dial has failed
};

class RasConnectionService {
  public:
    virtual ~RasConnectionService() = default;
    // Replaces connections; false when the service is missing or the enumeration fails.
    virtual bool connections(std::vector<RasConnection>& connections) = 0;
    // RasGetErrorStringA: the system's own text for a dial-up error, ANSI; empty when it has none.
    virtual std::string errorText(std::uint32_t error) = 0;
};

// Told of each window a walk finds, with its class and title in the ANSI code page; false ends the walk.
class WindowVisitor {
  public:
    virtual bool visit(WindowHandle window, std::string_view classAnsi, std::string_view titleAnsi) = 0;

  protected:
    ~WindowVisitor() = default;
};

// Top-level and child windows of any program.
class WindowService {
  public:
    virtual ~WindowService() = default;
    // Null stands for "any class" / "any title".
    virtual WindowHandle findWindow(const char* classAnsi, const char* titleAnsi) = 0;
    virtual WindowHandle getWindow(WindowHandle window, unsigned command) = 0;  // GW_CHILD 5, GW_HWNDNEXT 2
    // Writes at most maxCount bytes including the NUL at the start of buffer; returns the length copied.
    virtual int getClassName(WindowHandle window, char* buffer, int maxCount) = 0;
    virtual bool getWindowRect(WindowHandle window, ScreenRect& rect) = 0;
    virtual void drawAnimatedRects(WindowHandle window, int animation, const ScreenRect& from,
                                   const ScreenRect& to) = 0;
    // The visible top-level windows of those processes, in z-order.
    virtual void processWindows(std::span<const std::uint32_t> processIds, WindowVisitor& visitor) = 0;
    virtual void close(WindowHandle window) = 0;  // posts WM_CLOSE
};

// A process the program started, held open until this object goes: while it is held, the process id
// cannot be given to another process.
class StartedProcess {
  public:
    virtual ~StartedProcess() = default;
    virtual std::uint32_t id() const = 0;
    virtual bool running() = 0;  // a zero-timeout wait: never blocks
    // GetExitCodeProcess, meaningful once running() has said false.
    virtual std::uint32_t exitCode() = 0;
    virtual void terminate() = 0;  // ends it at once, as a last resort
};

// Starting programs and pressing Enter in their windows.
class ProcessService {
  public:
    virtual ~ProcessService() = default;
    // Starts without waiting; null when it could not be started. noConsoleWindow: a console program
    // gets no console window at all (CREATE_NO_WINDOW), whatever the system's default terminal.
    virtual std::unique_ptr<StartedProcess> start(const std::string& commandLineAnsi, int showStyle,
                                                  bool noConsoleWindow = false) = 0;
    // One press of Enter for that window, without activating it; returns after it has been processed.
    virtual void sendEnter(WindowHandle window) = 0;
    // Root and every process it started, and they started, that still runs (Toolhelp32's parent process
    // ids), as many as ids holds; root alone when the system cannot tell. Returns how many it wrote.
    virtual std::size_t processTree(std::uint32_t root, std::span<std::uint32_t> ids) = 0;
    // The running processes whose program file is named exeNameAnsi (no folder; any letter case), as many
    // as ids holds. Returns how many it wrote.
    virtual std::size_t processesNamed(const char* exeNameAnsi, std::span<std::uint32_t> ids) = 0;
};

// The first, 88-byte form of NOTIFYICONDATAA, with handles kept at pointer width; the backend lays it
// out for the system (32-bit builds byte for byte as sim::serialise32() describes).
struct NotifyIconRecord {
    std::uint32_t cbSize = sys::kNotifyIconDataV1Size;
    WindowHandle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconHandle hIcon = 0;
    char szTip[64] = {};
};

enum class NotifyIconMessage : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

class ShellService {
  public:
    virtual ~ShellService() = default;
    virtual bool notifyIcon(NotifyIconMessage message, const NotifyIconRecord& record) = 0;
    // A balloon from that icon (NIM_MODIFY with NIF_INFO in the record's second form); false where the
    // shell has no balloons (shell32 before 5.0) or the icon is not there.
    virtual bool balloon(WindowHandle window, std::uint32_t id, const std::string& titleAnsi,
                         const std::string& textAnsi) = 0;
    virtual void execute(const std::string& operationAnsi, const std::string& fileAnsi, int showCommand) = 0;
};

// A window procedure with the system's signature in portable types.
using WindowProc = MessageResult (*)(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam);

// SetWindowLongPtrA(GWLP_WNDPROC) / CallWindowProcA.
class WindowProcService {
  public:
    virtual ~WindowProcService() = default;
    // Installs proc as the window procedure; returns the procedure that was in place.
    virtual ProcAddress install(WindowHandle window, WindowProc proc) = 0;
    // Puts a procedure returned by install() back; a null one is never put in place.
    virtual void restore(WindowHandle window, ProcAddress previous) = 0;
    virtual MessageResult call(ProcAddress proc, WindowHandle window, std::uint32_t message,
                               std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual bool isWindow(WindowHandle window) = 0;
    virtual std::uint32_t registerMessage(const std::string& name) = 0;  // RegisterWindowMessageA
    virtual void setForeground(WindowHandle window) = 0;
    virtual void postNull(WindowHandle window) = 0;  // WM_NULL
};

}  // namespace kestrove
