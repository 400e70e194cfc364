#include "keeper/NtDialUp.h"

#include <algorithm>

namespace kestrove::keeper {

bool anyConnectionUp(RasConnectionService& ras, std::vector<RasConnection>& scratch) {
    if (!ras.connections(scratch)) return false;
    return std::ranges::any_of(scratch,
                               [](const RasConnection& c) { return c.state == RasState::Connected; });
}

bool dialInProgress(RasConnectionService& ras, ProcessService& processes,
                    std::optional<std::uint32_t>& dialer, std::string_view entryAnsi,
                    std::vector<RasConnection>& scratch) {
    if (dialer) {
        if (processes.isRunning(*dialer)) return true;
        dialer.reset();
    }
    if (!ras.connections(scratch)) return false;
    return std::ranges::any_of(scratch, [&](const RasConnection& c) {
        return c.state == RasState::Dialling && c.entryAnsi == entryAnsi;
    });
}

std::string rasdialCommand(std::string_view entry) {
    std::string command = "rasdial.exe \"";
    command += entry;
    command += '"';
    return command;
}

}  // namespace kestrove::keeper
