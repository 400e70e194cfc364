// The parts of the Win32 backend that need no Windows: handle ownership, text conversion, twips <->
// pixels, mouse masks and asking the phone book again for more entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Geometry.h"
#include "platform/win32/MouseInput.h"
#include "platform/win32/Owned.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/services/EnumerateEntries.h"

namespace kestrove::win32 {
namespace {

// A "handle" is a pointer to the number of times it has been closed.
void countClose(int* closes) { ++*closes; }
using OwnedCounter = Owned<int*, countClose>;

TEST(OwnedHandle, ClosesEachHandleExactlyOnceWhateverPathItTakes) {
    int a = 0, b = 0, c = 0;
    {
        OwnedCounter first(&a);
        OwnedCounter moved(std::move(first));  // ownership travels; the source is empty
        EXPECT_FALSE(first);
        OwnedCounter target(&b);
        target = std::move(moved);  // the target's own handle goes first
        EXPECT_EQ(b, 1);
        EXPECT_EQ(a, 0);
        OwnedCounter& alias = target;
        target = std::move(alias);  // self-move must not close
        EXPECT_EQ(a, 0);
        OwnedCounter given(&c);
        EXPECT_EQ(given.release(), &c);  // handed over to the system: never closed by us
    }
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(c, 0);
}

TEST(OwnedHandle, ResetClosesTheOldHandleButNotTheSameOneTwice) {
    int a = 0, b = 0;
    OwnedCounter owner(&a);
    owner.reset(&a);
    EXPECT_EQ(a, 0);
    owner.reset(&b);
    EXPECT_EQ(a, 1);
    owner.reset();
    EXPECT_EQ(b, 1);
    EXPECT_FALSE(owner);
}

TEST(OwnedHandle, AHandleThatFailsAsMinusOneIsNeverClosedWhenEmpty) {
    using OwnedMinusOne = Owned<int*, countClose, -1>;  // countClose would crash on the -1 "handle"
    OwnedMinusOne empty;
    EXPECT_FALSE(empty);
    empty.reset();
    int a = 0;
    {
        OwnedMinusOne owner(&a);
        EXPECT_TRUE(owner);
    }
    EXPECT_EQ(a, 1);
}

struct FakeComObject {
    int releases = 0;
    unsigned long Release() { return static_cast<unsigned long>(++releases); }
};

TEST(ComPointer, ReleasesOnceAndOnlyWhatItHolds) {
    FakeComObject one, two;
    {
        ComPtr<FakeComObject> p;
        *p.put() = &one;
        ComPtr<FakeComObject> q(std::move(p));
        EXPECT_FALSE(p);
        *q.put() = &two;  // refilling releases what was held
        EXPECT_EQ(one.releases, 1);
        ComPtr<FakeComObject> r;
        r = std::move(q);
        EXPECT_EQ(two.releases, 0);
    }
    EXPECT_EQ(one.releases, 1);
    EXPECT_EQ(two.releases, 1);
}

std::u16string toUtf16(std::string_view s) { return utf8ToUtf16<char16_t>(s); }
std::string toUtf8(std::u16string_view s) { return utf16ToUtf8<char16_t>(s); }

TEST(Utf16Conversion, WellFormedTextSurvivesTheRoundTrip) {
    const std::vector<std::string> samples = {"",
                                              "Dial 1",
                                              "Caf\xC3\xA9",
                                              "\xD0\x9C\xD0\xBE\xD0\xB4\xD0\xB5\xD0\xBC",  // Cyrillic
                                              "\xE2\x82\xAC 5",
                                              "\xF0\x9F\x98\x80",
                                              std::string("a\0b", 3)};
    for (const auto& s : samples) EXPECT_EQ(toUtf8(toUtf16(s)), s) << s;
    EXPECT_EQ(toUtf16("\xE2\x82\xAC"), u"\u20AC");
    EXPECT_EQ(toUtf16("\xF0\x9F\x98\x80"), (std::u16string{0xD83D, 0xDE00}));  // one surrogate pair
    EXPECT_EQ(toUtf16(std::string("a\0b", 3)).size(), 3u);
}

TEST(Utf16Conversion, MalformedUtf8BecomesOneReplacementPerBadByte) {
    const char16_t r = 0xFFFD;
    EXPECT_EQ(toUtf16("\x80"), (std::u16string{r}));                       // stray continuation
    EXPECT_EQ(toUtf16("A\xE2\x82"), (std::u16string{u'A', r, r}));         // cut short at the end
    EXPECT_EQ(toUtf16("\xC0\x80"), (std::u16string{r, r}));                // overlong NUL
    EXPECT_EQ(toUtf16("\xE0\x80\x80"), (std::u16string{r, r, r}));         // overlong, three bytes
    EXPECT_EQ(toUtf16("\xED\xA0\x80"), (std::u16string{r, r, r}));         // an encoded surrogate
    EXPECT_EQ(toUtf16("\xF4\x90\x80\x80"), (std::u16string{r, r, r, r}));  // beyond U+10FFFF
    EXPECT_EQ(toUtf16("\xC3"
                      "A"),
              (std::u16string{r, u'A'}));  // the next character survives
}

TEST(Utf16Conversion, UnpairedSurrogatesBecomeReplacements) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(toUtf8(std::u16string{0xD83D}), replacement);
    EXPECT_EQ(toUtf8(std::u16string{0xDE00, u'x'}), replacement + "x");
    EXPECT_EQ(toUtf8(std::u16string{0xD83D, u'x'}), replacement + "x");
}

TEST(TwipsAndPixels, DesignSizesBecomeTheExpectedPixelsAtCommonResolutions) {
    // The main window's client area: 377 x 103 pixels at 96 dpi.
    EXPECT_EQ(toPixels({0, 0, 5655, 1545}, {96, 96}), (PixelRect{0, 0, 377, 103}));
    EXPECT_EQ(toPixels({0, 0, 5655, 1545}, {120, 120}), (PixelRect{0, 0, 471, 129}));
    // Fractional twips are rounded to the nearest pixel, each value on its own.
    EXPECT_EQ(toPixels({5122.5f, 4515, 7.4f, 7.5f}, {96, 96}), (PixelRect{342, 301, 0, 1}));
    EXPECT_EQ(twipsToPixels(-7.5f, 96), -1);
    // Back to twips, exactly: the full 1024 x 768 screen and a 32-pixel icon.
    EXPECT_EQ(pixelsToTwips(1024, 96), 15360.0f);
    EXPECT_EQ(pixelsToTwips(32, 96), 480.0f);
    EXPECT_EQ(pixelsToTwips(32, 120), 384.0f);
    const TwipRect back = toTwips({100, 50, 377, 103}, {96, 96});
    EXPECT_EQ(back.left, 1500.0f);
    EXPECT_EQ(back.width, 5655.0f);
}

TEST(TwipsAndPixels, FontHeightsAndPictureSizesFollowTheResolution) {
    EXPECT_EQ(fontHeight(8.25f, 96), -11);
    EXPECT_EQ(fontHeight(18.0f, 96), -24);
    EXPECT_EQ(fontHeight(8.25f, 120), -14);
    EXPECT_EQ(mulDivRounded(5, 1, 2), 3);  // halves away from zero
    EXPECT_EQ(mulDivRounded(-7, 3, 2), -11);
    EXPECT_EQ(mulDivRounded(7, 3, -2), -11);
    // Pictures report HIMETRIC: the 120 x 60 banner at 96 dpi is 3175 x 1588.
    EXPECT_EQ(himetricToTwips(3175), 1800.0f);
    EXPECT_NEAR(himetricToTwips(1588), 900.0f, 0.5f);
    EXPECT_NEAR(himetricToTwips(9022), 5115.0f, 0.5f);
}

TEST(MouseMasks, ButtonsAndKeysMapToTheHandlersMasks) {
    using namespace mouseFlag;
    EXPECT_EQ(heldButtons(kLeft | kMiddle | kShift), forms::kLeftButton | forms::kMiddleButton);
    EXPECT_EQ(heldButtons(kRight | kControl), forms::kRightButton);
    EXPECT_EQ(shiftState(kRight | kShift, false), forms::kShiftMask);  // Shift alone, as the credits want
    EXPECT_EQ(shiftState(kShift | kControl, true), forms::kShiftMask | forms::kCtrlMask | forms::kAltMask);
    EXPECT_EQ(shiftState(kLeft | kRight | kMiddle, false), 0);
}

// The dial-up service as it answers: nothing filled into a buffer that is too small, only the count and
// the bytes it needs.
struct PhoneBookDouble {
    explicit PhoneBookDouble(std::size_t count, std::size_t grow = 0) : entries(count), growBy(grow) {}
    std::size_t entries;
    std::size_t growBy;  // entries added after each call
    std::vector<std::uint32_t> askedBytes;

