// The simulated desktop put together: every service over one call log, wired into a Platform.

#include "platform/sim/SimPlatform.h"

#include <cstdio>

#include "platform/sim/SimCodePage.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimPhoneBook.h"
#include "platform/sim/SimProcesses.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimWindowProcs.h"
#include "platform/sim/SimWindows.h"

namespace kestrove::sim {

namespace {

class SimProgramInfo final : public ProgramInfo {
  public:
    static constexpr ModuleHandle kInstance = 0x400000;
    static constexpr std::uint32_t kStartOfDay = 8 * 3600;  // the virtual clock starts at 08:00:00

    explicit SimProgramInfo(SimBackend& clock) : clock_(clock) {}

    std::string exeDirectory() override { return directory; }
    std::string systemDirectory() override { return systemFolder; }
    ModuleHandle instance() override { return kInstance; }
    PlatformFamily family() override { return platformFamily; }
    std::string timeOfDayAnsi(std::int32_t msFromNow) override {
        const std::int64_t at = std::int64_t{kStartOfDay} * 1000 + clock_.nowMs() + msFromNow;
        const auto t = static_cast<std::uint32_t>((at / 1000 + (msFromNow > 0 && at % 1000 != 0)) % 86400);
        char text[16];
        std::snprintf(text, sizeof text, "%02u:%02u:%02u", t / 3600, t / 60 % 60, t % 60);
        return text;
    }

    std::string directory = "C:\\Kestrove";
    std::string systemFolder = "C:\\WINDOWS\\SYSTEM32";
    PlatformFamily platformFamily = PlatformFamily::Windows9x;

  private:
    SimBackend& clock_;
};

class SimRasConnections final : public RasConnectionService {
  public:
    explicit SimRasConnections(CallLog& log) : log_(log) {}
    bool connections(std::vector<RasConnection>& connections) override {
        log_.add("RasEnumConnectionsA");
        if (fails) return false;
        connections = scripted;
        return true;
    }
    std::string errorText(std::uint32_t error) override {
        log_.add("RasGetErrorStringA(" + std::to_string(error) + ")");
        const auto text = texts.find(error);
        return text == texts.end() ? std::string() : text->second;
    }
    std::vector<RasConnection> scripted;
    std::map<std::uint32_t, std::string> texts;
    bool fails = false;

  private:
    CallLog& log_;
};

}  // namespace

struct SimPlatform::Impl {
    Impl(CallLog& log, SimBackend& backend)
        : phoneBook(log),
          files(log),
          program(backend),
          registry(log),
          windows(log, backend, codePage),
          processes(log, windows),
          shell(log),
          windowProcs(log, windows),
          rasConnections(log) {}

