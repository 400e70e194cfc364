// The two saves: picking an entry and clicking the switch, and what survives a failed save.
#include "KestroveFixture.h"
#include "keeper/SettingsFile.h"

namespace kestrove::testing {
namespace {

class Saves : public KestroveTest {
  protected:
    frmMain& startWith(const std::string& file, std::vector<std::string> entries) {
        if (!file.empty()) sim.setFile(kSettingsPath, file);
        sim.setPhoneBook(std::move(entries));
        return start();
    }
    void pick(frmMain& main, std::size_t index) {
        sim.ui().pick(main.Combo1.native(), index);
        sim.ui().doEvents();
    }
    void clickSwitch(frmMain& main) {
        sim.ui().click(main.chckAuto.native());
        sim.ui().doEvents();
    }
};

TEST_F(Saves, PickingAnEntryWritesItWithTheSwitch) {
    frmMain& main = startWith("\"A\"\r\n0\r\n", {"A", "B"});
    pick(main, 1);
    EXPECT_EQ(settings(), "\"B\"\r\n0\r\n");
}

TEST_F(Saves, EachPickSavesOnceWhateverOrderTheComboBoxReportsItIn) {
    for (const sim::PickOrder order : {sim::PickOrder::ChangeFirst, sim::PickOrder::EndOkFirst}) {
        SCOPED_TRACE(order == sim::PickOrder::ChangeFirst ? "change first" : "ended OK first");
        sim::SimPlatform fresh;
        forms::Application freshApp(fresh.ui());
        fresh.setFile(kSettingsPath, "\"A\"\r\n0\r\n");
        fresh.setPhoneBook({"A", "B", "C"});
        frmMain& main = freshApp.form<frmMain>(fresh.platform());
        main.show();
        sim::SimBackend& ui = fresh.ui();
        const auto saves = [&] { return fresh.log().count("MoveFileExA"); };
        const forms::NativeId combo = main.Combo1.native();

        ui.pick(combo, 1, order);
        ui.doEvents();
        EXPECT_EQ(saves(), 1u);
        EXPECT_EQ(fresh.file(kSettingsPath), "\"B\"\r\n0\r\n");
        ui.arrowTo(combo, 2, order);
        ui.doEvents();
        EXPECT_EQ(saves(), 2u);
        EXPECT_EQ(fresh.file(kSettingsPath), "\"C\"\r\n0\r\n");
        ui.dismissList(combo);
        ui.doEvents();
        EXPECT_EQ(saves(), 2u) << "opening and closing the list saved";
        ui.arrowTo(combo, 1, order);
        ui.doEvents();
        EXPECT_EQ(saves(), 3u);
        EXPECT_EQ(fresh.file(kSettingsPath), "\"B\"\r\n0\r\n");
    }
}

TEST_F(Saves, TickingTheSwitchWritesTheEntryBeingKeptAlive) {
    frmMain& main = startWith("\"A\"\r\n0\r\n", {"A", "B"});
    pick(main, 1);
    clickSwitch(main);
    EXPECT_EQ(main.chckAuto.value(), 1);
    EXPECT_EQ(settings(), "\"B\"\r\n1\r\n");
}

TEST_F(Saves, FirstRunPickThenTickKeepsThePickedName) {
    frmMain& main = startWith("", {"A", "B"});
    pick(main, 1);
    clickSwitch(main);
    EXPECT_EQ(settings(), "\"B\"\r\n1\r\n");
}

TEST_F(Saves, AnEmptyNameIsAnEmptyFirstLineFromEitherSave) {
    frmMain& main = startWith("", {"", "A"});  // an entry the enumeration left without a name
    clickSwitch(main);                         // first run: the combo box text is empty
    EXPECT_EQ(settings(), "\r\n1\r\n");
    pick(main, 1);
    pick(main, 0);
    EXPECT_EQ(settings(), "\r\n1\r\n");
}

TEST_F(Saves, TypingIsNotAPickButTheSwitchWritesTheTypedName) {
    frmMain& main = startWith("\"A\"\r\n0\r\n", {"A"});
    sim.ui().type(main.Combo1.native(), "Typed");
    sim.ui().doEvents();
    EXPECT_EQ(settings(), "\"A\"\r\n0\r\n");
    clickSwitch(main);
    EXPECT_EQ(settings(), "\"Typed\"\r\n1\r\n");
    clickSwitch(main);
    EXPECT_EQ(main.chckAuto.value(), 0);
    EXPECT_EQ(settings(), "\"Typed\"\r\n0\r\n");
}

TEST_F(Saves, NameWithQuotesRoundTripsWhole) {
    frmMain& main = startWith("", {"say \"hi\""});
    pick(main, 0);
    EXPECT_EQ(settings(), "\"say \"\"hi\"\"\"\r\n0\r\n");

    sim::SimPlatform next;
    forms::Application nextApp(next.ui());
    next.setFile(kSettingsPath, *settings());
    frmMain& restarted = nextApp.form<frmMain>(next.platform());
    restarted.show();
    EXPECT_EQ(restarted.Combo1.text(), "say \"hi\"");
}

TEST_F(Saves, FailedSaveKeepsThePreviousFileAndTheProgramRunning) {
    for (const bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only folder" : "disk full");
        sim::SimPlatform fresh;
        forms::Application freshApp(fresh.ui());
        fresh.setFile(kSettingsPath, "\"A\"\r\n0\r\n");
        fresh.setPhoneBook({"A", "B"});
        frmMain& main = freshApp.form<frmMain>(fresh.platform());
        main.show();
        if (readOnly) {
            fresh.setReadOnlyFolder("C:\\Kestrove", true);
        } else {
            fresh.setDiskFull(true);
        }
        fresh.ui().pick(main.Combo1.native(), 1);
        fresh.ui().click(main.chckAuto.native());
        fresh.ui().doEvents();

        EXPECT_EQ(fresh.file(kSettingsPath), "\"A\"\r\n0\r\n");
        EXPECT_EQ(fresh.fileNames(), std::vector<std::string>{kSettingsPath});  // no temporary left
        EXPECT_EQ(freshApp.unhandledErrors(), 0u);
        EXPECT_EQ(main.chckAuto.value(), 1);
    }
}

TEST_F(Saves, AReplaceThatLostTheOldFileKeepsTheNewSettingsForTheNextStart) {
    frmMain& main = startWith("\"A\"\r\n0\r\n", {"A", "B"});
    sim.setMoveFailsAfterDelete(true);
    pick(main, 1);
    EXPECT_EQ(settings(), std::nullopt);
    ASSERT_EQ(sim.fileNames().size(), 1u);
    EXPECT_EQ(sim.file(sim.fileNames().front()), "\"B\"\r\n0\r\n");

    sim::SimPlatform next;
    forms::Application nextApp(next.ui());
    next.setFile(sim.fileNames().front(), *sim.file(sim.fileNames().front()));
    frmMain& restarted = nextApp.form<frmMain>(next.platform());
    restarted.show();
    EXPECT_EQ(restarted.Combo1.text(), "B");
}

TEST_F(Saves, SaveReplacesTheFileThroughATemporaryInTheSameFolder) {
    frmMain& main = startWith("\"A\"\r\n0\r\n", {"A", "B"});
    sim.log().clear();
    pick(main, 1);
    const auto& log = sim.log().calls();
    ASSERT_EQ(sim.log().count("WriteFile"), 1u) << calls();
    const auto write =
        std::find_if(log.begin(), log.end(), [](auto& c) { return c.starts_with("WriteFile"); });
    EXPECT_NE(write->find("C:\\Kestrove\\"), std::string::npos) << *write;
    EXPECT_EQ(write->find("kestrove.rkf"), std::string::npos) << "wrote the settings file in place";
    EXPECT_EQ(sim.log().count("MoveFileExA"), 1u) << calls();
}

TEST_F(Saves, FileGoesBesideTheExecutableWithTheSeparatorAlwaysInserted) {
    sim.setExeDirectory("D:\\");
    EXPECT_EQ(keeper::SettingsFile(sim.platform()).path(), "D:\\\\kestrove.rkf");
    sim.setExeDirectory("D:\\Tools");
    EXPECT_EQ(keeper::SettingsFile(sim.platform()).path(), "D:\\Tools\\kestrove.rkf");
}

TEST_F(Saves, NamesAreWrittenInTheAnsiCodePage) {
    sim.setCodePage("CP1251");
    frmMain& main = startWith("", {"\xCF\xF0\xEE\xE2\xE0\xE9\xE4\xE5\xF0"});  // "Провайдер"
    EXPECT_EQ(main.Combo1.list().front(), "Провайдер");
    pick(main, 0);
    EXPECT_EQ(settings(), "\"\xCF\xF0\xEE\xE2\xE0\xE9\xE4\xE5\xF0\"\r\n0\r\n");
}

}  // namespace
}  // namespace kestrove::testing
