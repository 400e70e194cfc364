#include "Metrics.h"

#include <algorithm>
#include <cmath>

namespace kestrove::week {

std::int64_t worstHour(const std::vector<Dial>& dials) {
    std::int64_t worst = 0;
    std::size_t first = 0;
    for (std::size_t last = 0; last < dials.size(); ++last) {
        while (dials[last].start - dials[first].start >= kHour) ++first;
        worst = std::max<std::int64_t>(worst, static_cast<std::int64_t>(last - first + 1));
    }
    return worst;
}

Ms recoveryMs(const std::vector<Dial>& dials, const std::vector<Ms>& moments, Ms scriptLength) {
    Ms total = 0;
    for (const Ms moment : moments) {
        const auto succeeded = std::find_if(dials.begin(), dials.end(), [moment](const Dial& dial) {
            return dial.succeeded && dial.start >= moment;
        });
        total += (succeeded == dials.end() ? scriptLength : succeeded->start) - moment;
    }
    return total;
}

Figures summarise(const std::vector<RunRecord>& runs, const std::vector<Script>& scripts) {
    double attempts = 0, worst = 0, recovery = 0;
    Figures figures;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        attempts += static_cast<double>(runs[i].dials.size());
        worst += static_cast<double>(worstHour(runs[i].dials));
        recovery +=
            static_cast<double>(recoveryMs(runs[i].dials, scripts[i].moments, scripts[i].length)) / 1000.0;
        figures.gaveUp = figures.gaveUp || runs[i].gaveUp;
    }
    const double n = runs.empty() ? 1.0 : static_cast<double>(runs.size());
    figures.attempts = std::llround(attempts / n);
    figures.worstHour = std::llround(worst / n);
    figures.recoveryS = std::llround(recovery / n);
    return figures;
}

}  // namespace kestrove::week
