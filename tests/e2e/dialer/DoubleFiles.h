#pragma once
// The dialer doubles talk to the scenario through files in their own folder: what to do, and a log.

#include <windows.h>

#include <cstdio>
#include <string>

namespace doubles {

// A file in the folder of the module (the exe, or the DLL rundll32 loaded) that runs this code.
inline std::string besideModule(HMODULE module, const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of('\\') + 1);
    return folder + name;
}

// One line at the end of that file; the scenarios read it with the line ends stripped.
inline void appendLine(HMODULE module, const char* file, const std::string& line) {
    if (FILE* f = std::fopen(besideModule(module, file).c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

}  // namespace doubles
