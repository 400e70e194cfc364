#include "keeper/AttemptReport.h"

#include <initializer_list>
#include <iterator>
#include <string_view>

namespace kestrove::keeper {

namespace {

void append(std::string& text, std::initializer_list<std::string_view> parts) {
    for (const std::string_view part : parts) text += part;
}

void appendNumber(std::string& text, std::uint32_t number) {
    char digits[10];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (count > 0) text += digits[--count];
}

// The system's text for the error with its number, or the number alone where it has none.
void appendError(std::string& text, Platform& platform, std::uint32_t error) {
    std::string system = platform.codePage.toUnicode(platform.rasConnections.errorText(error));
    while (!system.empty() && std::string_view(". \r\n").find(system.back()) != std::string_view::npos)
        system.pop_back();
    if (!system.empty()) append(text, {system, " ("});
    text += "error ";
    appendNumber(text, error);
    if (!system.empty()) text += ')';
}

// In the order of AttemptResult; a failure has the system's text instead.
constexpr const char* kResults[] = {
    "",
    "the dialer could not be started",
    "the dialer ended without a connection",
    "connected",
    "",
    "the dialer was closed after 3 minutes without a connection",
    "the dialer was closed after 10 answers without a connection",
    "the dialer was stopped after 3 minutes without an answer",
};
static_assert(std::size(kResults) == static_cast<std::size_t>(AttemptResult::Hung) + 1);

void appendResult(std::string& text, Platform& platform, AttemptResult result, std::uint32_t error) {
    if (result == AttemptResult::Failed) return appendError(text, platform, error);
    text += kResults[static_cast<std::size_t>(result)];
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
    const EndedAttempt* before = redial.attemptBefore();
    const bool told = !running || before != nullptr;
    if (told) {
        const std::string& at = running ? before->startedAtAnsi : attempt->startedAtAnsi;
        append(text, {"Last attempt at ", platform.codePage.toUnicode(at), ": "});
        if (running) {
            appendResult(text, platform, before->result, before->error);
        } else {
            appendResult(text, platform, attempt->result, attempt->error);
        }
        text += ". ";
    }
    if (!running) {
        appendNext(text, platform, redial, armed);
    } else {
        append(text, {told ? "Dialling again since " : "Dialling since ",
                      platform.codePage.toUnicode(attempt->startedAtAnsi), "."});
    }
    return text;
}

std::string stopBalloonText(Platform& platform, const DialAttempt& attempt) {
    std::string text;
    append(text, {"Stopped redialling \"", attempt.entry, "\": "});
    appendResult(text, platform, attempt.result, attempt.error);
    text += ". Tick Activate? to try again.";
    return text;
}

}  // namespace kestrove::keeper
