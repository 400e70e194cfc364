#include "ui/AttemptReport.h"

#include <iterator>
#include <string_view>

namespace kestrove {

using keeper::AttemptResult;
using keeper::RedialState;
using keeper::RedialStatus;

namespace {

constexpr std::string_view kCounterPrefix = " You have been reconnected ";
constexpr std::string_view kCounterSuffix = " time(s).";

void appendNumber(std::string& text, std::uint64_t number) {
    char digits[20];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (count > 0) text += digits[--count];
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
    "the dialer said connected, but the line stayed down",
};
static_assert(std::size(kResults) == static_cast<std::size_t>(AttemptResult::NotUp) + 1);

// A failure is told with the system's text for the error and its number, or the number alone where the
// system has no text.
void appendResult(std::string& text, Platform& platform, const keeper::AttemptSummary& attempt) {
    if (attempt.result != AttemptResult::Failed) {
        text += kResults[static_cast<std::size_t>(attempt.result)];
        return;
    }
    std::string system = platform.codePage.toUnicode(platform.rasConnections.errorText(attempt.error));
    while (!system.empty() && std::string_view(". \r\n").find(system.back()) != std::string_view::npos)
        system.pop_back();
    if (!system.empty()) (text += system) += " (";
    text += "error ";
    appendNumber(text, attempt.error);
    if (!system.empty()) text += ')';
}

// A moment on the tick count as a time of day; one ahead is rounded up: never shown before it comes.
void appendTime(std::string& text, Platform& platform, std::uint32_t tick, std::uint32_t now) {
    text +=
        platform.codePage.toUnicode(platform.program.timeOfDayAnsi(static_cast<std::int32_t>(tick - now)));
}

void appendNextAttempt(std::string& text, Platform& platform, const RedialStatus& status, std::uint32_t now) {
    text += "Next attempt at ";
    appendTime(text, platform, status.nextAttemptAt, now);
}

}  // namespace

std::string counterCaption(std::int64_t count) {
    std::string caption(kCounterPrefix);
    appendNumber(caption, static_cast<std::uint64_t>(count));
    caption += kCounterSuffix;
    return caption;
}

std::string attemptToolTip(Platform& platform, const RedialStatus& status, bool armed, std::uint32_t now) {
    std::string text;
    const bool dialling = status.state == RedialState::Dialling;
    const bool told = status.last.result != AttemptResult::InProgress;
    if (!told && !dialling) return text;
    // While one runs, the one before says how the last one went.
    if (told) {
        text += "Last attempt at ";
        appendTime(text, platform, status.last.startedAt, now);
        text += ": ";
        appendResult(text, platform, status.last);
        text += ". ";
    }
    if (dialling) {
        text += told ? "Dialling again since " : "Dialling since ";
        appendTime(text, platform, status.dialSince, now);
        text += '.';
        return text;
    }
    if (!armed) {
        text += "Activate? is off: no redial.";
        return text;
    }
    switch (status.state) {
        case RedialState::LineUp:
            text += "The line is up.";
            break;
        case RedialState::Closing:
            text += "Waiting for the dialer to close.";
            break;
        case RedialState::Holding:
            appendNextAttempt(text, platform, status, now);
            text += '.';
            break;
        case RedialState::Slowed:
            appendNextAttempt(text, platform, status, now);
            text += "; tick Activate? to try now.";
            break;
        default:
            text += "Next attempt within a second.";
            break;
    }
    return text;
}

std::string slowBalloonText(Platform& platform, const std::string& entry, const RedialStatus& status,
                            std::uint32_t now) {
    std::string text;
    ((text += "Redialling \"") += entry) += "\" slowed down: ";
    appendResult(text, platform, status.last);
    text += ". ";
    if (status.state == RedialState::Slowed) {
        appendNextAttempt(text, platform, status, now);
        text += "; tick";
    } else {
        text += "Tick";
    }
    text += " Activate? to try now.";
    return text;
}

}  // namespace kestrove
