#pragma once
// One control of a form as a real child window with the id 1000 + its index, so that screen readers
// and outside programs find it (GetDlgItem) and read it (WM_GETTEXT). Labels and pictures are
// subclassed to deliver their own mouse events; pictures paint themselves.

#include <windows.h>

#include <cstddef>
#include <string>

#include "platform/forms/Backend.h"
#include "platform/forms/ComboPick.h"
#include "platform/win32/AnsiText.h"
#include "platform/win32/Colours.h"
#include "platform/win32/Geometry.h"
#include "platform/win32/Handles.h"

namespace kestrove::win32 {

class FormWindow;

constexpr int kFirstControlId = 1000;

class ControlWindow {
  public:
    ControlWindow(FormWindow& form, std::size_t index, const forms::ControlDesc& desc);
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;
    ~ControlWindow();

    HWND hwnd() const { return window_.get(); }
    std::size_t index() const { return index_; }
    int tabIndex() const { return tabIndex_; }
    bool cancel() const { return cancel_; }
    forms::Cursor cursor() const { return cursor_; }
    // The control itself or one of its parts (a combo box's edit field and list).
    bool owns(HWND window) const;

    void move(const TwipRect& rect);
    void setVisible(bool visible);
    void setText(const std::string& text);
    void readText(std::string& text, TextScratch& scratch);
    // For a poll: a combo box's text is held between reads and re-read after any notification from the
    // control, any text set from code, and at least once a second, for a text another program set
    // without notifying.
    void pollText(std::string& text, TextScratch& scratch);
    void setCheck(int value);
    void setToolTip(const std::string& text);
    void addItem(const std::string& item);

    // Answers WM_CTLCOLOR*: sets the colours into dc and returns the background brush.
    HBRUSH colour(HDC dc) const;
    // A WM_COMMAND notification from this control: true when the user clicked or picked.
    bool isClick(UINT notification);
    // Any notification from the control: its text may have changed. A pick's text is in the edit field
    // before its handler runs (isClick), and no tick comes in between.
    void textMayHaveChanged() { textHeld_ = false; }

  private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool mouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void addPendingToolTip(HWND window, WPARAM wParam, LPARAM lParam);
    void paintPicture(HWND window);
    void redrawBehind();
    int extraHeight() const;

    FormWindow& form_;
    std::size_t index_;
    forms::ControlKind kind_;
    forms::Colour fore_, back_;
    bool transparent_;
    forms::Cursor cursor_;
    forms::Picture picture_;
    int tabIndex_;
    bool cancel_;
    ColourBrush backBrush_;
    forms::ComboPickFilter picks_;
    std::string pendingToolTip_;  // added when the mouse first comes over the control
    std::string heldText_;        // a combo box's text as last read
    bool textHeld_ = false;
    DWORD heldSince_ = 0;
    WNDPROC original_ = nullptr;  // the class's procedure behind our subclass
    bool closing_ = false;
    OwnedWindow window_;
};

}  // namespace kestrove::win32
