#pragma once
// The 9x family's dialer: the dial-up dialog of rnaui.dll, confirmed with Enter. The dial itself may run
// in the system's dial-up helper, which outlives the dialer; its boxes are answered like the dialer's.

#include <array>
#include <span>
#include <string>

#include "keeper/ConnectionProbe.h"
#include "keeper/Dialer.h"

namespace kestrove::keeper {

class RnaDialer final : public Dialer {
  public:
    RnaDialer(Platform& platform, EventPump& pump, ConnectionProbe& probe)
        : platform_(platform), pump_(pump), probe_(probe) {}

    std::unique_ptr<StartedProcess> start(DialAttempt& attempt) override;
    void confirm(DialAttempt& attempt) override;
    void dialerEnded(DialAttempt& attempt, std::uint32_t exitCode, std::uint32_t now) override;
    void look(DialAttempt& attempt, std::uint32_t now) override;
    bool dialShown(std::string_view entry) override;

  private:
    bool underWay(DialAttempt& attempt);
    void close(DialAttempt& attempt, AttemptResult why, std::uint32_t now);
    void press(DialAttempt& attempt, WindowHandle dialog) {
        platform_.processes.sendEnter(dialog);
        ++attempt.confirmations;
    }
    WindowHandle dialogToConfirm(const DialAttempt& attempt);
    WindowHandle waitForDialerWindow(DialAttempt& attempt);
    template <class Walk>
    void visitWindows(const DialAttempt& attempt, Walk& walk);

    Platform& platform_;
    EventPump& pump_;
    ConnectionProbe& probe_;
    std::string watchedTitle_;  // buffers reused by every watch tick
    std::string watchedTitleAnsi_;
    std::array<std::uint32_t, 16> processes_{};  // and by every look at the dialer: a dialer starts few
};

}  // namespace kestrove::keeper
