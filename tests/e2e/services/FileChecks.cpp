// Whole-file and bounded reads, writes, the replacing rename the settings save relies on, and the conversion
// of UTF-8 paths to the ANSI code page on the way to the file system.
#include <windows.h>

#include "Checks.h"
#include "platform/win32/services/Win32Files.h"

namespace e2e::services {
namespace {

constexpr std::size_t kAll = static_cast<std::size_t>(-1);

std::string contentOf(kestrove::win32::Win32Files& files, const std::string& path, std::size_t limit = kAll) {
    return files.read(path, limit).value_or("<cannot read>");
}

}  // namespace

void checkFiles(Results& results, const std::string& folder, const std::string& self) {
    results.section("files");
    kestrove::win32::Win32Files files;
    CHECK(files.read(self, kAll).has_value());

    const std::string first = folder + "\\files-first.txt";
    const std::string second = folder + "\\files-second.txt";
    files.remove(first);
    files.remove(second);
    CHECK(!files.read(first, kAll).has_value());
    CHECK(!files.exists(first));

    CHECK(files.write(first, "\"Dial 1\"\r\n1\r\n"));
    CHECK(files.exists(first));
    CHECK(contentOf(files, first) == "\"Dial 1\"\r\n1\r\n");
    CHECK(files.write(first, ""));
    CHECK(contentOf(files, first).empty());
    // Larger than one read or write chunk, with a NUL inside: bytes, not text.
    std::string big(200000, 'x');
    big[100000] = '\0';
    CHECK(files.write(first, big));
    CHECK(contentOf(files, first) == big);
    // A bounded read stops at its limit, also inside a chunk and past one.
    CHECK(contentOf(files, first, 5) == "xxxxx");
    CHECK(contentOf(files, first, 100001) == big.substr(0, 100001));
    CHECK(contentOf(files, first, 200000) == big);
    CHECK(contentOf(files, first, 0).empty());

    CHECK(files.replace(first, second));  // no target yet
    CHECK(!files.read(first, kAll).has_value());
    CHECK(contentOf(files, second) == big);
    CHECK(files.write(first, "new"));
    CHECK(files.replace(first, second));  // over an existing target
    CHECK(contentOf(files, second) == "new");
    CHECK(!files.read(first, kAll).has_value());
    CHECK(!files.replace(first, second));  // the source is gone: the target stays
    CHECK(contentOf(files, second) == "new");
    CHECK(files.exists(second) && !files.exists(first));
    files.remove(second);
    CHECK(!files.read(second, kAll).has_value());

    CHECK(!files.write(folder + "\\no-such-folder\\x.txt", "x"));

    // Only where the ANSI code page holds the character, and knowing which byte it is there.
    if (GetACP() == 1252) {
        const std::string accented = folder + "\\caf\xc3\xa9.txt";
        CHECK(files.write(accented, "e"));
        CHECK(GetFileAttributesA((folder + "\\caf\xe9.txt").c_str()) != INVALID_FILE_ATTRIBUTES);
        CHECK(contentOf(files, accented) == "e");
        files.remove(accented);
        CHECK(!files.read(accented, kAll).has_value());
    } else {
        results.note("ANSI code page " + std::to_string(GetACP()) + ": accented file names not checked");
    }
}

}  // namespace e2e::services
