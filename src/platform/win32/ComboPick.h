#pragma once
// Decides which combo-box notifications are a pick from the list. A pick with the mouse sends a
// selection change and then a "selection ended OK"; re-picking the current item sends only the latter;
// arrow keys on a closed list send only selection changes. Each pick must raise Click exactly once.

namespace kestrove::win32 {

enum class ComboNotice { DropDown, SelectionChange, SelectionEndOk };

class ComboPickFilter {
  public:
    // True when this notification completes a pick that has not yet been reported.
    bool isPick(ComboNotice notice, bool hasSelection) {
        switch (notice) {
            case ComboNotice::DropDown:
                reported_ = false;
                return false;
            case ComboNotice::SelectionChange:
                reported_ = hasSelection;
                return hasSelection;
            case ComboNotice::SelectionEndOk: {
                const bool pick = hasSelection && !reported_;
                reported_ = false;
                return pick;
            }
        }
        return false;
    }

  private:
    bool reported_ = false;  // a selection change of the current pick has already been reported
};

}  // namespace kestrove::win32
