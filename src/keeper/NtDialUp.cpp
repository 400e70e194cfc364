#include "keeper/NtDialUp.h"

namespace kestrove::keeper {

EntryState entryState(RasConnectionService& ras, CodePageService& codePage, std::string_view entryAnsi,
                      std::vector<RasConnection>& scratch) {
    if (!ras.connections(scratch)) return EntryState::Down;
    EntryState state = EntryState::Down;
    for (const RasConnection& connection : scratch) {
        // A dial that has failed is no longer under way, though the service may still list it.
        if (connection.state == RasState::Disconnected || connection.error != 0) continue;
        if (!codePage.sameIgnoringCase(connection.entryAnsi, entryAnsi)) continue;
        if (connection.state == RasState::Connected) return EntryState::Connected;
        state = EntryState::Dialling;
    }
    return state;
}

// Inside quotes only a quote and the backslashes right before a quote or before the closing quote mean
// anything: 2n backslashes and a quote are n backslashes and the end of the quotes, 2n + 1 are n and a
// literal quote. So every run of backslashes that a quote follows is doubled, and each quote gets one.
std::optional<std::string> quoteArgument(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return std::nullopt;  // the command line would end there
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
        } else {
            if (c == '"') quoted.append(backslashes + 1, '\\');
            backslashes = 0;
        }
        quoted += c;
    }
    quoted.append(backslashes, '\\');
    quoted += '"';
    return quoted;
}

std::optional<std::string> rasdialCommand(std::string_view systemDirectory, std::string_view entry,
                                          bool hangUp) {
    std::optional<std::string> argument = quoteArgument(entry);
    if (!argument || systemDirectory.empty()) return std::nullopt;
    // A folder name holds no quote, so plain quotes keep its blanks inside the program's name.
    std::string command = "\"";
    command += systemDirectory;
    if (command.back() != '\\') command += '\\';
    command += "rasdial.exe\" ";
    command += *argument;
    if (hangUp) command += " /disconnect";
    return command;
}

}  // namespace kestrove::keeper
