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

enum class EntryState : std::uint8_t { Down, Dialling, Connected };

// The entry's connection as the service lists it; other entries' connections do not count, a connection
// whose dial has failed does not either, and any failure of the service reads as down.
EntryState entryState(RasConnectionService& ras, CodePageService& codePage, std::string_view entryAnsi,
                      std::vector<RasConnection>& scratch);

// One command-line argument that arrives as exactly `text` under the system's rules for splitting a
// command line; nullopt when no argument can carry it.
std::optional<std::string> quoteArgument(std::string_view text);

// The system's own dialer, by its full path, with the entry as its one argument; nullopt when the entry
// cannot be passed as one argument.
// With hangUp, the command that asks the service to hang the entry's connection up.
std::optional<std::string> rasdialCommand(std::string_view systemDirectory, std::string_view entry,
                                          bool hangUp = false);

}  // namespace kestrove::keeper
