#include "KestroveRun.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keeper/ConnectionProbe.h"
#include "platform/forms/Application.h"
#include "platform/sim/SimPlatform.h"
#include "ui/frmMain.h"

namespace kestrove::week {

namespace {

constexpr const char* kEntry = "Dial 1";
constexpr const char* kKey = "System\\CurrentControlSet\\Services\\RemoteAccess";
constexpr const char* kValue = "Remote Connection";
constexpr std::string_view kDialer9x = "rundll32.exe rnaui.dll,RnaDial ";
constexpr std::string_view kHangUp = "/disconnect";
constexpr Ms kTick = 10;               // the simulated system delivers a 1 ms timer every 10 ms
constexpr Ms kHangUpLength = kSecond;  // rasdial /disconnect
constexpr std::uint32_t kPortDisconnected = 631;
constexpr std::uint32_t kStartOfDayS = 8 * 3600;  // the simulated clock's time of day at 0
// The program has probed since the last change once this much has passed with nothing happening.
constexpr Ms kSettle = 1500;

// One dialer process the program started, played as the script says.
struct Dialer {
    std::uint32_t pid = 0;
    Outcome outcome = Outcome::Success;
    std::optional<std::size_t> dial;  // its place in the record; none after the script's end
    bool hangUp = false;              // NT: rasdial <entry> /disconnect
    WindowHandle dialog = 0, progress = 0, box = 0;
    std::optional<Ms> endsAt;  // 9x: the progress window's end; NT: the process's
};

class Run {
  public:
    Run(const Script& script, const KestroveOptions& options) : script_(script), options_(options) {
        Module3::RegistryStatus = 0;  // as a fresh process starts
        sim_.setFamily(nt() ? PlatformFamily::WindowsNT : PlatformFamily::Windows9x);
        sim_.setPhoneBook({kEntry});
        setLine(true);
        sim_.onProcessStart([this](const std::string& command, std::uint32_t pid) { started(command, pid); });
        sim_.onEnter([this](WindowHandle window) { enter(window); });
    }

    RunRecord play() {
        frmMain& main = app_.form<frmMain>(sim_.platform());
        main.show();
        sim_.ui().pick(main.Combo1.native(), 0);
        sim_.ui().click(main.chckAuto.native());
        sim_.ui().advance(2 * kSecond);
        lblLoop_ = main.lblLoop.native();
        base_ = sim_.ui().nowMs();
        lastChange_ = 0;

        const Ms end = script_.length;
        std::size_t steps = 0;
        for (;;) {
            const Ms t = now();
            if (t >= end && !extended_) {
                if (lineUp_) break;
                extended_ = true;  // is another dial coming?
            }
            if (extended_ && (lineUp_ || dialledAfterEnd_ || t >= end + options_.giveUpAfter)) break;
            playDue(t);
            const Ms next = nextEvent();
            const Ms jump = jumpTarget(next);
            if (jump > now() + 2 * kTick) {
                sim_.ui().skipIdle(static_cast<std::uint32_t>(jump - now()));
            } else {
                sim_.ui().advance(static_cast<std::uint32_t>(std::clamp<Ms>(next - now(), 1, kTick)));
            }
            noticeEnds();
            if (++steps % 4096 == 0) sim_.log().clear();  // a week of calls would not fit in memory
        }
        record_.gaveUp = extended_ && !lineUp_ && !dialledAfterEnd_;
        return std::move(record_);
    }

  private:
    bool nt() const { return script_.family == Family::WinNT; }
    Ms now() const { return static_cast<Ms>(sim_.ui().nowMs() - base_); }

    // --- the dial-up service: the registry flag (9x) and the connections it lists ---
    void setLine(bool up) {
        lineUp_ = up;
        if (!nt()) sim_.setRegistryValue(kKey, kValue, {std::uint8_t(up ? 1 : 0), 0, 0, 0});
        setListed(up ? std::optional(RasState::Connected) : std::nullopt);
    }
    // A dial that ends without the line: the service lists what is left.
    void dialOver() { setListed(lineUp_ ? std::optional(RasState::Connected) : std::nullopt); }
    void setListed(std::optional<RasState> state) {
        if (state) {
            sim_.setRasConnections({{kEntry, *state}});
        } else {
            sim_.setRasConnections({});
        }
    }

