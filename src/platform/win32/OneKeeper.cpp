#include "platform/win32/OneKeeper.h"

#include "platform/win32/KeeperMutex.h"
#include "platform/win32/WindowClass.h"

namespace kestrove::win32 {
namespace {

// The session's own namespace on the NT family; the 9x family allows no backslash in the name, and an
// NT system without sessions may refuse the prefix.
constexpr char kSessionMutex[] = "Local\\Kestrove.Keeper";
constexpr char kPlainMutex[] = "Kestrove.Keeper";

// The first start may still be on its way to its main window.
constexpr DWORD kWaitForWindowsMs = 5000;
constexpr DWORD kPollMs = 100;

static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED && kErrorAlreadyExists == ERROR_ALREADY_EXISTS);

MutexAnswer createMutex(const char* name, OwnedHandle& mutex) {
    HANDLE made = CreateMutexA(nullptr, FALSE, name);
    const DWORD error = GetLastError();
    mutex.reset(made);
    return mutexAnswer(made != nullptr, error);
}

struct Request {
    UINT message;
    int postedToForms;
};

// Only the main window acts on the request; the program's other windows pass it by. The untitled timer
// window exists a moment before the first form does, so only a titled one counts as reached.
BOOL CALLBACK postToProgramWindow(HWND window, LPARAM context) {
    char className[sizeof kWindowClassName + 1] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, kWindowClassName) != 0) return TRUE;
    auto* request = reinterpret_cast<Request*>(context);
    if (PostMessageA(window, request->message, 0, 0) && GetWindowTextLengthA(window) > 0) {
        ++request->postedToForms;
    }
    return TRUE;
}

// The started program may bring its window forward only when the one in the foreground lets it; the
// call is missing before Windows 98 and 2000.
void letComeForward(HWND window) {
    using Allow = BOOL(WINAPI*)(DWORD);
    const HMODULE user = GetModuleHandleA("user32.dll");
    const auto allow = reinterpret_cast<Allow>(
        reinterpret_cast<void (*)()>(GetProcAddress(user, "AllowSetForegroundWindow")));
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (allow != nullptr && process != 0) allow(process);
}

}  // namespace

OneKeeper::OneKeeper(PlatformFamily family) {
    MutexAnswer answer = MutexAnswer::Failed;
    if (family == PlatformFamily::WindowsNT) answer = createMutex(kSessionMutex, mutex_);
    if (tryAnotherName(answer)) answer = createMutex(kPlainMutex, mutex_);
    first_ = !anotherCopyRuns(answer);
}

void OneKeeper::activateFirst() const {
    Request request{RegisterWindowMessageA(kActivateRequestMessage), 0};
    if (request.message == 0) return;
    for (DWORD waited = 0;; waited += kPollMs) {
        if (HWND window = FindWindowA(kWindowClassName, nullptr)) {
            letComeForward(window);
            EnumWindows(postToProgramWindow, reinterpret_cast<LPARAM>(&request));
            if (request.postedToForms > 0) return;
        }
        if (waited >= kWaitForWindowsMs) return;
        Sleep(kPollMs);
    }
}

}  // namespace kestrove::win32
