#pragma once
// The family's own part of an attempt: how its dialer is started, looked after and read. The redial
// supervisor decides when attempts come; a dialer only carries one out.

#include <cstdint>
#include <memory>
#include <string_view>

#include "keeper/DialAttempt.h"
#include "platform/EventPump.h"
#include "platform/Platform.h"

namespace kestrove::keeper {

class ConnectionProbe;

class Dialer {
  public:
    virtual ~Dialer() = default;
    // Starts the entry's dialer for the attempt; null when it could not be started.
    virtual std::unique_ptr<StartedProcess> start(DialAttempt& attempt) = 0;
    // Right after the start, letting events run: answers the dialog the dialer opens, where it opens one.
    virtual void confirm(DialAttempt& attempt) = 0;
    // The dialer ended by itself while dialling, with this exit code: the attempt ends or settles.
    virtual void dialerEnded(DialAttempt& attempt, std::uint32_t exitCode, std::uint32_t now) = 0;
    // Once a second until the attempt has ended: looks after what was started, and ends the attempt when
    // the probe or a limit says so. A closing attempt ends once nothing it started is held.
    virtual void look(DialAttempt& attempt, std::uint32_t now) = 0;
    // On every watch tick while no attempt is under way: a dial of the entry shown on the screen.
    // Allocates nothing once its buffers have grown.
    virtual bool dialShown(std::string_view entry) = 0;
};

// The dialer of the family the program runs on.
std::unique_ptr<Dialer> makeDialer(Platform& platform, EventPump& pump, ConnectionProbe& probe);

}  // namespace kestrove::keeper
