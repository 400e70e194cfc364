// The About box and the hidden credits screen, opened from the main window.
#include "KestroveFixture.h"
#include "ui/WebAddresses.h"
#include "ui/frmAbout.h"
#include "ui/frmEgg.h"

namespace kestrove::testing {
namespace {

class About : public KestroveTest {
  protected:
    frmAbout& open(frmMain& main) {
        sim.ui().click(main.imgIcon.native());
        sim.ui().doEvents();
        frmAbout* about = app.loadedForm<frmAbout>();
        EXPECT_NE(about, nullptr);
        return *about;
    }
    void click(const forms::Control& control) {
        sim.ui().click(control.native());
        sim.ui().doEvents();
    }
};

const std::string kAboutText =
    "Kestrove is a program that reconnects you automaticly as soon as your ISP disconnects you.\r\n\r\n"
    "Created by Tavrek (a.k.a. KOBU).\r\n";

TEST_F(About, ShowsTheComposedTextAndOneWindowHoweverOftenTheIconIsClicked) {
    frmMain& main = start();
    frmAbout& about = open(main);
    EXPECT_EQ(native(about.Label4).text, kAboutText);
    open(main);
    EXPECT_EQ(sim.log().count("CreateWindowExA(frmAbout)"), 1u) << calls();
    EXPECT_EQ(sim.log().count("SetWindowTextA(Label4"), 1u) << "composed again on reshow";
    EXPECT_TRUE(about.visible());
    EXPECT_TRUE(main.visible());  // modeless: the main window stays
}

TEST_F(About, EachLinkClickIsOneShellCallWithItsAddress) {
    frmMain& main = start();
    frmAbout& about = open(main);
    click(about.Label1);
    click(about.Image1);
    click(about.Image2);
    click(about.Image2);
    const std::string home = std::string("ShellExecuteA(open, ") + web::kHomePage + ", 3)";
    const std::string sponsor = std::string("ShellExecuteA(open, ") + web::kSponsorPage + ", 3)";
    EXPECT_EQ(sim.log().count(home), 2u) << calls();
    EXPECT_EQ(sim.log().count(sponsor), 2u) << calls();
    EXPECT_TRUE(about.visible());
    EXPECT_NE(std::string(web::kHomePage).find(".example.org/"), std::string::npos);
    EXPECT_NE(std::string(web::kSponsorPage).find(".example.org/"), std::string::npos);
}

TEST_F(About, OkUnloadsAndReopeningComposesTheSameText) {
    frmMain& main = start();
    click(open(main).Command1);
    EXPECT_EQ(app.loadedForm<frmAbout>(), nullptr);
    EXPECT_EQ(sim.log().count("DestroyWindow(frmAbout)"), 1u);
    EXPECT_EQ(native(open(main).Label4).text, kAboutText);
    EXPECT_EQ(sim.log().count("CreateWindowExA(frmAbout)"), 2u);
}

TEST_F(About, TitleBarCloseUnloadsLikeOkAndTheProgramGoesOn) {
    frmMain& main = start();
    frmAbout& about = open(main);
    sim.ui().closeForm(about.native());
    sim.ui().doEvents();
    EXPECT_EQ(app.loadedForm<frmAbout>(), nullptr);
    EXPECT_FALSE(sim.ui().quitRequested());
}

class Credits : public KestroveTest {
  protected:
    void release(frmMain& main, int button, int shift) {
        sim.ui().mouse(main.imgEgg.native(), forms::ControlEvent::MouseUp, button, shift);
        sim.ui().doEvents();
    }
};

TEST_F(Credits, OnlyARightButtonReleaseWithShiftAloneOpensIt) {
    frmMain& main = start();
    using namespace forms;
    const std::pair<int, int> nothing[] = {{kRightButton, 0},
                                           {kRightButton, kShiftMask | kCtrlMask},
                                           {kRightButton, kShiftMask | kAltMask},
                                           {kLeftButton, kShiftMask},
                                           {kMiddleButton, kShiftMask}};
    for (const auto& [button, shift] : nothing) release(main, button, shift);
    EXPECT_EQ(app.loadedForm<frmEgg>(), nullptr);
    release(main, kRightButton, kShiftMask);
    EXPECT_NE(app.loadedForm<frmEgg>(), nullptr);
}

TEST_F(Credits, PlacesLogoAndSloganAtHalfTwipsOnA1024By768Screen) {
    frmMain& main = start();
    release(main, forms::kRightButton, forms::kShiftMask);
    frmEgg& egg = *app.loadedForm<frmEgg>();
    const TwipRect window = egg.rect();
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.width, 15360);
    EXPECT_EQ(window.height, 11520);
    EXPECT_FLOAT_EQ(native(egg.imgKOBU).desc.rect.left, 5122.5f);
    EXPECT_FLOAT_EQ(native(egg.imgKOBU).desc.rect.top, 4515.0f);
    EXPECT_FLOAT_EQ(native(egg.lbl).desc.rect.left, 6712.5f);
    EXPECT_FLOAT_EQ(native(egg.lbl).desc.rect.top, 11265.0f);
}

TEST_F(Credits, ScreenNarrowerThanTheLogoCutsItEquallyOnBothSides) {
    sim.ui().setScreenSize({4800, 2400});
    frmMain& main = start();
    release(main, forms::kRightButton, forms::kShiftMask);
    frmEgg& egg = *app.loadedForm<frmEgg>();
    EXPECT_FLOAT_EQ(egg.imgKOBU.rect().left, -157.5f);
    EXPECT_FLOAT_EQ(egg.imgKOBU.rect().top, -45.0f);
    EXPECT_FLOAT_EQ(egg.lbl.rect().top, 2400.0f - 255.0f);
}

TEST_F(Credits, ClickClosesItAndReopeningFollowsTheNewScreenSize) {
    frmMain& main = start();
    release(main, forms::kRightButton, forms::kShiftMask);
    sim.ui().setScreenSize({19200, 14400});
    release(main, forms::kRightButton, forms::kShiftMask);  // already open: not placed again
    EXPECT_EQ(app.loadedForm<frmEgg>()->rect().width, 15360);

    sim.ui().click(app.loadedForm<frmEgg>()->imgKOBU.native());
    sim.ui().doEvents();
    EXPECT_EQ(app.loadedForm<frmEgg>(), nullptr);
    release(main, forms::kRightButton, forms::kShiftMask);
    EXPECT_EQ(app.loadedForm<frmEgg>()->rect().width, 19200);
    sim.ui().clickForm(app.loadedForm<frmEgg>()->native());
    sim.ui().doEvents();
    EXPECT_EQ(app.loadedForm<frmEgg>(), nullptr);
}

}  // namespace
}  // namespace kestrove::testing
