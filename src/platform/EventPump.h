#pragma once
// What a wait inside an event handler needs of the program's message loop: let the pending events run,
// sleep until more arrive, read the clock, and know when to give up because the program is closing.

#include <cstdint>

namespace kestrove {

class EventPump {
  public:
    virtual void doEvents() = 0;
    // Sleeps until a message arrives or maxMs have passed; handles nothing.
    virtual void waitForEvents(unsigned maxMs) = 0;
    virtual std::uint32_t tickCount() = 0;  // milliseconds, wrapping (GetTickCount)
    // The start-up window has been closed: every wait ends.
    virtual bool closing() const = 0;

  protected:
    ~EventPump() = default;
};

}  // namespace kestrove
