#pragma once
// The first forms of RASCONNA and RASCONNSTATUSA with device fields, which every version of the
// dial-up service since NT 4.0 accepts, and the two connection states the program tells apart. The
// service packs its records to 4 bytes on every architecture: in a 64-bit build the connection handle
// follows dwSize directly, and a naturally aligned record would be refused (ERROR_INVALID_SIZE) and
// misread. Kept free of <ras.h>, so that a stand-in of the service can use the same layouts.

#include <windows.h>

namespace kestrove::win32 {

#pragma pack(push, 4)
struct RasConnV1 {
    DWORD dwSize;
    HANDLE hrasconn;
    CHAR szEntryName[257];
    CHAR szDeviceType[17];
    CHAR szDeviceName[129];
};

struct RasConnStatusV1 {
    DWORD dwSize;
    DWORD rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[17];
    CHAR szDeviceName[129];
};
#pragma pack(pop)

constexpr DWORD kRasConnected = 0x2000;     // RASCS_Connected
constexpr DWORD kRasDisconnected = 0x2001;  // RASCS_Disconnected

}  // namespace kestrove::win32
