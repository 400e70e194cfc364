#include "keeper/AttemptReport.h"

#include <initializer_list>
#include <string_view>

namespace kestrove::keeper {

namespace {

void append(std::string& text, std::initializer_list<std::string_view> parts) {
    for (const std::string_view part : parts) text += part;
}

// The system's text for the error with its number, or the number alone where it has none.
void appendError(std::string& text, Platform& platform, std::uint32_t error) {
    std::string system = platform.codePage.toUnicode(platform.rasConnections.errorText(error));
    while (!system.empty() && std::string_view(". \r\n").find(system.back()) != std::string_view::npos)
        system.pop_back();
    const std::string number = std::to_string(std::int64_t{error});
    if (system.empty()) return append(text, {"error ", number});
    append(text, {system, " (error ", number, ")"});
}

void appendResult(std::string& text, Platform& platform, const DialAttempt& attempt) {
    switch (attempt.result) {
        case AttemptResult::InProgress:  // told apart by the caller
        case AttemptResult::NotStarted:
            text += "the dialer could not be started";
            break;
        case AttemptResult::DialerEnded:
            text += "the dialer ended without a connection";
            break;
        case AttemptResult::Connected:
            text += "connected";
            break;
        case AttemptResult::Failed:
            appendError(text, platform, attempt.error);
            break;
        case AttemptResult::ClosedAfterTime:
            text += "the dialer was closed after 3 minutes without a connection";
            break;
        case AttemptResult::ClosedAfterTries:
            text += "the dialer was closed after 10 answers without a connection";
            break;
        case AttemptResult::Hung:
            text += "the dialer was stopped after 3 minutes without an answer";
            break;
    }
}

void appendNext(std::string& text, Platform& platform, RedialSupervisor& redial, bool armed) {
    if (!armed) return append(text, {"Activate? is off: no redial."});
    if (redial.stopped()) return append(text, {"Stopped: tick Activate? to try again."});
    if (redial.lineUp()) return append(text, {"The line is up: the next attempt comes when it drops."});
    if (redial.dialerHeld()) return append(text, {"Waiting for the dialer to close."});
    const std::uint32_t left = redial.holdLeftMs();
    if (left == 0) return append(text, {"Next attempt within a second while the line is down."});
    const std::string at = platform.codePage.toUnicode(platform.program.timeOfDayAnsi((left + 999) / 1000));
    append(text, {"Next attempt at ", at, "."});
}

}  // namespace

std::string attemptToolTip(Platform& platform, RedialSupervisor& redial, bool armed) {
    std::string text;
    const DialAttempt* attempt = redial.lastAttempt();
    if (attempt == nullptr) return text;
    // While one runs, the one before says how the last one went.
    const bool running = attempt->result == AttemptResult::InProgress;
    const DialAttempt* ended = running ? redial.attemptBefore() : attempt;
    if (ended != nullptr) {
        append(text, {"Last attempt at ", platform.codePage.toUnicode(ended->startedAtAnsi), ": "});
        appendResult(text, platform, *ended);
        text += ". ";
    }
    if (!running) {
        appendNext(text, platform, redial, armed);
    } else {
        append(text, {ended ? "Dialling again since " : "Dialling since ",
                      platform.codePage.toUnicode(attempt->startedAtAnsi), "."});
    }
    return text;
}

std::string stopBalloonText(Platform& platform, const DialAttempt& attempt) {
    std::string text;
    append(text, {"Stopped redialling \"", attempt.entry, "\": "});
    appendResult(text, platform, attempt);
    text += ". Tick Activate? to try again.";
    return text;
}

}  // namespace kestrove::keeper
