// The code page conversions, and what the program learns about itself.
#include <windows.h>

#include "Checks.h"
#include "platform/win32/services/Win32CodePage.h"
#include "platform/win32/services/Win32ProgramInfo.h"

namespace e2e::services {

void checkCodePage(Results& results) {
    results.section("code page");
    kestrove::win32::Win32CodePage codePage;
    CHECK(codePage.toAnsi("").empty());
    CHECK(codePage.toUnicode("").empty());
    CHECK(codePage.toAnsi("Dial 1") == "Dial 1");
    // Embedded NULs are part of the text.
    CHECK(codePage.toAnsi(std::string("a\0b", 3)) == std::string("a\0b", 3));
    CHECK(codePage.toUnicode(std::string("a\0b", 3)) == std::string("a\0b", 3));
    if (GetACP() != 1252) {
        results.note("ANSI code page " + std::to_string(GetACP()) + ": Western European bytes not checked");
        return;
    }
    CHECK(codePage.toAnsi("caf\xc3\xa9") == "caf\xe9");
    CHECK(codePage.toUnicode("caf\xe9") == "caf\xc3\xa9");
    CHECK(codePage.toAnsi("\xe2\x82\xac") == "\x80");  // the euro sign
    CHECK(codePage.toUnicode("\x80") == "\xe2\x82\xac");
    CHECK(codePage.toAnsi("\xd0\x96") == "?");  // Cyrillic: not in the code page
    // A buffer reused for a shorter text holds only the new one.
    std::string reused = "a much longer earlier text";
    codePage.toAnsi("caf\xc3\xa9", reused);
    CHECK(reused == "caf\xe9");
}

void checkProgramInfo(Results& results, const std::string& folder, kestrove::PlatformFamily family) {
    results.section("program info");
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    kestrove::win32::Win32ProgramInfo program(instance);
    CHECK(program.exeDirectory() == folder);
    CHECK(!program.exeDirectory().empty() && program.exeDirectory().back() != '\\');
    CHECK(program.instance() == reinterpret_cast<kestrove::ModuleHandle>(instance));
    // The family Wine was told to report to this program (its AppDefaults version setting).
    CHECK(program.family() == family);
    // The time of day in the user's format, and moved on by the seconds asked: an hour on is another text.
    const std::string now = program.timeOfDayAnsi(0);
    CHECK(!now.empty() && now.find(':') != std::string::npos);
    CHECK(program.timeOfDayAnsi(3'600'000) != now);
}

}  // namespace e2e::services
