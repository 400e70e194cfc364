#pragma once
// The real operating-system services, one instance of each, gathered into the Platform the program uses.

#include <windows.h>

#include "platform/Platform.h"
#include "platform/win32/services/RasLibrary.h"
#include "platform/win32/services/Win32CodePage.h"
#include "platform/win32/services/Win32Files.h"
#include "platform/win32/services/Win32PhoneBook.h"
#include "platform/win32/services/Win32Processes.h"
#include "platform/win32/services/Win32ProgramInfo.h"
#include "platform/win32/services/Win32RasConnections.h"
#include "platform/win32/services/Win32Registry.h"
#include "platform/win32/services/Win32Shell.h"
#include "platform/win32/services/Win32WindowProcs.h"
#include "platform/win32/services/Win32Windows.h"

namespace kestrove::win32 {

class Win32Platform final {
  public:
    explicit Win32Platform(HINSTANCE instance)
        : phoneBook_(ras_),
          program_(instance),
          rasConnections_(ras_),
          platform_{phoneBook_, codePage_,  files_, program_,     registry_,
                    windows_,   processes_, shell_, windowProcs_, rasConnections_} {}
    // The aggregate refers to the members: the object stays where it was made.
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& platform() { return platform_; }

  private:
    RasLibrary ras_;  // before the services that share it
    Win32PhoneBook phoneBook_;
    Win32CodePage codePage_;
    Win32Files files_;
    Win32ProgramInfo program_;
    Win32Registry registry_;
    Win32Windows windows_;
    Win32Processes processes_;
    Win32Shell shell_;
    Win32WindowProcs windowProcs_;
    Win32RasConnections rasConnections_;
    Platform platform_;
};

}  // namespace kestrove::win32
