#pragma once
// The redial supervisor: the watch for a dial under way, and the redial that starts the dialer and
// confirms its dialog while the connection is down. The main window's timers drive it.

#include <cstdint>
#include <memory>
#include <string>

#include "keeper/ConnectionProbe.h"
#include "platform/Platform.h"
#include "platform/forms/Application.h"

namespace kestrove::keeper {

class RedialSupervisor {
  public:
    // window: the main window, whose closing ends a wait for the dialer; entry: the field naming the
    // entry dialled and watched, read at every tick.
    RedialSupervisor(Platform& platform, forms::Application& app, const forms::Form& window,
                     const forms::ComboBox& entry, ConnectionProbe& probe);

    // The watch, on every timer tick: the dialer started last still runs, or the entry's progress window
    // is open. Allocates nothing once its buffers have grown.
    bool dialInProgress();
    // The redial tick: probes, and while down starts the dialer and confirms its dialog, letting events
    // run twice. True when an attempt was made, to be counted.
    bool redial();

  private:
    bool dialerRunning();
    WindowHandle waitForDialerWindow();

    Platform& platform_;
    forms::Application& app_;
    const forms::Form& window_;
    const forms::ComboBox& entry_;
    ConnectionProbe& probe_;
    const PlatformFamily family_;             // decides how to dial, once at start-up
    std::unique_ptr<StartedProcess> dialer_;  // the dialer last started, held until it has ended
    bool redialling_ = false;                 // a redial tick is waiting for its dialer
    std::string watchedEntry_;                // buffers reused by every watch tick
    std::string watchedTitle_;
    std::string watchedTitleAnsi_;
};

// The counter line after `count` attempts.
std::string counterCaption(std::int64_t count);

}  // namespace kestrove::keeper
