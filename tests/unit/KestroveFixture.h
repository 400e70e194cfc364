#pragma once
// A fresh simulated desktop and application per test, with the probe's registry status put back to its
// program-start value.

#include <gtest/gtest.h>

#include <string>

#include "keeper/ConnectionProbe.h"
#include "platform/forms/Application.h"
#include "platform/sim/SimPlatform.h"
#include "ui/frmMain.h"

namespace kestrove::testing {

inline const std::string kSettingsPath = "C:\\Kestrove\\kestrove.rkf";
// "Dial 1" with the switch ticked, as the program writes it.
inline const std::string kArmedSettings = "\"Dial 1\"\r\n1\r\n";

class KestroveTest : public ::testing::Test {
  protected:
    KestroveTest() { Module3::RegistryStatus = 0; }

    // Starts the program: the main window is the start-up window.
    frmMain& start() {
        frmMain& main = app.form<frmMain>(sim.platform());
        main.show();
        return main;
    }

    std::optional<std::string> settings() const { return sim.file(kSettingsPath); }
    const sim::SimControl& native(const forms::Control& control) const {
        return *sim.ui().control(control.native());
    }
    std::string calls() const { return sim.log().dump(); }
    // Moves the virtual clock on in steps of 10 ms until the condition holds, at most limit ms; returns
    // the time it held (or the time given up).
    template <class Condition>
    std::uint32_t advanceUntil(Condition condition, std::uint32_t limit) {
        for (std::uint32_t waited = 0; waited < limit && !condition(); waited += 10) sim.ui().advance(10);
        return sim.ui().nowMs();
    }

    mutable sim::SimPlatform sim;
    forms::Application app{sim.ui()};
};

}  // namespace kestrove::testing
