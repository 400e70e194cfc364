#pragma once
// The NT family's dialer: the system's command-line dialer with the entry's saved credentials. It asks
// nothing; its exit code is the dial's result, and a hung one is hung up the same way before it is ended.

#include "keeper/ConnectionProbe.h"
#include "keeper/Dialer.h"

namespace kestrove::keeper {

class RasdialDialer final : public Dialer {
  public:
    RasdialDialer(Platform& platform, ConnectionProbe& probe) : platform_(platform), probe_(probe) {}

    std::unique_ptr<StartedProcess> start(DialAttempt& attempt) override { return run(attempt.entry, false); }
    void confirm(DialAttempt&) override {}
    void dialerEnded(DialAttempt& attempt, std::uint32_t exitCode, std::uint32_t now) override;
    void look(DialAttempt& attempt, std::uint32_t now) override;
    // The service is asked once per probe, never by the watch.
    bool dialShown(std::string_view) override { return false; }

  private:
    std::unique_ptr<StartedProcess> run(std::string_view entry, bool hangUp);

    Platform& platform_;
    ConnectionProbe& probe_;
};

}  // namespace kestrove::keeper
