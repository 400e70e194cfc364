#pragma once
// The About box: icon and product name linking to the home page, the description and credit, the
// sponsor banner linking to the sponsor page.

#include "platform/Platform.h"
#include "platform/forms/Application.h"

namespace kestrove {

class frmAbout : public forms::Form {
  public:
    frmAbout(forms::Application& app, Platform& platform);

    forms::CommandButton Command1;
    forms::Label Label3;
    forms::Image Image1;
    forms::Label Label1;
    forms::Image Image2;
    forms::Label Label4;

  protected:
    void Form_Load() override;

  private:
    void OpenAddress(const char* address);

    Platform& platform_;
};

}  // namespace kestrove
