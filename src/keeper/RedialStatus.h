#pragma once
// What the redial supervisor tells the main window: where it stands, how the last attempt went, and when
// the next one may come. A value: the window compares it with the one it last showed.

#include <cstdint>

#include "keeper/DialAttempt.h"

namespace kestrove::keeper {

enum class RedialState : std::uint8_t {
    Dialling,  // an attempt runs, since dialSince
    Closing,   // the last attempt's result stands; its dialer is being closed
    LineUp,
    Soon,     // the next attempt at the next probe
    Holding,  // after a failure: not before nextAttemptAt
    Slowed,   // after a failure only the user can mend: not before nextAttemptAt, unless they act
};

struct RedialStatus {
    RedialState state = RedialState::Soon;
    AttemptSummary last;  // the last attempt with a result; InProgress: none yet
    // On the tick count.
    std::uint32_t dialSince = 0;
    std::uint32_t nextAttemptAt = 0;
    friend bool operator==(const RedialStatus&, const RedialStatus&) = default;
};

}  // namespace kestrove::keeper
