#pragma once
// One control of a form as a real child window with the id 1000 + its index, so that screen readers
// and outside programs find it (GetDlgItem) and read it (WM_GETTEXT). Labels and pictures are
// subclassed to deliver their own mouse events; pictures paint themselves. A combo box is subclassed
// to report the changes of its text that it tells nobody about (set or cleared by another program).

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
    void setCheck(int value);
    void setToolTip(const std::string& text);
    void addItem(const std::string& item);

    // Answers WM_CTLCOLOR*: sets the colours into dc and returns the background brush.
    HBRUSH colour(HDC dc) const;
    // A WM_COMMAND notification from this control: true when the user clicked or picked. A pick's text
    // is in the edit field when this returns.
    bool isClick(UINT notification);
    // Any other notification from a combo box may come with a new text.
    bool reportsText() const { return kind_ == forms::ControlKind::ComboBox; }

  private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onComboMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void setTextQuietly(const char* text);
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
    bool settingText_ = false;    // our own change, which the core knows of
    WNDPROC original_ = nullptr;  // the class's procedure behind our subclass
    bool closing_ = false;
    OwnedWindow window_;
};

}  // namespace kestrove::win32
