#pragma once
// Models of the redial policies people use instead, each written from its documented rules: only when
// the next attempt comes, or that none does. What a dial does comes from the script.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Metrics.h"
#include "Script.h"

namespace kestrove::week {

// The next attempt after this many ms, or none until the user acts.
struct Next {
    static Next in(Ms ms) { return {false, ms}; }
    static Next never() { return {true, 0}; }
    bool stop = false;
    Ms after = 0;
};

class Policy {
  public:
    virtual ~Policy() = default;
    // The line was up for callLength and went down (a drop, a resume, a dial accepted and dropped).
    virtual Next lineDown(Ms callLength) = 0;
    virtual Next failed(bool authentication) = 0;
    virtual void connected() {}
    // How long a dial may run before the policy gives it up as failed; none: it waits for ever.
    virtual std::optional<Ms> dialLimit() const { return std::nullopt; }
};

// The reference policies by name, in the order they are reported.
const std::vector<std::string>& referencePolicies();
std::unique_ptr<Policy> makePolicy(const std::string& name);  // null for an unknown name

// Plays the script through the policy.
RunRecord runModel(const Script& script, Policy& policy);

}  // namespace kestrove::week
