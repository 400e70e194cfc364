#pragma once
// Everything the program reaches outside itself, handed to it once at start-up.

#include "platform/Services.h"
#include "platform/forms/Backend.h"

namespace kestrove {

struct Platform {
    forms::Backend& forms;
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
