#pragma once
// The settings file beside the executable: the entry to keep alive and the switch, two CR LF lines in
// the ANSI code page.

#include <cstdint>
#include <optional>
#include <string>

#include "keeper/SettingsReader.h"
#include "platform/Platform.h"

namespace kestrove::keeper {

// The file's bytes for a name (UTF-8; nullopt or empty writes an empty first line) and a switch value.
std::string formatSettings(CodePageService& codePage, const std::optional<std::string>& name,
                           std::int16_t value);

class SettingsFile {
  public:
    explicit SettingsFile(Platform& platform) : platform_(platform) {}

    std::string path() const;
    // Falls back to the temporary a save left behind without the file. Reads no more than a few
    // kilobytes: a longer file reads as if it ended there. Throws RuntimeError when neither can be opened.
    SettingsReader open();
    // A name read from the file, as Unicode text.
    std::optional<std::string> decodeName(const std::optional<std::string>& ansi);
    // Replaces the file as a whole or not at all: a failed save leaves the previous file as it was, or
    // where the failure has already deleted it, the new content under the temporary name.
    void save(const std::optional<std::string>& name, std::int16_t value);

  private:
    std::string temporaryPath() const;

    Platform& platform_;
};

}  // namespace kestrove::keeper
