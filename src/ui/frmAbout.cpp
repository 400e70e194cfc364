#include "ui/frmAbout.h"

#include "ui/WebAddresses.h"

namespace kestrove {

using namespace forms;

namespace {

FormDesc aboutDesign() {
    FormDesc d;
    d.name = "frmAbout";
    d.caption = "About Kestrove";
    d.client = {4590, 4455};
    return d;
}

ControlDesc okDesign() {
    ControlDesc d = design("Command1", {3120, 3900, 1215, 375}, "&OK");
    d.tabIndex = 0;
    return d;
}

ControlDesc sponsorCaptionDesign() {
    ControlDesc d = design("Label3", {1395, 2220, 1095, 255}, " Sponsor:");
    d.back = Colour::Rgb(224, 224, 224);
    d.border = true;
    return d;
}

ControlDesc linkPicture(std::string name, TwipRect rect, Picture picture) {
    ControlDesc d = design(std::move(name), rect);
    d.picture = picture;
    d.cursor = Cursor::Hand;
    d.transparent = true;
    return d;
}

ControlDesc productNameDesign() {
    ControlDesc d = design("Label1", {720, 195, 1845, 435}, "Kestrove");
    d.fore = Colour::Rgb(128, 128, 128);
    d.font.points = 18;
    d.font.weight = 700;
    d.cursor = Cursor::Hand;
    return d;
}

}  // namespace

frmAbout::frmAbout(Application& app, Platform& platform)
    : Form(app, aboutDesign()),
      Command1(*this, okDesign()),
      Label3(*this, sponsorCaptionDesign()),
      Image1(*this, linkPicture("Image1", {120, 180, 480, 480}, Picture::AppIcon)),
      Label1(*this, productNameDesign()),
      Image2(*this, linkPicture("Image2", {1395, 2520, 1800, 900}, Picture::Banner)),
      Label4(*this, design("Label4", {480, 900, 3735, 1335})),
      platform_(platform) {
    addDecoration({Decoration::Kind::Line, {360, 300, 360, 3780}});          // Line1
    addDecoration({Decoration::Kind::Line, {360, 3780, 4320, 3780}});        // Line2
    addDecoration({Decoration::Kind::Line, {4320, 3780, 4320, 780}});        // Line3
    addDecoration({Decoration::Kind::Line, {4320, 780, 840, 780}});          // Line4
    addDecoration({Decoration::Kind::Rectangle, {1275, 2340, 2055, 1215}});  // Shape1
    addDecoration({Decoration::Kind::FilledCircle, {740, 730, 105, 105}});   // Shape5

    Command1.onClick = [this] { unload(); };
    Image1.onClick = [this] { OpenAddress(web::kHomePage); };
    Label1.onClick = [this] { OpenAddress(web::kHomePage); };
    Image2.onClick = [this] { OpenAddress(web::kSponsorPage); };
}

void frmAbout::Form_Load() {
    Label4.setCaption(
        "Kestrove is a program that reconnects you automaticly as soon as your ISP disconnects you."
        "\r\n\r\n"
        "Created by Tavrek (a.k.a. KOBU)."
        "\r\n");
}

void frmAbout::OpenAddress(const char* address) {
    CodePageService& codePage = platform_.codePage;
    platform_.shell.execute(codePage.toAnsi("open"), codePage.toAnsi(address), sys::kSwShowMaximized);
}

}  // namespace kestrove
