#pragma once
// What a start of the program makes of its try to create the session's keeper mutex. Kept apart from
// the system call so that the decision can be checked anywhere.

#include <cstdint>

namespace kestrove::win32 {

// The system's error codes met here (GetLastError).
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;

enum class MutexAnswer : std::uint8_t {
    Created,        // this start is the first
    AlreadyExists,  // another start holds it
    Refused,        // it exists, made by a start with rights this one lacks (elevated, or another user)
    Failed          // the name cannot be used here
};

constexpr MutexAnswer mutexAnswer(bool made, std::uint32_t lastError) {
    if (made) return lastError == kErrorAlreadyExists ? MutexAnswer::AlreadyExists : MutexAnswer::Created;
    return lastError == kErrorAccessDenied ? MutexAnswer::Refused : MutexAnswer::Failed;
}

// Only a name that cannot be used at all is worth trying in another form.
constexpr bool tryAnotherName(MutexAnswer answer) { return answer == MutexAnswer::Failed; }

// A refused open means a copy runs all the same. A mutex that cannot be made at all lets this start
// keep the line: better two keepers than none.
constexpr bool anotherCopyRuns(MutexAnswer answer) {
    return answer == MutexAnswer::AlreadyExists || answer == MutexAnswer::Refused;
}

}  // namespace kestrove::win32
