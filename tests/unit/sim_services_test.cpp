// The simulated platform services, reached through the Platform the program receives.
#include <gtest/gtest.h>

#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace kestrove::sim {
namespace {

constexpr std::size_t kRecord = 264;
const std::string kRemoteAccess = "System\\CurrentControlSet\\Services\\RemoteAccess";

class SimServicesTest : public ::testing::Test {
  protected:
    Platform& platform() { return sim.platform(); }
    std::string calls() { return sim.log().dump(); }
    // "handle class title" for each window of those processes.
    std::vector<std::string> windowsOf(std::span<const std::uint32_t> processIds) {
        struct List final : WindowVisitor {
            bool visit(WindowHandle window, std::string_view classAnsi, std::string_view titleAnsi) override {
                found.push_back(std::to_string(window) + " " + std::string(classAnsi) + " " +
                                std::string(titleAnsi));
                return true;
            }
            std::vector<std::string> found;
        } list;
        platform().windows.processWindows(processIds, list);
        return list.found;
    }

    SimPlatform sim;
};

// --- phone book ---

std::string nameAt(const std::vector<std::uint8_t>& buffer, std::size_t record) {
    return reinterpret_cast<const char*>(buffer.data() + record * kRecord + 4);
}

TEST_F(SimServicesTest, PhoneBookFillsRecordsInOrderWithTheirCount) {
    sim.setPhoneBook({"B", "A", std::string(256, 'x')});
    std::vector<std::uint8_t> buffer(256 * kRecord, 0xEE);
    std::uint32_t bytes = 256 * kRecord, count = 0;

    EXPECT_EQ(platform().phoneBook.enumEntries(buffer, bytes, count), 0u);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(nameAt(buffer, 0), "B");
    EXPECT_EQ(nameAt(buffer, 1), "A");
    EXPECT_EQ(nameAt(buffer, 2), std::string(256, 'x'));
    EXPECT_EQ(buffer[kRecord + 4 + 2], 0xEE);  // bytes behind the NUL are the caller's
    EXPECT_EQ(sim.log().calls(), (std::vector<std::string>{"RasEnumEntriesA(67584)"}));
}

TEST_F(SimServicesTest, PhoneBookWritesOnlyWhatFitsAndReportsTheCountItIsTold) {
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i) names.push_back("E" + std::to_string(i));
    sim.setPhoneBook(names, 280u);
    std::vector<std::uint8_t> buffer(256 * kRecord + 100, 0);
    std::uint32_t bytes = 256 * kRecord, count = 0;

    platform().phoneBook.enumEntries(buffer, bytes, count);
    EXPECT_EQ(count, 280u);
    EXPECT_EQ(nameAt(buffer, 255), "E255");
    EXPECT_EQ(buffer[256 * kRecord + 4], 0);
}

TEST_F(SimServicesTest, MissingPhoneBookServiceThrows) {
    sim.setPhoneBookMissing(true);
    std::vector<std::uint8_t> buffer(kRecord);
    std::uint32_t bytes = kRecord, count = 0;
    EXPECT_THROW(platform().phoneBook.enumEntries(buffer, bytes, count), RuntimeError);
}

// --- code page ---

