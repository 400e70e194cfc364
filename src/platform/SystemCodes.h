#pragma once
// The system's numbers the program passes or compares, each named once with the value the system gives
// it. The Win32 services check them against the system's headers; the simulator uses them as they are.

#include <cstddef>
#include <cstdint>

#include "platform/Types.h"

namespace kestrove::sys {

// The tray icon's mouse events arrive at the main window as this message (WM_USER + 15), with the
// mouse message as lParam.
constexpr std::uint32_t kTrayCallbackMessage = 1039;
constexpr std::uint32_t kWmDestroy = 2;
constexpr std::intptr_t kWmLButtonUp = 514;
constexpr std::intptr_t kWmRButtonUp = 517;

// NOTIFYICONDATAA: the first, 88-byte form, and the fields it fills (NIF_MESSAGE | NIF_ICON | NIF_TIP).
constexpr std::uint32_t kNotifyIconDataV1Size = 88;
constexpr std::uint32_t kNifMessageIconTip = 7;

// GetWindow.
constexpr unsigned kGwHwndNext = 2;
constexpr unsigned kGwChild = 5;

// DrawAnimatedRects.
constexpr int kIdaniCaption = 3;

// Show styles of a started program or an opened document.
constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;
constexpr int kSwShowMaximized = 3;

constexpr RegistryKey kHkeyLocalMachine = 0x80000002u;

// RASENTRYNAMEA in its first form: dwSize, then the name in 257 bytes (256 and the NUL), padded to 264.
constexpr std::uint32_t kRasEntryNameSize = 264;
constexpr std::size_t kRasEntryNameOffset = 4;
constexpr std::size_t kRasEntryNameBytes = 257;

// The dial-up service's answer when the caller's buffer holds too few records.
constexpr std::uint32_t kErrorBufferTooSmall = 603;

}  // namespace kestrove::sys
