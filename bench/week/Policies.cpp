#include "Policies.h"

#include <algorithm>

namespace kestrove::week {

namespace {

// A drop noticed "at once": half a second, what a once-a-second poll waits on average.
constexpr Ms kAtOnce = kSecond / 2;

// Polls once a second while down; a dial is held off only while its progress window is open, and the
// poll starts one full second after that window closes.
class Original final : public Policy {
  public:
    Next lineDown(Ms) override { return Next::in(kAtOnce); }
    Next failed(bool) override { return Next::in(kSecond); }
};

// persist holdoff 30 maxfail N: 30 s after the link goes down or a dial fails; after N failures in a row
// (0: never) it exits. chat gives up on a dial after its default 45 s timeout.
class Pppd final : public Policy {
  public:
    explicit Pppd(int maxFail) : maxFail_(maxFail) {}
    Next lineDown(Ms) override { return Next::in(kHoldOff); }
    Next failed(bool) override {
        if (maxFail_ > 0 && ++failures_ >= maxFail_) return Next::never();
        return Next::in(kHoldOff);
    }
    void connected() override { failures_ = 0; }
    std::optional<Ms> dialLimit() const override { return 45 * kSecond; }

  private:
    static constexpr Ms kHoldOff = 30 * kSecond;
    int maxFail_;
    int failures_ = 0;
};

// Auto Reconnect: waits 5 s, doubling up to 600 s, the wait going back to 5 s after a call of 45 s or
// more; an authentication failure ends it. A dial times out after 60 s.
class Wvdial final : public Policy {
  public:
    Next lineDown(Ms callLength) override {
        if (callLength >= 45 * kSecond) delay_ = kFirst;
        return next();
    }
    Next failed(bool authentication) override { return authentication ? Next::never() : next(); }
    std::optional<Ms> dialLimit() const override { return kMinute; }

  private:
    static constexpr Ms kFirst = 5 * kSecond;
    Next next() {
        const Ms wait = delay_;
        delay_ = std::min(delay_ * 2, 600 * kSecond);
        return Next::in(wait);
    }
    Ms delay_ = kFirst;
};

// Tries again at once, 4 tries, then blocked for 300 s and 4 tries again; the count starts again once
// connected. An authentication failure blocks it until the user acts. An activation gives up after 60 s.
class NetworkManager final : public Policy {
  public:
    Next lineDown(Ms) override { return Next::in(kAtOnce); }
    Next failed(bool authentication) override {
        if (authentication) return Next::never();
        if (--triesLeft_ > 0) return Next::in(kAtOnce);
        triesLeft_ = kTries;
        return Next::in(300 * kSecond);
    }
    void connected() override { triesLeft_ = kTries; }
    std::optional<Ms> dialLimit() const override { return kMinute; }

  private:
    static constexpr int kTries = 4;
    int triesLeft_ = kTries;
};

// The entry's "redial if the line is dropped": a drop is redialled at once, then up to 3 tries in all,
// 60 s apart; then nothing until the user dials.
class WindowsRedial final : public Policy {
  public:
    Next lineDown(Ms) override {
        triesLeft_ = kTries - 1;
        return Next::in(kAtOnce);
    }
    Next failed(bool) override {
        if (triesLeft_ == 0) return Next::never();
        --triesLeft_;
        return Next::in(kMinute);
    }
    std::optional<Ms> dialLimit() const override { return kMinute; }

  private:
    static constexpr int kTries = 3;
    int triesLeft_ = 0;
};

}  // namespace

const std::vector<std::string>& referencePolicies() {
    static const std::vector<std::string> names = {"original", "pppd-maxfail10", "pppd-forever",
                                                   "wvdial",   "networkmanager", "windows-redial"};
    return names;
}

std::unique_ptr<Policy> makePolicy(const std::string& name) {
    if (name == "original") return std::make_unique<Original>();
    if (name == "pppd-maxfail10") return std::make_unique<Pppd>(10);
    if (name == "pppd-forever") return std::make_unique<Pppd>(0);
    if (name == "wvdial") return std::make_unique<Wvdial>();
    if (name == "networkmanager") return std::make_unique<NetworkManager>();
    if (name == "windows-redial") return std::make_unique<WindowsRedial>();
    return nullptr;
}

RunRecord runModel(const Script& script, Policy& policy) {
    RunRecord record;
    bool up = true;
    Ms upSince = 0;
    constexpr Ms kNone = -1;
    Ms attemptAt = kNone, dialEnd = kNone;
    Outcome dialling = Outcome::Success;
    std::size_t drop = 0, sleep = 0;
    const auto decide = [&](Ms now, Next next) { attemptAt = next.stop ? kNone : now + next.after; };
    for (;;) {
        enum class Event { None, DialEnd, Drop, Sleep, Attempt } event = Event::None;
        Ms t = script.length;
        const auto earlier = [&](Ms at, Event what) {
            if (at < t) t = at, event = what;
        };
        if (dialEnd != kNone) earlier(dialEnd, Event::DialEnd);
        if (drop < script.drops.size()) earlier(script.drops[drop], Event::Drop);
        if (sleep < script.sleeps.size()) earlier(script.sleeps[sleep].at, Event::Sleep);
        if (attemptAt != kNone) earlier(attemptAt, Event::Attempt);
        switch (event) {
            case Event::None:
                record.gaveUp = !up && attemptAt == kNone && dialEnd == kNone;
                return record;
            case Event::DialEnd:
                dialEnd = kNone;
                if (dialling == Outcome::Success) {
                    up = true;
                    upSince = t;
                    record.dials.back().succeeded = true;
                    policy.connected();
                } else if (dialling == Outcome::FalseSuccess) {
                    policy.connected();
                    decide(t, policy.lineDown(0));
                } else {
                    decide(t, policy.failed(dialling == Outcome::AuthFail));
                }
                break;
            case Event::Drop:
                ++drop;
                if (up) {
                    up = false;
                    decide(t, policy.lineDown(t - upSince));
                }
                break;
            case Event::Sleep: {
                // Nothing happens while the machine sleeps; it wakes with the line down.
                const Sleep& night = script.sleeps[sleep++];
                const Ms resume = night.at + night.length;
                if (up) {
                    up = false;
                    decide(resume, policy.lineDown(night.at - upSince));
                } else if (attemptAt != kNone && attemptAt < resume) {
                    attemptAt = resume;
                }
                while (drop < script.drops.size() && script.drops[drop] < resume) ++drop;
                break;
            }
            case Event::Attempt: {
                attemptAt = kNone;
                dialling = script.outcome(t, record.dials.size());
                record.dials.push_back({t, false});
                Ms length = dialLength(script.family, dialling);
                if (dialling == Outcome::Hang && policy.dialLimit()) length = *policy.dialLimit();
                if (length >= 0) dialEnd = t + length;  // otherwise it holds the policy for ever
                break;
            }
        }
    }
}

}  // namespace kestrove::week
