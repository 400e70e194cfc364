// The watch tick runs as often as the system delivers timer ticks and the probe once a second: both
// must stay cheap, and the watch must not touch the heap once running. Window lookup and registry
// are quiet stand-ins here, so the figures are the program's own work, not the simulator's record.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/forms/Application.h"
#include "platform/sim/SimPlatform.h"
#include "ui/frmMain.h"

namespace {

std::atomic<std::size_t> allocations{0};

}  // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace kestrove;

class QuietWindows final : public WindowService {
  public:
    WindowHandle findWindow(const char* classAnsi, const char* titleAnsi) override {
        // As the system does: compare both, find nothing.
        if (classAnsi != nullptr && titleAnsi != nullptr) {
            benchmark::DoNotOptimize(std::strcmp(classAnsi, "#32770") + std::strlen(titleAnsi));
        }
        return 0;
    }
    WindowHandle getWindow(WindowHandle, unsigned) override { return 0; }
    int getClassName(WindowHandle, char*, int) override { return 0; }
    bool getWindowRect(WindowHandle, ScreenRect&) override { return false; }
    void drawAnimatedRects(WindowHandle, int, const ScreenRect&, const ScreenRect&) override {}
    void processWindows(std::span<const std::uint32_t>, WindowVisitor&) override {}
    void close(WindowHandle) override {}
};

class QuietRegistry final : public RegistryService {
  public:
    std::int32_t openKey(RegistryKey, const std::string&, RegistryKey& key) override {
        key = 0x1234;
        return 0;
    }
    std::int32_t queryValue(RegistryKey, const std::string&, std::uint8_t* data,
                            std::uint32_t& size) override {
        std::memcpy(data, "\1\0\0\0", 4);
        size = 4;
        return 0;
    }
    void closeKey(RegistryKey) override {}
};

// The program started armed with a long entry name, beyond any small-string buffer.
struct Running {
    Running() : platform(quietPlatform()), app(sim.ui()) {
        sim.setFile("C:\\Kestrove\\kestrove.rkf", "\"My Internet Service Provider\"\r\n1\r\n");
        main = &app.form<frmMain>(platform);
        main->show();
        main->Timer1.onTimer();  // the first tick sizes the reused buffers
    }
    Platform quietPlatform() {
        Platform p = sim.platform();
        return Platform{p.phoneBook, p.codePage,  p.files, p.program,     registry,
                        windows,     p.processes, p.shell, p.windowProcs, p.rasConnections};
    }
    sim::SimPlatform sim;
    QuietWindows windows;
    QuietRegistry registry;
    Platform platform;
    forms::Application app;
    frmMain* main = nullptr;
};

void WatchTick(benchmark::State& state) {
    Running running;
    const std::size_t before = allocations.load();
    for (auto _ : state) running.main->Timer1.onTimer();
    state.counters["allocations_per_tick"] = benchmark::Counter(
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations()));
}
BENCHMARK(WatchTick);

void Probe(benchmark::State& state) {
    Running running;
    for (auto _ : state) benchmark::DoNotOptimize(running.main->Connected_To_ISP());
}
BENCHMARK(Probe);

}  // namespace

BENCHMARK_MAIN();
