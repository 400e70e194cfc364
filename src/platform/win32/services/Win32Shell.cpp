#include "platform/win32/services/Win32Shell.h"

// shellapi.h needs the types of windows.h.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstring>

#include "platform/SystemCodes.h"
#include "platform/win32/services/HandleCasts.h"

namespace kestrove::win32 {

static_assert(sizeof(NotifyIconRecord::szTip) == 64);
#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == sys::kNotifyIconDataV1Size);
#endif
static_assert(sys::kNifMessageIconTip == (NIF_MESSAGE | NIF_ICON | NIF_TIP));
static_assert(sys::kTrayCallbackMessage == WM_USER + 15);
static_assert(sys::kWmLButtonUp == WM_LBUTTONUP && sys::kWmRButtonUp == WM_RBUTTONUP);
static_assert(sys::kWmDestroy == WM_DESTROY);
static_assert(sys::kSwShowMaximized == SW_SHOWMAXIMIZED);

// The icon itself always uses the first form of the record: it is the one every shell version
// understands, and the one the record describes. Its size is the system's (88 bytes in 32-bit builds, wider
// with 64-bit handles).
bool Win32Shell::notifyIcon(NotifyIconMessage message, const NotifyIconRecord& record) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = toHwnd(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.hIcon);
    std::memcpy(data.szTip, record.szTip, sizeof record.szTip);
    return Shell_NotifyIconA(static_cast<DWORD>(message), &data) != FALSE;
}

namespace {

// DLLVERSIONINFO, which shell32 fills in from 4.71 on.
struct DllVersion {
    DWORD cbSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformID;
};
using DllGetVersionFn = HRESULT(CALLBACK*)(DllVersion* version);

bool shellHasBalloons() {
    const auto getVersion =
        procAs<DllGetVersionFn>(GetProcAddress(GetModuleHandleA("shell32.dll"), "DllGetVersion"));
    DllVersion version{sizeof(DllVersion), 0, 0, 0, 0};
    return getVersion != nullptr && SUCCEEDED(getVersion(&version)) && version.dwMajorVersion >= 5;
}

// Cut at the start of a character: half of a double-byte character would show as a stray sign.
void copyCut(char* to, std::size_t room, const std::string& text) {
    const char* const start = text.c_str();
    const char* end = start;
    while (*end != '\0') {
        const char* next = CharNextA(end);
        if (static_cast<std::size_t>(next - start) >= room) break;
        end = next;
    }
    const auto length = static_cast<std::size_t>(end - start);
    std::memcpy(to, start, length);
    to[length] = '\0';
}

}  // namespace

// The record's second form, which only shells with balloons (5.0 and later) take: an older shell would
// refuse it, and asking it is not worth the icon.
bool Win32Shell::balloon(WindowHandle window, std::uint32_t id, const std::string& titleAnsi,
                         const std::string& textAnsi) {
    if (balloons_ < 0) balloons_ = shellHasBalloons() ? 1 : 0;
    if (balloons_ == 0) return false;
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = toHwnd(window);
    data.uID = id;
    data.uFlags = NIF_INFO;
    copyCut(data.szInfoTitle, sizeof data.szInfoTitle, titleAnsi);
    copyCut(data.szInfo, sizeof data.szInfo, textAnsi);
    data.uTimeout = 30'000;  // the longest a balloon is kept up; the shell stretches it while no one is there
    data.dwInfoFlags = NIIF_WARNING;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

void Win32Shell::execute(const std::string& operationAnsi, const std::string& fileAnsi, int showCommand) {
    ShellExecuteA(nullptr, operationAnsi.c_str(), fileAnsi.c_str(), nullptr, nullptr, showCommand);
}

}  // namespace kestrove::win32