    // --- the dialers ---
    void started(const std::string& command, std::uint32_t pid) {
        lastChange_ = now();
        Dialer dialer;
        dialer.pid = pid;
        if (nt() && command.ends_with(kHangUp)) {
            dialer.hangUp = true;
            dialer.endsAt = now() + kHangUpLength;
            dialers_.push_back(dialer);
            return;
        }
        const bool dial =
            nt() ? command.find("rasdial.exe") != std::string::npos : command.starts_with(kDialer9x);
        if (!dial) return sim_.endProcess(pid);
        if (now() < script_.length) {
            dialer.outcome = script_.outcome(now(), record_.dials.size());
            dialer.dial = record_.dials.size();
            record_.dials.push_back({now(), false});
        } else {
            dialledAfterEnd_ = true;  // after the script every dial would succeed: not given up
        }
        if (nt()) {
            setListed(RasState::Dialling);
            const Ms length = dialLength(script_.family, dialer.outcome);
            if (length >= 0) dialer.endsAt = now() + length;
        } else {
            dialer.dialog = sim_.addWindow("#32770", "Connect To", pid);
        }
        dialers_.push_back(dialer);
    }

    // 9x: Enter confirms the dialog and the dial begins; it answers the error box, and on the progress
    // window it is Cancel.
    void enter(WindowHandle window) {
        lastChange_ = now();
        if (window == 0) return;
        for (Dialer& dialer : dialers_) {
            if (window == dialer.dialog) {
                sim_.removeWindow(dialer.dialog);
                dialer.dialog = 0;
                dialer.progress =
                    sim_.addWindow("#32770", std::string("Connecting to ") + kEntry, dialer.pid);
                setListed(RasState::Dialling);
                dialer.endsAt = now() + dialLength(script_.family, dialer.outcome);
            } else if (window == dialer.box) {
                finish(dialer, 0);
            } else if (window == dialer.progress) {
                dialOver();
                finish(dialer, 0);
            }
        }
        forgetEnded();
    }

    void finish(Dialer& dialer, std::uint32_t exitCode) {
        sim_.endProcess(dialer.pid, exitCode);  // its windows go with it
        dialer.pid = 0;
    }
    void forgetEnded() {
        std::erase_if(dialers_, [](const Dialer& dialer) { return dialer.pid == 0; });
    }

    void succeeded(Dialer& dialer) {
        setLine(true);
        if (dialer.dial) record_.dials[*dialer.dial].succeeded = true;
    }

    // What falls due at t: the script's drops and sleeps, the dialers' ends.
    void playDue(Ms t) {
        for (Dialer& dialer : dialers_) {
            if (!dialer.endsAt || *dialer.endsAt > t || dialer.pid == 0) continue;
            lastChange_ = t;
            dialer.endsAt.reset();
            if (dialer.hangUp) {
                hangUp();
                finish(dialer, 0);
            } else if (nt()) {
                endNtDial(dialer);
            } else {
                endProgress(dialer);
            }
        }
        forgetEnded();
        while (drop_ < script_.drops.size() && script_.drops[drop_] <= t) {
            if (lineUp_) {
                setLine(false);
                lastChange_ = t;
            }
            ++drop_;
        }
        if (sleep_ < script_.sleeps.size() && script_.sleeps[sleep_].at <= t) {
            const Sleep night = script_.sleeps[sleep_++];
            setLine(false);  // the line goes with the sleep: it is down at the resume
            sim_.ui().sleepMachine(static_cast<std::uint32_t>(night.length));
            lastChange_ = now();
        }
    }

    void endNtDial(Dialer& dialer) {
        switch (dialer.outcome) {
            case Outcome::Success:
                succeeded(dialer);
                return finish(dialer, 0);
            case Outcome::FalseSuccess:
                dialOver();
                return finish(dialer, 0);
            case Outcome::AuthFail:
                dialOver();
                return finish(dialer, 691);
            default:
                dialOver();
                return finish(dialer, 678);
        }
    }

    void endProgress(Dialer& dialer) {
        sim_.removeWindow(dialer.progress);
        dialer.progress = 0;
        if (dialer.outcome == Outcome::Success) {
            succeeded(dialer);
            return finish(dialer, 0);
        }
        dialOver();
        if (dialer.outcome == Outcome::FailWithBox) {
            dialer.box = sim_.addWindow("#32770", "Dial-Up Networking", dialer.pid);
        } else {
            finish(dialer, 0);
        }
    }

    // NT: the hang-up ends whatever the entry has: a line that is up, or a dial under way, whose rasdial
    // then fails.
    void hangUp() {
        setLine(false);
        for (Dialer& other : dialers_) {
            if (other.hangUp || other.pid == 0 || other.outcome == Outcome::Hang) continue;
            finish(other, kPortDisconnected);
        }
    }

