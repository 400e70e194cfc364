#pragma once
// How the dialer double hands a failed dial to the resident helper double (rnaapp.cpp).

#include <windows.h>

namespace rnaapp {

constexpr const char* kWindowClass = "RnaAppDouble";
// WM_COPYDATA's dwData: the data is the entry name of a dial that failed; the helper shows its error box.
constexpr ULONG_PTR kFailedDial = 1;
// Sent: 1 while the helper still shows (or is about to show) the error box of a dial handed to it.
constexpr UINT kAskBusy = WM_APP + 2;

}  // namespace rnaapp
