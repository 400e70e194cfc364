#include "platform/sim/SimCodePage.h"

#include <cerrno>
#include <stdexcept>

namespace kestrove::sim {

namespace {

// Bytes of the UTF-8 sequence that a lead byte opens; a stray byte counts as one.
std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

Iconv::Iconv(const std::string& to, const std::string& from) : handle_(iconv_open(to.c_str(), from.c_str())) {
    if (handle_ == reinterpret_cast<iconv_t>(-1))
        throw std::invalid_argument("iconv cannot convert " + from + " to " + to);
}

Iconv::~Iconv() { iconv_close(handle_); }

std::string Iconv::convert(std::string_view in, bool inputIsUtf8) const {
    std::string out;
    convert(in, inputIsUtf8, out);
    return out;
}

void Iconv::convert(std::string_view in, bool inputIsUtf8, std::string& out) const {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    out.clear();
    char* source = const_cast<char*>(in.data());  // iconv's signature; it does not write the input
    std::size_t sourceLeft = in.size();
    char chunk[512];
    while (sourceLeft > 0) {
        char* target = chunk;
        std::size_t targetLeft = sizeof chunk;
        const std::size_t result = iconv(handle_, &source, &sourceLeft, &target, &targetLeft);
        out.append(chunk, static_cast<std::size_t>(target - chunk));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // EILSEQ or EINVAL: the character at source has no mapping or is cut off.
        out += '?';
        const std::size_t skip =
            inputIsUtf8 ? std::min(utf8SequenceLength(static_cast<unsigned char>(*source)), sourceLeft) : 1;
        source += skip;
        sourceLeft -= skip;
    }
}

void SimCodePage::select(const std::string& name) {
    auto toUtf8 = std::make_unique<Iconv>("UTF-8", name);
    fromUtf8_ = std::make_unique<Iconv>(name, "UTF-8");
    toUtf8_ = std::move(toUtf8);
}

std::string SimCodePage::toUnicode(std::string_view ansi) { return toUtf8_->convert(ansi, false); }

void SimCodePage::toAnsi(std::string_view text, std::string& ansi) { fromUtf8_->convert(text, true, ansi); }

}  // namespace kestrove::sim

namespace kestrove::sim {
namespace {

// Upper case for the letters of the code pages the tests use (Latin-1 and Cyrillic); the rest as it is.
char32_t upper(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x430 && c <= 0x44F))
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

std::u32string upperCodePoints(std::string_view utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out.push_back(upper(c));
        i += length;
    }
    return out;
}

}  // namespace

bool SimCodePage::sameIgnoringCase(std::string_view ansiA, std::string_view ansiB) {
    return upperCodePoints(toUnicode(ansiA)) == upperCodePoints(toUnicode(ansiB));
}

}  // namespace kestrove::sim
