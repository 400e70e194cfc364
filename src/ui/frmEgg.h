#pragma once
// The hidden credits screen: the author's logo in the middle of a black screen, the slogan at its foot.

#include "platform/forms/Application.h"

namespace kestrove {

class frmEgg : public forms::Form {
  public:
    explicit frmEgg(forms::Application& app);

    forms::Label lbl;
    forms::Image imgKOBU;

  protected:
    void Form_Load() override;
};

}  // namespace kestrove
