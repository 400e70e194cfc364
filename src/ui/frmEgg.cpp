#include "ui/frmEgg.h"

#include <cmath>

namespace kestrove {

using namespace forms;

namespace {

FormDesc eggDesign() {
    FormDesc d;
    d.name = "frmEgg";
    d.caption = "eEGG";
    d.border = BorderStyle::None;
    d.client = {5850, 4710};
    d.back = Colour::Rgb(0, 0, 0);
    d.centred = false;
    d.showInTaskbar = false;
    d.icon = Picture::None;
    return d;
}

ControlDesc sloganDesign() {
    ControlDesc d;
    d.name = "lbl";
    d.rect = {2040, 3600, 1935, 255};
    d.text = ".:: FUCK POSERS ::.";
    d.fore = Colour::Rgb(255, 128, 0);
    d.font.weight = 700;
    d.align = TextAlign::Centre;
    d.transparent = true;
    return d;
}

ControlDesc logoDesign() {
    ControlDesc d;
    d.name = "imgKOBU";
    d.rect = {120, 360, 5115, 2490};
    d.picture = Picture::Logo;
    return d;
}

// The placement is single-precision throughout; a result that is not a number stops it.
float checked(float position) {
    if (!std::isfinite(position)) throw RuntimeError("Floating-point error");
    return position;
}

}  // namespace

frmEgg::frmEgg(Application& app)
    : Form(app, eggDesign()), lbl(*this, sloganDesign()), imgKOBU(*this, logoDesign()) {
    onClick = [this] { unload(); };
    imgKOBU.onClick = [this] { unload(); };
}

void frmEgg::Form_Load() {
    Backend& screen = app().backend();
    setTop(0);
    setLeft(0);
    setHeight(screen.screenSize().height);
    setWidth(screen.screenSize().width);
    imgKOBU.setLeft(checked(screen.screenSize().width / 2.0f - imgKOBU.rect().width / 2.0f));
    imgKOBU.setTop(checked(screen.screenSize().height / 2.0f - imgKOBU.rect().height / 2.0f));
    lbl.setLeft(checked(screen.screenSize().width / 2.0f - lbl.rect().width / 2.0f));
    lbl.setTop(checked(screen.screenSize().height - lbl.rect().height));
}

}  // namespace kestrove
