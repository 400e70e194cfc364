// What the settings reader accepts: the two fields as the file has always held them.
#include <gtest/gtest.h>

#include "keeper/SettingsReader.h"
#include "platform/Types.h"

using kestrove::RuntimeError;
using kestrove::keeper::SettingsReader;

namespace {

struct Read {
    std::optional<std::string> name;
    bool nameFailed = false;
    std::int16_t value = 0;
    bool valueFailed = false;
};

// Reads both fields the way start-up does: each on its own, a failure leaves the default.
Read readBoth(std::string bytes) {
    SettingsReader reader(std::move(bytes));
    Read r;
    try {
        r.name = reader.readName();
    } catch (const RuntimeError&) {
        r.nameFailed = true;
    }
    try {
        r.value = reader.readSwitch();
    } catch (const RuntimeError&) {
        r.valueFailed = true;
    }
    return r;
}

}  // namespace

TEST(SettingsReader, ReadsTheThirteenByteExample) {
    const Read r = readBoth("\x22\x44\x69\x61\x6C\x20\x31\x22\x0D\x0A\x31\x0D\x0A");
    EXPECT_EQ(r.name, "Dial 1");
    EXPECT_EQ(r.value, 1);
}

TEST(SettingsReader, QuotedNameKeepsCommasAndPassesOverTheRestOfItsField) {
    EXPECT_EQ(readBoth("\"a, b\"\r\n1\r\n").name, "a, b");
    const Read trailing = readBoth("\"A\" junk\r\n1\r\n");
    EXPECT_EQ(trailing.name, "A");
    EXPECT_EQ(trailing.value, 1);
    EXPECT_EQ(readBoth("   \"  padded  \"\r\n0\r\n").name, "  padded  ");
}

TEST(SettingsReader, UnquotedNameIsTrimmedAndEndsAtAComma) {
    const Read r = readBoth("   Dial 2   ,  1  \r\n");
    EXPECT_EQ(r.name, "Dial 2");
    EXPECT_EQ(r.value, 1);
}

TEST(SettingsReader, OneLineFormReadsLikeTwoLines) {
    const Read r = readBoth("\x22\x41\x22\x2C\x31\x0D\x0A");
    EXPECT_EQ(r.name, "A");
    EXPECT_EQ(r.value, 1);
}

TEST(SettingsReader, EmptyFirstLineLeavesTheNameUnset) {
    const Read r = readBoth("\r\n1\r\n");
    EXPECT_FALSE(r.nameFailed);
    EXPECT_EQ(r.name, std::nullopt);
    EXPECT_EQ(r.value, 1);
    EXPECT_EQ(readBoth(",1").name, std::nullopt);
}

TEST(SettingsReader, AcceptsLoneLineFeedsAndCarriageReturns) {
    EXPECT_EQ(readBoth("\"A\"\n2\n").value, 2);
    EXPECT_EQ(readBoth("\"A\"\r0\r").name, "A");
}

TEST(SettingsReader, SwitchMustBeASixteenBitDecimal) {
    EXPECT_EQ(readBoth("\"A\"\r\n32767\r\n").value, 32767);
    EXPECT_EQ(readBoth("\"A\"\r\n-32768\r\n").value, -32768);
    EXPECT_EQ(readBoth("\"A\"\r\n+2\r\n").value, 2);
    for (const char* bad : {"32768", "-32769", "abc", "1x", "+-1", "1.5", "99999999999"}) {
        const Read r = readBoth(std::string("\"A\"\r\n") + bad + "\r\n");
        EXPECT_TRUE(r.valueFailed) << bad;
        EXPECT_EQ(r.value, 0) << bad;
        EXPECT_EQ(r.name, "A") << bad;
    }
}

TEST(SettingsReader, AnythingAfterTheSwitchIsIgnored) {
    const Read r = readBoth("\"A\"\r\n1,7\r\nmore\r\n");
    EXPECT_EQ(r.value, 1);
}

TEST(SettingsReader, MissingFieldsFailAtTheEndOfTheFile) {
    const Read empty = readBoth("");
    EXPECT_TRUE(empty.nameFailed);
    EXPECT_TRUE(empty.valueFailed);
    const Read oneField = readBoth("\"A\"\r\n");
    EXPECT_EQ(oneField.name, "A");
    EXPECT_TRUE(oneField.valueFailed);
}

TEST(SettingsReader, DoubledQuoteInsideANameIsOneQuote) {
    EXPECT_EQ(readBoth("\"say \"\"hi\"\"\"\r\n0\r\n").name, "say \"hi\"");
    // A name whose quote was written undoubled reads as it always did: up to that quote.
    EXPECT_EQ(readBoth("\"a\"b\"\r\n0\r\n").name, "a");
    // A name ending in a quote, as it was once written undoubled: the line end closes the name, and the
    // switch on the next line is still read.
    const Read quoteAtEnd = readBoth("\x22\x41\x22\x22\x0D\x0A\x31\x0D\x0A");
    EXPECT_EQ(quoteAtEnd.name, "A\"");
    EXPECT_EQ(quoteAtEnd.value, 1);
    // An unterminated quote ends at its line end, or at the end of the file.
    const Read open = readBoth("\"open\r\n1\r\n");
    EXPECT_EQ(open.name, "open");
    EXPECT_EQ(open.value, 1);
    EXPECT_EQ(readBoth("\"open").name, "open");
}
