#pragma once
// Turns the system's mouse-message flags into the button and shift masks the event handlers receive.
// The flag values are the system's (MK_*); the file that includes <windows.h> checks they agree.

#include "platform/forms/Style.h"

namespace kestrove::win32 {

namespace mouseFlag {
constexpr unsigned kLeft = 0x0001, kRight = 0x0002, kShift = 0x0004, kControl = 0x0008, kMiddle = 0x0010;
}

// The buttons held down, as a mask: what a mouse-move event reports.
constexpr int heldButtons(unsigned flags) {
    return ((flags & mouseFlag::kLeft) ? forms::kLeftButton : 0) |
           ((flags & mouseFlag::kRight) ? forms::kRightButton : 0) |
           ((flags & mouseFlag::kMiddle) ? forms::kMiddleButton : 0);
}

// Alt has no flag of its own in mouse messages: the caller asks the keyboard state.
constexpr int shiftState(unsigned flags, bool altDown) {
    return ((flags & mouseFlag::kShift) ? forms::kShiftMask : 0) |
           ((flags & mouseFlag::kControl) ? forms::kCtrlMask : 0) | (altDown ? forms::kAltMask : 0);
}

}  // namespace kestrove::win32
