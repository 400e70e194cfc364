// The phone book's names: order, length, decoding, replacement of the list, and failures.
#include <gtest/gtest.h>

#include "keeper/PhoneBook.h"
#include "platform/sim/SimPlatform.h"

namespace kestrove::testing {
namespace {

class PhoneBook : public ::testing::Test {
  protected:
    std::vector<std::string> enumerate() {
        keeper::enumeratePhoneBook(sim.platform().phoneBook, sim.platform().codePage, names);
        return names;
    }
    sim::SimPlatform sim;
    std::vector<std::string> names;
};

TEST_F(PhoneBook, KeepsTheServicesOrderInOneCallSizedFor256Records) {
    sim.setPhoneBook({"B", "A", "C"});
    EXPECT_EQ(enumerate(), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_EQ(sim.log().count("RasEnumEntriesA(67584)"), 1u) << sim.log().dump();
    EXPECT_EQ(sim.log().count("RasEnumEntriesA"), 1u);
}

TEST_F(PhoneBook, NamesOfOneAndOfTheFull256CharactersComeBackWhole) {
    const std::string longest(256, 'x');
    sim.setPhoneBook({"1", longest});
    EXPECT_EQ(enumerate(), (std::vector<std::string>{"1", longest}));
}

TEST_F(PhoneBook, ReplacesWhatTheListHeld) {
    names = {"old 1", "old 2", "old 3", "old 4"};
    sim.setPhoneBook({"new"});
    EXPECT_EQ(enumerate(), std::vector<std::string>{"new"});
}

TEST_F(PhoneBook, EmptyOrMissingServiceFailsAndLeavesTheListAlone) {
    names = {"kept"};
    sim.setPhoneBook({});
    EXPECT_THROW(enumerate(), RuntimeError);
    EXPECT_EQ(names, std::vector<std::string>{"kept"});
    sim.setPhoneBook({"A"});
    sim.setPhoneBookMissing(true);
    EXPECT_THROW(enumerate(), RuntimeError);
    EXPECT_EQ(names, std::vector<std::string>{"kept"});
}

TEST_F(PhoneBook, MoreThan256EntriesGiveTheFirst256Only) {
    std::vector<std::string> many;
    for (int i = 0; i < 256; ++i) many.push_back("E" + std::to_string(i));
    sim.setPhoneBook(many, 300);
    const auto got = enumerate();
    ASSERT_EQ(got.size(), 256u);
    EXPECT_EQ(got.front(), "E0");
    EXPECT_EQ(got.back(), "E255");
}

TEST_F(PhoneBook, DecodesTheSystemCodePage) {
    sim.setCodePage("CP1252");
    sim.setPhoneBook({"Caf\xE9 \x80"});
    EXPECT_EQ(enumerate(), std::vector<std::string>{"Café €"});
    sim.setCodePage("CP1251");
    sim.setPhoneBook({"\xC4\xEE\xEC"});
    EXPECT_EQ(enumerate(), std::vector<std::string>{"Дом"});
}

}  // namespace
}  // namespace kestrove::testing
