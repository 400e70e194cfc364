#pragma once
// What the forms core asks of a backend: create, move, paint and read real (Win32) or simulated
// windows and controls, run timers and the message queue. All behaviour with meaning to the program
// (events raised by value changes, timer re-enabling, load order, the loaded-windows list) lives in
// the core; a backend only carries it out.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/forms/Style.h"

namespace kestrove::forms {

using NativeId = std::uintptr_t;  // a backend's own id of a form or control; 0 = none
using TimerId = std::uintptr_t;

enum class BorderStyle : std::uint8_t { None, FixedSingle };

struct FormDesc {
    std::string name;  // "frmMain"
    std::string caption;
    BorderStyle border = BorderStyle::FixedSingle;
    TwipSize client;  // client area at creation
    Colour back = Colour::System(SystemColour::ButtonFace);
    Font font;
    bool centred = true;  // the core centres it on the screen as soon as it is created
    bool showInTaskbar = true;
    Picture icon = Picture::AppIcon;
};

enum class ControlKind : std::uint8_t { CheckBox, ComboBox, Button, Label, Image };

struct ControlDesc {
    ControlKind kind = ControlKind::Label;
    std::string name;
    TwipRect rect;
    std::string text;  // caption, or the combo box's initial text
    Font font;         // filled from the form's font unless the design says otherwise
    Colour fore = Colour::System(SystemColour::WindowText);
    Colour back = Colour::System(SystemColour::ButtonFace);
    bool transparent = false;  // labels and pictures drawn over the form without a background
    bool border = false;       // single flat line around a label
    TextAlign align = TextAlign::Left;
    Cursor cursor = Cursor::Arrow;
    Picture picture = Picture::None;
    std::string toolTip;
    bool visible = true;
    int tabIndex = -1;    // >= 0: takes the focus, in this order
    bool cancel = false;  // the form's cancel button: Esc clicks it
};

// Painted by the form itself; takes no events.
struct Decoration {
    enum class Kind : std::uint8_t { Rectangle, FilledCircle, Line } kind = Kind::Rectangle;
    TwipRect rect;  // Rectangle, FilledCircle: left, top, width, height. Line: x1, y1, x2, y2.
    Colour colour = Colour::System(SystemColour::WindowText);
};

// One entry of a pop-up menu as the backend shows it (hidden items are already left out).
struct MenuEntry {
    std::string caption;  // "-" is a separator
    int command = 0;      // returned when chosen; > 0
    std::vector<MenuEntry> children;
};

// ActivateRequested: another start of the program asks for this window. SessionEnding and
// SessionContinues: the system asks whether the session may end, and says whether it ended after all.
// PowerResumed: the machine woke from sleep or suspension.
enum class FormEvent : std::uint8_t {
    Click,
    MouseMove,
    CloseRequested,
    ActivateRequested,
    SessionEnding,
    SessionContinues,
    PowerResumed
};
enum class ControlEvent : std::uint8_t { Click, MouseDown, MouseUp, MouseMove };

// Implemented by the core; a backend calls it for what the user does.
class FormEvents {
  public:
    virtual void formEvent(FormEvent event, const MouseArgs& args) = 0;
    virtual void controlEvent(std::size_t controlIndex, ControlEvent event, const MouseArgs& args) = 0;

  protected:
    ~FormEvents() = default;
};

class TimerSink {
  public:
    virtual void tick() = 0;

  protected:
    ~TimerSink() = default;
};

class Backend {
  public:
    virtual ~Backend() = default;

    // Forms. The outer rectangle is in screen twips; a borderless form's outer rectangle is its client area.
    // A new form is hidden, wherever the system puts new windows.
    virtual NativeId createForm(const FormDesc& desc, FormEvents& events) = 0;
    virtual void destroyForm(NativeId form) = 0;  // with all its controls
    virtual void showForm(NativeId form) = 0;     // visible and brought forward; the first show focuses
                                                  // the first tab stop
    virtual void hideForm(NativeId form) = 0;
    virtual bool formVisible(NativeId form) = 0;
    virtual TwipRect formRect(NativeId form) = 0;
    virtual void moveForm(NativeId form, const TwipRect& outer) = 0;
    virtual void setDecorations(NativeId form, const std::vector<Decoration>& shapes) = 0;
    virtual WindowHandle windowHandle(NativeId form) = 0;
    virtual IconHandle iconHandle(NativeId form) = 0;
    // Opens the menu at the mouse position and returns the chosen command, 0 when dismissed.
    virtual int popupMenu(NativeId form, const std::vector<MenuEntry>& entries) = 0;

    // Controls.
    virtual NativeId createControl(NativeId form, std::size_t index, const ControlDesc& desc) = 0;
    virtual void moveControl(NativeId control, const TwipRect& rect) = 0;
    virtual void setControlVisible(NativeId control, bool visible) = 0;
    virtual void setText(NativeId control, const std::string& text) = 0;
    // Into the caller's buffer, so that a poll reusing it allocates nothing.
    virtual void readText(NativeId control, std::string& text) = 0;
    // The same for a poll as often as timer ticks come: a combo box's text may be answered from what the
    // backend holds while the control has not notified a change, re-read at least once a second.
    virtual void pollText(NativeId control, std::string& text) { readText(control, text); }
    std::string text(NativeId control) {
        std::string result;
        readText(control, result);
        return result;
    }
    virtual void setCheck(NativeId control, int value) = 0;                  // 0, 1, 2 (greyed)
    virtual void setToolTip(NativeId control, const std::string& text) = 0;  // empty: none
    virtual void addItem(NativeId combo, const std::string& item) = 0;

    // Timers: a started timer ticks every intervalMs until stopped; starting begins a new interval.
    virtual TimerId startTimer(unsigned intervalMs, TimerSink& sink) = 0;
    virtual void stopTimer(TimerId timer) = 0;

    // The message queue.
    virtual void doEvents() = 0;  // handles what is pending, then returns
    // Sleeps until a message arrives or maxMs have passed, whichever comes first; handles nothing.
    virtual void waitForMessages(unsigned maxMs) = 0;
    virtual std::uint32_t tickCount() = 0;  // milliseconds, wrapping (GetTickCount)
    virtual void runMessageLoop() = 0;      // returns after quit()
    virtual void quit() = 0;

    // The desktop.
    virtual TwipSize screenSize() = 0;
    virtual TwipSize pictureSize(Picture picture) = 0;
};

}  // namespace kestrove::forms