    // Windows the program closed and processes it ended: a dialer whose window is closed ends (its
    // progress window takes WM_CLOSE as Cancel).
    void noticeEnds() {
        const std::vector<WindowHandle> closed = sim_.closedWindows();
        const std::vector<std::uint32_t> ended = sim_.terminatedProcesses();
        if (closed.size() == closedSeen_ && ended.size() == endedSeen_) return;
        lastChange_ = now();
        for (std::size_t i = closedSeen_; i < closed.size(); ++i) {
            for (Dialer& dialer : dialers_) {
                if (dialer.pid == 0) continue;
                if (closed[i] == dialer.progress) dialOver();
                if (closed[i] == dialer.progress || closed[i] == dialer.dialog || closed[i] == dialer.box)
                    finish(dialer, 0);
            }
        }
        for (std::size_t i = endedSeen_; i < ended.size(); ++i) {
            for (Dialer& dialer : dialers_) {
                if (dialer.pid != ended[i]) continue;
                // A dial in progress goes with its dialer; a hung NT dial stays listed until hung up.
                const bool dialling = nt() ? dialer.endsAt.has_value() : dialer.progress != 0;
                if (dialling && !dialer.hangUp) dialOver();
                dialer.pid = 0;
            }
        }
        closedSeen_ = closed.size();
        endedSeen_ = ended.size();
        forgetEnded();
    }

    Ms nextEvent() const {
        Ms next = extended_ ? script_.length + options_.giveUpAfter : script_.length;
        for (const Dialer& dialer : dialers_) {
            if (dialer.endsAt) next = std::min(next, *dialer.endsAt);
        }
        if (drop_ < script_.drops.size()) next = std::min(next, script_.drops[drop_]);
        if (sleep_ < script_.sleeps.size()) next = std::min(next, script_.sleeps[sleep_].at);
        return next;
    }

    // How far the clock may jump with no tick changing anything: nothing runs, the program has seen the
    // last change, and the line is up, or the program has stopped, or it announces its next attempt.
    Ms jumpTarget(Ms next) {
        const Ms t = now();
        if (!options_.jumpIdle || !dialers_.empty() || sim_.heldProcesses() != 0 || t - lastChange_ < kSettle)
            return t;
        if (lineUp_) return next;
        if (!options_.jumpHolds) return t;
        const std::string& tip = sim_.ui().control(lblLoop_)->desc.toolTip;
        if (tip.find("Stopped") != std::string::npos) return next;
        const std::optional<Ms> attempt = announcedAttempt(tip);
        if (!attempt) return t;
        return std::clamp(*attempt - 2 * kSecond, t, next);
    }

    // "Next attempt at HH:MM:SS" as the simulated clock writes the time of day, within the next 2 hours.
    std::optional<Ms> announcedAttempt(const std::string& tip) const {
        constexpr std::string_view kNext = "Next attempt at ";
        const std::size_t at = tip.find(kNext);
        if (at == std::string::npos || tip.size() < at + kNext.size() + 8) return std::nullopt;
        const char* digits = tip.data() + at + kNext.size();
        int parts[3] = {};
        for (int i = 0; i < 3; ++i) {
            const char* p = digits + 3 * i;
            if (p[0] < '0' || p[0] > '9' || p[1] < '0' || p[1] > '9') return std::nullopt;
            parts[i] = (p[0] - '0') * 10 + (p[1] - '0');
        }
        const std::int64_t clockS = sim_.ui().nowMs() / 1000;
        const std::int64_t announced = parts[0] * 3600 + parts[1] * 60 + parts[2];
        const std::int64_t ahead = ((announced - (kStartOfDayS + clockS)) % 86400 + 86400) % 86400;
        if (ahead * kSecond > 2 * kHour) return std::nullopt;  // in the past, or not believable
        return (clockS + ahead) * kSecond - static_cast<Ms>(base_);
    }

    const Script& script_;
    const KestroveOptions options_;
    mutable sim::SimPlatform sim_;
    forms::Application app_{sim_.ui()};
    forms::NativeId lblLoop_ = 0;
    std::uint32_t base_ = 0;
    RunRecord record_;
    std::vector<Dialer> dialers_;
    bool lineUp_ = true;
    bool extended_ = false;
    bool dialledAfterEnd_ = false;
    Ms lastChange_ = 0;
    std::size_t drop_ = 0, sleep_ = 0;
    std::size_t closedSeen_ = 0, endedSeen_ = 0;
};

}  // namespace

RunRecord runKestrove(const Script& script, const KestroveOptions& options) {
    Run run(script, options);
    return run.play();
}

}  // namespace kestrove::week