    SimPhoneBook phoneBook;
    SimCodePage codePage;
    SimFiles files;
    SimProgramInfo program;
    SimRegistry registry;
    SimWindows windows;
    SimProcesses processes;
    SimShell shell;
    SimWindowProcs windowProcs;
    SimRasConnections rasConnections;
};

SimPlatform::SimPlatform()
    : backend_(log_),
      impl_(std::make_unique<Impl>(log_, backend_)),
      platform_(std::make_unique<Platform>(Platform{
          impl_->phoneBook, impl_->codePage, impl_->files, impl_->program, impl_->registry, impl_->windows,
          impl_->processes, impl_->shell, impl_->windowProcs, impl_->rasConnections})) {
    // As the real services do: a window destroyed while hooked and in the tray takes neither along.
    backend_.beforeDestroy([this](WindowHandle window) {
        impl_->windowProcs.release(window);
        impl_->shell.release(window);
    });
}

SimPlatform::~SimPlatform() { backend_.beforeDestroy(nullptr); }

void SimPlatform::setPhoneBook(std::vector<std::string> ansiNames,
                               std::optional<std::uint32_t> reportedCount) {
    impl_->phoneBook.set(std::move(ansiNames), reportedCount);
}

void SimPlatform::setPhoneBookMissing(bool missing) { impl_->phoneBook.setMissing(missing); }

void SimPlatform::setCodePage(std::string name) { impl_->codePage.select(name); }

void SimPlatform::setFile(const std::string& path, std::string bytes) {
    impl_->files.set(path, std::move(bytes));
}

std::optional<std::string> SimPlatform::file(const std::string& path) const { return impl_->files.get(path); }

std::vector<std::string> SimPlatform::fileNames() const { return impl_->files.names(); }

void SimPlatform::setReadOnlyFolder(const std::string& folder, bool readOnly) {
    impl_->files.setReadOnlyFolder(folder, readOnly);
}

void SimPlatform::setDiskFull(bool full) { impl_->files.setDiskFull(full); }

void SimPlatform::setMoveFailsAfterDelete(bool fails) { impl_->files.setMoveFailsAfterDelete(fails); }

void SimPlatform::setExeDirectory(std::string directory) { impl_->program.directory = std::move(directory); }

void SimPlatform::setSystemDirectory(std::string directory) {
    impl_->program.systemFolder = std::move(directory);
}

void SimPlatform::setRegistryValue(const std::string& subKey, const std::string& name,
                                   std::vector<std::uint8_t> bytes) {
    impl_->registry.setValue(subKey, name, std::move(bytes));
}

void SimPlatform::removeRegistryValue(const std::string& subKey, const std::string& name) {
    impl_->registry.removeValue(subKey, name);
}

void SimPlatform::removeRegistryKey(const std::string& subKey) { impl_->registry.removeKey(subKey); }

std::size_t SimPlatform::openRegistryKeys() const { return impl_->registry.openHandles(); }

WindowHandle SimPlatform::addWindow(std::string className, std::string title, std::uint32_t processId,
                                    WindowHandle parent) {
    return impl_->windows.add(std::move(className), std::move(title), processId, parent);
}

void SimPlatform::removeWindow(WindowHandle window) { impl_->windows.remove(window); }

void SimPlatform::setWindowVisible(WindowHandle window, bool visible) {
    impl_->windows.setVisible(window, visible);
}

void SimPlatform::setWindowRect(WindowHandle window, ScreenRect rect) {
    impl_->windows.setRect(window, rect);
}

void SimPlatform::onProcessStart(std::function<void(const std::string&, std::uint32_t)> hook) {
    impl_->processes.onStart(std::move(hook));
}

void SimPlatform::setProcessStartFails(bool fails) { impl_->processes.setStartFails(fails); }

void SimPlatform::endProcess(std::uint32_t processId, std::uint32_t exitCode) {
    impl_->processes.end(processId, exitCode);
}

std::uint32_t SimPlatform::spawnProcess(std::uint32_t parentId) { return impl_->processes.spawn(parentId); }

std::uint32_t SimPlatform::runProgram(std::string exeName) {
    return impl_->processes.run(std::move(exeName));
}

std::vector<std::uint32_t> SimPlatform::terminatedProcesses() const { return impl_->processes.terminated(); }

std::vector<WindowHandle> SimPlatform::closedWindows() const { return impl_->windows.closed(); }

void SimPlatform::setBalloons(bool supported) { impl_->shell.setBalloons(supported); }

std::vector<std::pair<std::string, std::string>> SimPlatform::balloons() const {
    return impl_->shell.balloonsShown();
}

std::vector<std::string> SimPlatform::startedCommandLines() const { return impl_->processes.started(); }

std::vector<WindowHandle> SimPlatform::enterTargets() const { return impl_->processes.enterTargets(); }

std::size_t SimPlatform::heldProcesses() const { return impl_->processes.held(); }

void SimPlatform::onEnter(std::function<void(WindowHandle)> hook) {
    impl_->processes.onEnter(std::move(hook));
}

void SimPlatform::setNotifyIconFails(bool fails) { impl_->shell.setNotifyIconFails(fails); }

void SimPlatform::dropTrayIcons() { impl_->shell.dropIcons(); }

void SimPlatform::setWindowProcInstallFails(bool fails) { impl_->windowProcs.setInstallFails(fails); }

std::vector<NotifyIconRecord> SimPlatform::notifyIconRecords() const { return impl_->shell.records(); }

bool SimPlatform::trayIconPresent() const { return impl_->shell.iconPresent(); }

MessageResult SimPlatform::sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
    return impl_->windowProcs.send(window, message, wParam, lParam);
}

void SimPlatform::setDefaultWindowProcResult(MessageResult result) {
    impl_->windowProcs.setDefaultResult(result);
}

ModuleHandle SimPlatform::instance() const { return SimProgramInfo::kInstance; }

}  // namespace kestrove::sim

namespace kestrove::sim {

void SimPlatform::setFamily(PlatformFamily family) { impl_->program.platformFamily = family; }

void SimPlatform::setRasConnections(std::vector<RasConnection> connections) {
    impl_->rasConnections.scripted = std::move(connections);
}

void SimPlatform::setRasConnectionsFail(bool fails) { impl_->rasConnections.fails = fails; }

void SimPlatform::setRasErrorText(std::uint32_t error, std::string ansi) {
    impl_->rasConnections.texts[error] = std::move(ansi);
}

}  // namespace kestrove::sim
