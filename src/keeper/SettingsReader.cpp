#include "keeper/SettingsReader.h"

#include <charconv>

#include "platform/Types.h"

namespace kestrove::keeper {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool SettingsReader::atLineEnd() const {
    return pos_ >= bytes_.size() || bytes_[pos_] == '\r' || bytes_[pos_] == '\n';
}

void SettingsReader::skipBlanks() {
    while (pos_ < bytes_.size() && isBlank(bytes_[pos_])) ++pos_;
}

std::string_view SettingsReader::takeUnquoted() {
    const std::size_t start = pos_;
    while (!atLineEnd() && bytes_[pos_] != ',') ++pos_;
    std::string_view field(bytes_.data() + start, pos_ - start);
    while (!field.empty() && isBlank(field.back())) field.remove_suffix(1);
    return field;
}

void SettingsReader::passFieldEnd() {
    while (!atLineEnd() && bytes_[pos_] != ',') ++pos_;
    if (pos_ >= bytes_.size()) return;
    if (bytes_[pos_] == ',') {
        ++pos_;
        return;
    }
    // CR LF, a lone CR or a lone LF ends the line.
    if (bytes_[pos_] == '\r' && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
}

std::optional<std::string> SettingsReader::readName() {
    if (pos_ >= bytes_.size()) throw RuntimeError("Input past end of file");
    skipBlanks();
    std::optional<std::string> name;
    if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
        ++pos_;
        std::string value;
        // The line end closes an unterminated quote, so the switch on the next line is still read.
        while (!atLineEnd()) {
            const char c = bytes_[pos_++];
            if (c != '"') {
                value += c;
            } else if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
                value += '"';
                ++pos_;
            } else {
                break;
            }
        }
        name = std::move(value);
    } else if (const std::string_view field = takeUnquoted(); !field.empty()) {
        name = std::string(field);
    }
    passFieldEnd();
    return name;
}

std::int16_t SettingsReader::readSwitch() {
    if (pos_ >= bytes_.size()) throw RuntimeError("Input past end of file");
    skipBlanks();
    const std::string_view field = takeUnquoted();
    passFieldEnd();
    std::string_view digits = field;
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-') digits.remove_prefix(1);
    std::int16_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty()) return 0;  // an empty field reads as zero
    if (error == std::errc::result_out_of_range) throw RuntimeError("Overflow");
    if (error != std::errc() || end != digits.data() + digits.size()) throw RuntimeError("Type mismatch");
    return value;
}

}  // namespace kestrove::keeper
