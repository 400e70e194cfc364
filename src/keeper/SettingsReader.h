#pragma once
// Reads the two fields of the settings file the way it has always been read: fields end at a comma or a
// line end, a quoted field may hold commas, and the one-line "name,switch" form reads like two lines.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrove::keeper {

class SettingsReader {
  public:
    explicit SettingsReader(std::string bytes) : bytes_(std::move(bytes)) {}

    // The entry name as the file's bytes (ANSI); nullopt for an empty line or field. A doubled quote inside
    // a quoted name stands for one quote; a quoted name ends at its line end at the latest. Throws
    // RuntimeError when the file has no more fields.
    std::optional<std::string> readName();

    // The switch value: a decimal integer in the 16-bit signed range. Throws RuntimeError at the end of
    // the file and for anything that is not such a number (the field is consumed all the same).
    std::int16_t readSwitch();

  private:
    bool atLineEnd() const;
    void skipBlanks();
    std::string_view takeUnquoted();  // up to the comma or line end, without surrounding blanks
    void passFieldEnd();              // past the rest of the field and its comma or line end

    std::string bytes_;
    std::size_t pos_ = 0;
};

}  // namespace kestrove::keeper
