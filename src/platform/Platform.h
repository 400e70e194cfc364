#pragma once
// The system services the program reaches, handed to it once at start-up. The windows reach the
// forms backend through their forms::Application instead.

#include "platform/Services.h"

namespace kestrove {

struct Platform {
    PhoneBookService& phoneBook;
    CodePageService& codePage;
    FileService& files;
    ProgramInfo& program;
    RegistryService& registry;
    WindowService& windows;
    ProcessService& processes;
    ShellService& shell;
    WindowProcService& windowProcs;
    RasConnectionService& rasConnections;
};

}  // namespace kestrove
