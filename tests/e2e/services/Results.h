#pragma once
// The tally of a self-checking run: one line per failed check, then "N passed, M failed".

#include <cstdio>
#include <string>
#include <utility>

namespace e2e::services {

class Results {
  public:
    void section(std::string name) { section_ = std::move(name); }

    bool check(bool ok, const char* what, int line) {
        if (ok) {
            ++passed_;
        } else {
            ++failed_;
            std::printf("FAIL [%s] line %d: %s\n", section_.c_str(), line, what);
        }
        return ok;
    }

    // What was seen, printed under a failure line when the expression alone does not say enough.
    void note(const std::string& text) const {
        std::printf("     [%s] %s\n", section_.c_str(), text.c_str());
    }

    int report() const {
        std::printf("%d passed, %d failed\n", passed_, failed_);
        std::fflush(stdout);
        return failed_ == 0 ? 0 : 1;
    }

  private:
    std::string section_;
    int passed_ = 0;
    int failed_ = 0;
};

// Each check function takes its Results as `results`.
#define CHECK(cond) results.check((cond), #cond, __LINE__)

}  // namespace e2e::services
