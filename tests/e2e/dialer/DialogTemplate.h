#pragma once
// Dialogs the doubles show, built in memory as the system's dialer builds its own from resources.

#include <windows.h>

#include <string>

namespace doubles {

// The default push button of a dialog.
struct Button {
    const char* text;
    WORD id;
};

// An in-memory dialog template: a caption and, optionally, a default push button.
class DialogTemplate {
  public:
    DialogTemplate(const std::string& title, const Button* button, bool visible = true) {
        DLGTEMPLATE header{};
        header.style =
            DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | (visible ? WS_VISIBLE : 0);
        header.cdit = button ? 1 : 0;
        header.cx = 200;
        header.cy = 60;
        append(&header, sizeof header);
        word(0);  // no menu
        word(0);  // the standard dialog class
        text(title);
        if (button) {
            align();
            DLGITEMTEMPLATE item{};
            item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
            item.x = 70;
            item.y = 30;
            item.cx = 60;
            item.cy = 14;
            item.id = button->id;
            append(&item, sizeof item);
            word(0xFFFF);
            word(0x0080);  // button class
            text(button->text);
            word(0);  // no creation data
        }
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

  private:
    void append(const void* data, std::size_t size) {
        const auto* p = static_cast<const char*>(data);
        bytes_.append(p, size);
    }
    void word(WORD w) { append(&w, sizeof w); }
    void text(const std::string& s) {
        for (char c : s) word(static_cast<unsigned char>(c));
        word(0);
    }
    void align() {
        while (bytes_.size() % 4 != 0) bytes_.push_back('\0');
    }
    std::string bytes_;
};

}  // namespace doubles
