#include "forecast/EphemerisJobs.h"

namespace qor::forecast {

void RegisterContinuation(EphemerisJobs& jobs, int job, const std::string& formName,
                          std::function<void(ui::TForm&)> callBack) {
    jobs.Continuations[job] = [formName, callBack = std::move(callBack)] {
        if (ui::TForm* f = ui::Screen().FindForm(formName)) callBack(*f);
    };
}

void RunEphemerisContinuation(const EphemerisJobs& jobs, int job) {
    if (job == kJobNone) return;
    const auto it = jobs.Continuations.find(job);
    if (it != jobs.Continuations.end() && it->second) it->second();
}

} // namespace qor::forecast
