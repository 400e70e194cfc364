#pragma once
// One keeper per user session: the first start holds a named mutex for as long as it runs. A later
// start, from whatever folder, finds it held, asks the first start's main window to come forward and
// ends without a window of its own.

#include <windows.h>

#include "platform/Services.h"
#include "platform/win32/services/SystemHandles.h"

namespace kestrove::win32 {

// The registered window message a later start posts to the first start's windows.
inline constexpr char kActivateRequestMessage[] = "Kestrove.ActivateMainWindow";

class OneKeeper {
  public:
    explicit OneKeeper(PlatformFamily family);

    // No other start holds the keeper of this session, also none that this one may not look at. Also
    // true when the mutex cannot be made at all: better two keepers than none.
    bool first() const { return first_; }

    // Posts the request to the first start's windows, waiting a bounded time for them to exist.
    void activateFirst() const;

  private:
    OwnedHandle mutex_;
    bool first_ = true;
};

}  // namespace kestrove::win32
