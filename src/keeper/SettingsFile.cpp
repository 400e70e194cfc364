#include "keeper/SettingsFile.h"

namespace kestrove::keeper {

namespace {

constexpr const char* kFileName = "\\kestrove.rkf";
constexpr const char* kTemporaryName = "\\kestrove.tmp";

}  // namespace

std::string formatSettings(CodePageService& codePage, const std::optional<std::string>& name,
                           std::int16_t value) {
    std::string bytes;
    if (name) {
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

SettingsReader SettingsFile::open() {
    auto bytes = platform_.files.read(path());
    if (!bytes) throw RuntimeError("File not found");
    return SettingsReader(std::move(*bytes));
}

std::optional<std::string> SettingsFile::decodeName(const std::optional<std::string>& ansi) {
    if (!ansi) return std::nullopt;
    return platform_.codePage.toUnicode(*ansi);
}

void SettingsFile::save(const std::optional<std::string>& name, std::int16_t value) {
    const std::string bytes = formatSettings(platform_.codePage, name, value);
    const std::string temporary = platform_.program.exeDirectory() + kTemporaryName;
    FileService& files = platform_.files;
    if (!files.write(temporary, bytes) || !files.replace(temporary, path())) files.remove(temporary);
}

}  // namespace kestrove::keeper
