#pragma once
// On the NT family there is no connection flag and no dialer dialog to confirm: the Remote Access
// Service lists the connections, and the system's command-line dialer dials an entry with its saved
// credentials.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Services.h"

namespace kestrove::keeper {

// Up exactly while the service lists a connection in the connected state; any failure reads as down.
bool anyConnectionUp(RasConnectionService& ras, std::vector<RasConnection>& scratch);

// A dial of the entry is under way while the dialer the program started still runs (forgotten once it
// has ended), or while the service lists the entry as not yet connected.
bool dialInProgress(RasConnectionService& ras, ProcessService& processes,
                    std::optional<std::uint32_t>& dialer, std::string_view entryAnsi,
                    std::vector<RasConnection>& scratch);

// rasdial.exe "<entry>", the entry quoted so that spaces stay inside it.
std::string rasdialCommand(std::string_view entry);

}  // namespace kestrove::keeper