    std::uint32_t operator()(std::span<std::uint8_t> buffer, std::uint32_t& bytes, std::uint32_t& count) {
        askedBytes.push_back(bytes);
        const std::size_t total = entries;
        entries += growBy;
        count = static_cast<std::uint32_t>(total);
        if (buffer.size() < 4 || buffer[0] != 8 || bytes < total * 8) {
            bytes = static_cast<std::uint32_t>(total * 8);
            return sys::kErrorBufferTooSmall;
        }
        for (std::size_t i = 0; i < total; ++i) buffer[i * 8 + 4] = static_cast<std::uint8_t>(i);
        return 0;
    }
};

std::vector<std::uint8_t> recordsOfEight(std::size_t records) {
    std::vector<std::uint8_t> buffer(records * 8, 0xEE);
    buffer[0] = 8;  // the record size, in record 0 only
    return buffer;
}

TEST(PhoneBookEnumeration, MoreEntriesThanFitAreAskedForAgainAndTheFirstKept) {
    PhoneBookDouble service{10};
    auto buffer = recordsOfEight(4);
    std::uint32_t bytes = 32, count = 0;
    EXPECT_EQ(enumerateKeepingWhatFits(buffer, bytes, count, service), 0u);
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(service.askedBytes, (std::vector<std::uint32_t>{32, 80}));
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(buffer[i * 8 + 4], i) << i;
}

TEST(PhoneBookEnumeration, AGrowingPhoneBookIsAskedForABoundedNumberOfTimes) {
    PhoneBookDouble service{10, 5};
    auto buffer = recordsOfEight(4);
    std::uint32_t bytes = 32, count = 0;
    EXPECT_EQ(enumerateKeepingWhatFits(buffer, bytes, count, service), sys::kErrorBufferTooSmall);
    EXPECT_EQ(service.askedBytes.size(), static_cast<std::size_t>(kEnumerationAttempts));
    EXPECT_EQ(buffer[4], 0xEE);  // nothing copied from a failed call

    PhoneBookDouble fits{3};
    auto roomy = recordsOfEight(4);
    bytes = 32;
    EXPECT_EQ(enumerateKeepingWhatFits(roomy, bytes, count, fits), 0u);
    EXPECT_EQ(fits.askedBytes.size(), 1u);
    EXPECT_EQ(count, 3u);
}

}  // namespace
}  // namespace kestrove::win32
