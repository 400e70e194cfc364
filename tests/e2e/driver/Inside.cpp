#include "Inside.h"

#include "Lookup.h"
#include "menureader/MenuReaderProtocol.h"
#include "platform/win32/Owned.h"

namespace e2e {
namespace {

using kestrove::win32::Owned;
using OwnedModule = Owned<HMODULE, FreeLibrary>;
using OwnedHandle = Owned<HANDLE, CloseHandle>;
using OwnedHook = Owned<HHOOK, UnhookWindowsHookEx>;
using OwnedView = Owned<void*, UnmapViewOfFile>;

std::string besideDriver(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of('\\') + 1);
    return folder + name;
}

}  // namespace

std::optional<std::string> askInside(HWND window, const char* request, LPARAM lParam) {
    using namespace menureader;
    const OwnedModule reader(LoadLibraryA(besideDriver("kestrove_menureader.dll").c_str()));
    const auto hookProc =
        reader
            ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(reader.get(), kHookProcName)))
            : nullptr;
    if (hookProc == nullptr) return std::nullopt;

    const DWORD self = GetCurrentProcessId();
    const OwnedHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                 kSharedBufferSize, sharedBufferName(self).c_str()));
    if (!mapping) return std::nullopt;
    const OwnedView view(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, kSharedBufferSize));
    if (!view) return std::nullopt;
    auto* text = static_cast<char*>(view.get());
    text[0] = '\0';

    // The hook loads the reader into the thread that owns the window; it answers while the window exists.
    const OwnedHook hook(
        SetWindowsHookExA(WH_CALLWNDPROC, hookProc, reader.get(), GetWindowThreadProcessId(window, nullptr)));
    if (!hook) return std::nullopt;
    if (!sendWithin(window, RegisterWindowMessageA(request), self, lParam)) return std::nullopt;
    text[kSharedBufferSize - 1] = '\0';
    return std::string(text);
}

}  // namespace e2e
