#include "keeper/SettingsFile.h"

namespace kestrove::keeper {

namespace {

constexpr const char* kFileName = "\\kestrove.rkf";
constexpr const char* kTemporaryName = "\\kestrove.tmp";

// The longest file the program writes is a few hundred bytes: a name of at most 256 characters, two
// bytes each in a double-byte code page, quoted, and the switch. The rest leaves room for hand edits;
// whatever lies beyond is not read, so that a huge stray file costs no more than a small one.
constexpr std::size_t kReadLimit = 4096;

}  // namespace

std::string formatSettings(CodePageService& codePage, const std::optional<std::string>& name,
                           std::int16_t value) {
    std::string bytes;
    // No name and an empty one alike are an empty line: "" would read back as a name.
    if (name && !name->empty()) {
        bytes += '"';
        for (const char c : codePage.toAnsi(*name)) {
            if (c == '"') bytes += '"';  // doubled, so the name reads back whole
            bytes += c;
        }
        bytes += '"';
    }
    bytes += "\r\n";
    bytes += std::to_string(value);
    bytes += "\r\n";
    return bytes;
}

std::string SettingsFile::path() const { return platform_.program.exeDirectory() + kFileName; }

std::string SettingsFile::temporaryPath() const { return platform_.program.exeDirectory() + kTemporaryName; }

SettingsReader SettingsFile::open() {
    auto bytes = platform_.files.read(path(), kReadLimit);
    // A replace on 9x deletes the old file before it moves the new one in: when the move failed, the new
    // settings are still under the temporary name.
    if (!bytes) bytes = platform_.files.read(temporaryPath(), kReadLimit);
    if (!bytes) throw RuntimeError("File not found");
    return SettingsReader(std::move(*bytes));
}

std::optional<std::string> SettingsFile::decodeName(const std::optional<std::string>& ansi) {
    if (!ansi) return std::nullopt;
    return platform_.codePage.toUnicode(*ansi);
}

void SettingsFile::save(const std::optional<std::string>& name, std::int16_t value) {
    const std::string bytes = formatSettings(platform_.codePage, name, value);
    const std::string temporary = temporaryPath();
    FileService& files = platform_.files;
    if (!files.write(temporary, bytes)) {
        files.remove(temporary);
        return;
    }
    // A failed replace that took the old file with it leaves the temporary as the only copy.
    if (!files.replace(temporary, path()) && files.exists(path())) files.remove(temporary);
}

}  // namespace kestrove::keeper
