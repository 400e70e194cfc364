#pragma once
// Which of a combo box's notifications are a pick from its list. The system reports a pick with a
// selection change and a "selection ended OK" in either order (Wine and Windows differ), or with only one
// of them (arrow keys on a closed list; the selected item picked again). A list closed without a pick
// reports "selection ended cancel" and may still report a selection change back to the item it had.
// So a pick is a selection other than the one last known, or an "ended OK" on a list opened since.

namespace kestrove::forms {

enum class ComboNotice { DropDown, EditChange, SelectionChange, SelectionEndOk, SelectionEndCancel };

constexpr int kNoSelection = -1;

class ComboPickFilter {
  public:
    // True when this notification, with the list's selection as it is now, completes a pick that has not
    // been reported yet.
    bool isPick(ComboNotice notice, int selection) {
        switch (notice) {
            case ComboNotice::DropDown:
                known_ = selection;
                opened_ = true;
                return false;
            case ComboNotice::EditChange:  // typing may have selected a matching item without a change
                known_ = selection;
                return false;
            case ComboNotice::SelectionEndCancel:
                opened_ = false;
                return false;
            case ComboNotice::SelectionChange:
            case ComboNotice::SelectionEndOk:
                break;
        }
        if (selection == kNoSelection) return false;
        const bool pick = selection != known_ || (notice == ComboNotice::SelectionEndOk && opened_);
        known_ = selection;
        if (pick) opened_ = false;
        return pick;
    }

  private:
    int known_ = kNoSelection;  // the selection last reported, or found when the list opened
    bool opened_ = false;       // the list was opened and nothing has been picked from it yet
};

}  // namespace kestrove::forms
