#include "keeper/AttemptReport.h"

#include <initializer_list>
#include <iterator>
#include <string_view>

namespace kestrove::keeper {

namespace {

void append(std::string& text, std::initializer_list<std::string_view> parts) {
    for (const std::string_view part : parts) text += part;
}

// In the order of AttemptResult; a failure has the system's text instead.
constexpr const char* kResults[] = {
    "",
    "the dialer could not be started",
    "the dialer ended without a connection",
    "connected",
    "",
    "the dialer was closed after 3 minutes without a connection",
    "the dialer was closed after 10 answers",
    "the dialer was stopped: no answer in 3 minutes",
};
static_assert(std::size(kResults) == static_cast<std::size_t>(AttemptResult::Hung) + 1);

// A failure is told with the system's text for the error and its number, or the number alone where the
// system has no text.
void appendResult(std::string& text, Platform& platform, AttemptResult result, std::uint32_t error) {
    if (result != AttemptResult::Failed) {
        text += kResults[static_cast<std::size_t>(result)];
        return;
    }
    std::string system = platform.codePage.toUnicode(platform.rasConnections.errorText(error));
    while (!system.empty() && std::string_view(". \r\n").find(system.back()) != std::string_view::npos)
        system.pop_back();
    if (!system.empty()) append(text, {system, " ("});
    text += "error ";
    char digits[10];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + error % 10);
        error /= 10;
    } while (error != 0);
    while (count > 0) text += digits[--count];
    if (!system.empty()) text += ')';
}

// What comes next, unless it is a hold that ends at a time of day.
const char* nextText(RedialSupervisor& redial, bool armed) {
    if (!armed) return "Activate? is off: no redial.";
    if (redial.stopped()) return "Stopped: tick Activate? to try again.";
    if (redial.lineUp()) return "The line is up.";
    if (redial.dialerHeld()) return "Waiting for the dialer to close.";
    return redial.holdLeftMs() == 0 ? "Next attempt within a second." : nullptr;
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
        appendResult(text, platform, running ? before->result : attempt->result,
                     running ? before->error : attempt->error);
        text += ". ";
    }
    if (running) {
        append(text, {told ? "Dialling again since " : "Dialling since ",
                      platform.codePage.toUnicode(attempt->startedAtAnsi), "."});
    } else if (const char* next = nextText(redial, armed)) {
        text += next;
    } else {
        const std::uint32_t seconds = (redial.holdLeftMs() + 999) / 1000;
        append(text, {"Next attempt at ",
                      platform.codePage.toUnicode(platform.program.timeOfDayAnsi(seconds)), "."});
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