TEST_F(SimServicesTest, CodePageConvertsBothWaysAndMarksWhatItCannotCarry) {
    CodePageService& cp = platform().codePage;
    EXPECT_EQ(cp.toUnicode("Caf\xE9"), "Caf\xC3\xA9");
    EXPECT_EQ(cp.toAnsi("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xE9 \x80");
    EXPECT_EQ(cp.toAnsi("\xD0\xB6-"), "?-");  // Cyrillic zhe is not in CP1252
    EXPECT_EQ(cp.toUnicode("\x81x"), "?x");   // a byte CP1252 leaves undefined
    EXPECT_EQ(cp.toUnicode(std::string("A\0B", 3)), std::string("A\0B", 3));

    sim.setCodePage("CP1251");
    EXPECT_EQ(cp.toAnsi("\xD0\xB6"), "\xE6");
    EXPECT_EQ(cp.toUnicode("\xE6"), "\xD0\xB6");
    EXPECT_THROW(sim.setCodePage("NO-SUCH-CODEPAGE"), std::invalid_argument);
}

// --- files ---

TEST_F(SimServicesTest, FilesAreWrittenReadAndReplaced) {
    FileService& files = platform().files;
    EXPECT_EQ(files.read("C:\\Kestrove\\kestrove.rkf", 100), std::nullopt);
    EXPECT_TRUE(files.write("C:\\Kestrove\\kestrove.tmp", "\"A\"\r\n1\r\n"));
    sim.setFile("C:\\Kestrove\\kestrove.rkf", "old");
    EXPECT_TRUE(files.replace("C:\\Kestrove\\kestrove.tmp", "C:\\Kestrove\\kestrove.rkf"));

    EXPECT_EQ(files.read("C:\\Kestrove\\kestrove.rkf", 100), "\"A\"\r\n1\r\n");
    EXPECT_EQ(files.read("C:\\Kestrove\\kestrove.rkf", 4), "\"A\"\r");
    EXPECT_EQ(sim.fileNames(), (std::vector<std::string>{"C:\\Kestrove\\kestrove.rkf"}));
    files.remove("C:\\Kestrove\\kestrove.rkf");
    EXPECT_TRUE(sim.fileNames().empty());
    EXPECT_EQ(sim.log().count("MoveFileExA(C:\\Kestrove\\kestrove.tmp, C:\\Kestrove\\kestrove.rkf)"), 1u)
        << calls();
}

TEST_F(SimServicesTest, ReadOnlyFolderAndFullDiskMakeWritesFail) {
    FileService& files = platform().files;
    sim.setFile("C:\\Kestrove\\kestrove.rkf", "kept");
    sim.setFile("C:\\Temp\\new", "new");
    sim.setReadOnlyFolder("C:\\Kestrove", true);
    EXPECT_FALSE(files.write("C:\\Kestrove\\kestrove.rkf", "x"));
    EXPECT_FALSE(files.replace("C:\\Temp\\new", "C:\\Kestrove\\kestrove.rkf"));
    EXPECT_TRUE(files.write("C:\\Kestrove\\Sub\\other", "x"));  // only the folder itself
    EXPECT_EQ(sim.file("C:\\Kestrove\\kestrove.rkf"), "kept");

    sim.setReadOnlyFolder("C:\\Kestrove", false);
    sim.setDiskFull(true);
    EXPECT_FALSE(files.write("C:\\Kestrove\\kestrove.rkf", "x"));
    EXPECT_EQ(sim.file("C:\\Kestrove\\kestrove.rkf"), "");  // emptied by the open
}

// --- registry ---

TEST_F(SimServicesTest, RegistryReadsTheFlagWithTheSystemsResultCodes) {
    RegistryService& reg = platform().registry;
    sim.setRegistryValue(kRemoteAccess, "Remote Connection", {1, 0, 0, 0});
    sim.setRegistryValue(kRemoteAccess, "Long", {1, 2, 3, 4, 5, 6, 7, 8});

    RegistryKey key = 0;
    ASSERT_EQ(reg.openKey(sys::kHkeyLocalMachine, "system\\currentcontrolset\\services\\remoteaccess", key),
              0);
    EXPECT_EQ(sim.openRegistryKeys(), 1u);

    std::uint8_t data[4] = {};
    std::uint32_t size = 4;
    EXPECT_EQ(reg.queryValue(key, "Remote Connection", data, size), 0);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(data[0], 1);

    size = 4;
    EXPECT_EQ(reg.queryValue(key, "Long", data, size), 234);
    size = 4;
    EXPECT_EQ(reg.queryValue(key, "Absent", data, size), 2);
    reg.closeKey(key);
    EXPECT_EQ(sim.openRegistryKeys(), 0u);
    EXPECT_EQ(sim.log().count("RegOpenKeyA(80000002, "), 1u) << calls();
}

TEST_F(SimServicesTest, RegistryKeysExistAlongThePathUntilRemoved) {
    RegistryService& reg = platform().registry;
    sim.setRegistryValue(kRemoteAccess, "Remote Connection", {1});
    RegistryKey key = 0;
    EXPECT_EQ(reg.openKey(sys::kHkeyLocalMachine, "System\\CurrentControlSet", key), 0);
    reg.closeKey(key);
    EXPECT_EQ(reg.openKey(0x80000001u, kRemoteAccess, key), 2);  // another root

    sim.removeRegistryValue(kRemoteAccess, "Remote Connection");
    ASSERT_EQ(reg.openKey(sys::kHkeyLocalMachine, kRemoteAccess, key), 0);  // the key stays
    reg.closeKey(key);

    sim.removeRegistryKey("System\\CurrentControlSet");
    key = 0;
    EXPECT_EQ(reg.openKey(sys::kHkeyLocalMachine, kRemoteAccess, key), 2);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(sim.openRegistryKeys(), 0u);
}

// --- windows ---

TEST_F(SimServicesTest, FindWindowMatchesTopLevelWindowsExactly) {
    WindowService& windows = platform().windows;
    const WindowHandle dialog = sim.addWindow("#32770", "Connecting to Dial 1", 1004);
    const WindowHandle child = sim.addWindow("Button", "Connecting to Dial 2", 1004, dialog);
    sim.addWindow("Edit", "Connecting to Dial 2");

    EXPECT_EQ(windows.findWindow("#32770", "Connecting to Dial 1"), dialog);
    EXPECT_EQ(windows.findWindow("#32770", "Connecting to Dial"), 0u);
    EXPECT_EQ(windows.findWindow("#32770", "Connecting to Dial 2"), 0u);  // only a child has it
    EXPECT_EQ(windows.findWindow(nullptr, "Connecting to Dial 1"), dialog);
    EXPECT_EQ(windows.findWindow("#32770", nullptr), dialog);
    EXPECT_EQ(windows.getWindow(dialog, 5), child);

    sim.endProcess(1004);  // its windows go with it
    EXPECT_EQ(windows.findWindow("#32770", nullptr), 0u);
    EXPECT_EQ(windows.getWindow(dialog, 5), 0u);
    EXPECT_EQ(sim.log().count("FindWindowA(NULL, Connecting to Dial 1)"), 1u) << calls();
}

TEST_F(SimServicesTest, ChildWindowsAreWalkedInOrderAndClassNamesFillTheBufferStart) {
    WindowService& windows = platform().windows;
    const WindowHandle taskbar = sim.addWindow("Shell_TrayWnd", "");
    const WindowHandle start = sim.addWindow("Button", "Start", 0, taskbar);
    sim.addWindow("Grandchild", "", 0, start);
    const WindowHandle tray = sim.addWindow("XTrayNotifyWndX", "", 0, taskbar);
    sim.setWindowRect(tray, {900, 740, 1020, 768});

    EXPECT_EQ(windows.getWindow(taskbar, 5), start);
    EXPECT_EQ(windows.getWindow(start, 2), tray);
    EXPECT_EQ(windows.getWindow(tray, 2), 0u);
    EXPECT_EQ(windows.getWindow(0, 2), 0u);

    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(windows.getClassName(tray, buffer, 16), 15);
    EXPECT_EQ(std::string(buffer), "XTrayNotifyWndX");
    EXPECT_EQ(windows.getClassName(start, buffer, 16), 6);
    EXPECT_EQ(std::string(buffer, 16), std::string("Button\0tifyWndX\0", 16));  // the rest is left over
    EXPECT_EQ(windows.getClassName(tray, buffer, 6), 5);
    EXPECT_EQ(std::string(buffer), "XTray");

    ScreenRect rect;
    EXPECT_TRUE(windows.getWindowRect(tray, rect));
    EXPECT_EQ(rect, (ScreenRect{900, 740, 1020, 768}));
    EXPECT_FALSE(windows.getWindowRect(0x12345, rect));
}

forms::FormDesc formDesign(std::string name, std::string caption, TwipSize client) {
    forms::FormDesc d;
    d.name = std::move(name);
    d.caption = std::move(caption);
    d.client = client;
    return d;
}

struct NoEvents final : forms::FormEvents {
    void formEvent(forms::FormEvent, const forms::MouseArgs&) override {}
    void controlEvent(std::size_t, forms::ControlEvent, const forms::MouseArgs&) override {}
};

TEST_F(SimServicesTest, OwnWindowsAreFoundWithTheirRectangleInPixels) {
    NoEvents events;
    const auto form = sim.ui().createForm(formDesign("frmMain", "Kestrove", {4500, 3000}), events);
    const WindowHandle hwnd = sim.ui().windowHandle(form);
    sim.ui().moveForm(form, {5430, 4260, 4500, 3000});
    WindowService& windows = platform().windows;

    EXPECT_EQ(windows.findWindow(nullptr, "Kestrove"), hwnd);
    ScreenRect rect;
    ASSERT_TRUE(windows.getWindowRect(hwnd, rect));
    EXPECT_EQ(rect, (ScreenRect{362, 284, 662, 484}));  // 5430 / 15 = 362
    EXPECT_TRUE(platform().windowProcs.isWindow(hwnd));

    sim.ui().destroyForm(form);
    EXPECT_FALSE(platform().windowProcs.isWindow(hwnd));
    EXPECT_EQ(windows.findWindow(nullptr, "Kestrove"), 0u);
}

// --- processes and keystrokes ---

TEST_F(SimServicesTest, StartingAProcessRunsTheHookAndEnterReachesItsTarget) {
    ProcessService& processes = platform().processes;
    WindowHandle dialog = 0;
    sim.onProcessStart([&](const std::string& commandLine, std::uint32_t pid) {
        dialog = sim.addWindow("#32770", commandLine.substr(commandLine.rfind(',') + 1), pid);
    });
    std::vector<WindowHandle> confirmed;
    sim.onEnter([&](WindowHandle window) { confirmed.push_back(window); });

    auto started = processes.start("rundll32.exe rnaui.dll,RnaDial Dial 1", 1);
    ASSERT_NE(started, nullptr);
    const std::uint32_t pid = started->id();
    EXPECT_TRUE(started->running());
    EXPECT_EQ(sim.heldProcesses(), 1u);
    EXPECT_EQ(platform().windows.findWindow("#32770", "RnaDial Dial 1"), dialog);
    const std::uint32_t ids[] = {pid};
    EXPECT_EQ(windowsOf(ids), std::vector<std::string>{std::to_string(dialog) + " #32770 RnaDial Dial 1"});

    processes.sendEnter(dialog);
    EXPECT_EQ(sim.enterTargets(), (std::vector<WindowHandle>{dialog}));
    EXPECT_EQ(confirmed, sim.enterTargets());
    EXPECT_EQ(sim.startedCommandLines(), (std::vector<std::string>{"rundll32.exe rnaui.dll,RnaDial Dial 1"}));
    EXPECT_EQ(sim.log().count("CreateProcessA(rundll32.exe rnaui.dll,RnaDial Dial 1, 1)"), 1u) << calls();

    sim.endProcess(pid, 691);
    EXPECT_FALSE(started->running());
    EXPECT_EQ(started->exitCode(), 691u);
    EXPECT_TRUE(windowsOf(ids).empty());
    started.reset();
    EXPECT_EQ(sim.heldProcesses(), 0u);
}

// The dialer's windows: the visible top-level ones of the process and of those it started, in turn.
TEST_F(SimServicesTest, ProcessWindowsAreTheVisibleTopLevelOnesOfTheProcessTree) {
    auto started = platform().processes.start("dialer.exe", 1);
    const std::uint32_t root = started->id();
    const std::uint32_t child = sim.spawnProcess(root);
    const std::uint32_t grandchild = sim.spawnProcess(child);
    sim.spawnProcess(2000);
    std::uint32_t ids[8] = {};
    const std::span tree(ids, platform().processes.processTree(root, ids));
    EXPECT_EQ(std::vector(tree.begin(), tree.end()), (std::vector<std::uint32_t>{root, child, grandchild}));
    EXPECT_EQ(platform().processes.processTree(root, std::span(ids, 2)), 2u) << "no more than it holds";

    sim.addWindow("#32770", "Someone else's", 2000);
    const WindowHandle hidden = sim.addWindow("#32770", "Hidden", root);
    sim.setWindowVisible(hidden, false);
    const WindowHandle plain = sim.addWindow("RunDLL", "", root);
    sim.addWindow("#32770", "A child", root, plain);
    const WindowHandle dialog = sim.addWindow("#32770", "Connect To", grandchild);
    EXPECT_EQ(windowsOf(tree), (std::vector<std::string>{std::to_string(plain) + " RunDLL ",
                                                         std::to_string(dialog) + " #32770 Connect To"}));

    platform().windows.close(dialog);
    EXPECT_EQ(sim.closedWindows(), std::vector<WindowHandle>{dialog});
    EXPECT_EQ(windowsOf(tree), std::vector<std::string>{std::to_string(plain) + " RunDLL "});
    started->terminate();
    EXPECT_FALSE(started->running());
    EXPECT_EQ(sim.terminatedProcesses(), std::vector<std::uint32_t>{root});
}

TEST_F(SimServicesTest, AProcessThatCannotStartRunsNoHook) {
    int hooks = 0;
    sim.onProcessStart([&](const std::string&, std::uint32_t) { ++hooks; });
    sim.setProcessStartFails(true);
    EXPECT_EQ(platform().processes.start("missing.exe", 1), nullptr);
    EXPECT_EQ(hooks, 0);
    EXPECT_TRUE(sim.startedCommandLines().empty());
    EXPECT_EQ(sim.log().count("CreateProcessA(missing.exe, 1)"), 1u);
}

}  // namespace
}  // namespace kestrove::sim
