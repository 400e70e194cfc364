// Reading a binary registry value the way the connection probe reads the dial-up flag, under a key of
// its own so that the real flag is never touched.
#include <windows.h>

#include "Checks.h"
#include "platform/win32/services/Win32Registry.h"

namespace e2e::services {
namespace {

constexpr const char* kKey = "Software\\Kestrove checks\\RemoteAccess";
constexpr const char* kValue = "Remote Connection";

// The key as the test arranges it, removed again at the end.
class ScratchKey {
  public:
    ScratchKey() { RegCreateKeyA(HKEY_LOCAL_MACHINE, kKey, &key_); }
    ~ScratchKey() {
        if (key_ != nullptr) RegCloseKey(key_);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
    }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    bool set(const BYTE* data, DWORD size) {
        return key_ != nullptr && RegSetValueExA(key_, kValue, 0, REG_BINARY, data, size) == ERROR_SUCCESS;
    }

  private:
    HKEY key_ = nullptr;
};

struct Reading {
    std::int32_t opened = -1;
    std::int32_t queried = -1;
    std::uint32_t size = 4;
    std::uint8_t data[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    kestrove::RegistryKey key = 0xDEAD;
};

Reading readFlag(kestrove::win32::Win32Registry& registry) {
    Reading reading;
    reading.opened = registry.openKey(kestrove::sys::kHkeyLocalMachine, kKey, reading.key);
    if (reading.opened == ERROR_SUCCESS) {
        reading.queried = registry.queryValue(reading.key, kValue, reading.data, reading.size);
        registry.closeKey(reading.key);
    }
    return reading;
}

}  // namespace

void checkRegistry(Results& results) {
    results.section("registry");
    kestrove::win32::Win32Registry registry;
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);  // left over from an interrupted run

    const Reading noKey = readFlag(registry);
    CHECK(noKey.opened == ERROR_FILE_NOT_FOUND);
    CHECK(noKey.key == 0);

    ScratchKey scratch;
    const Reading noValue = readFlag(registry);
    CHECK(noValue.opened == ERROR_SUCCESS && noValue.key != 0);
    CHECK(noValue.queried == ERROR_FILE_NOT_FOUND);

    const BYTE up[4] = {1, 0, 0, 0};
    CHECK(scratch.set(up, sizeof up));
    const Reading connected = readFlag(registry);
    CHECK(connected.queried == ERROR_SUCCESS);
    CHECK(connected.size == 4);
    CHECK(connected.data[0] == 1 && connected.data[1] == 0 && connected.data[2] == 0 &&
          connected.data[3] == 0);

    // A longer value does not fit the probe's four bytes: the size needed comes back.
    const BYTE longer[6] = {1, 0, 0, 0, 0, 0};
    CHECK(scratch.set(longer, sizeof longer));
    const Reading tooLong = readFlag(registry);
    CHECK(tooLong.queried == ERROR_MORE_DATA);
    CHECK(tooLong.size == 6);

    registry.closeKey(0);  // nothing opened: nothing to close, and no failure
}

}  // namespace e2e::services
