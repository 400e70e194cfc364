#pragma once
// Which of a combo box's notifications are a pick from its list. The system reports a pick with a
// selection change and a "selection ended OK" in either order (Wine and Windows differ), or with only one
// of them (arrow keys on a closed list), and closing the list without a pick may report either of them
// as well. So a pick is a selection other than the one last known: the one last picked, or the one found
// when the list opened, the text was typed or the list was closed without a pick.

namespace kestrove::forms {

enum class ComboNotice { DropDown, EditChange, SelectionChange, SelectionEndOk, SelectionEndCancel };

constexpr int kNoSelection = -1;

class ComboPickFilter {
  public:
    // True when this notification, with the list's selection as it is now, reports a new pick.
    bool isPick(ComboNotice notice, int selection) {
        const bool reportsSelection =
            notice == ComboNotice::SelectionChange || notice == ComboNotice::SelectionEndOk;
        const bool pick = reportsSelection && selection != kNoSelection && selection != known_;
        known_ = selection;
        return pick;
    }

  private:
    int known_ = kNoSelection;
};

}  // namespace kestrove::forms
