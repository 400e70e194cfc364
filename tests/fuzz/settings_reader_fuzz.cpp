// Any bytes in the settings file: the reader either returns or raises the program's run-time error,
// never anything else, and never reads outside the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "keeper/SettingsReader.h"
#include "platform/Types.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kestrove::keeper::SettingsReader reader(std::string(reinterpret_cast<const char*>(data), size));
    try {
        (void)reader.readName();
    } catch (const kestrove::RuntimeError&) {
    }
    try {
        (void)reader.readSwitch();
    } catch (const kestrove::RuntimeError&) {
    }
    return 0;
}
