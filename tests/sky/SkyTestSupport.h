// Shared set-up of the sky tests: a chart state over the shipped data or a temporary folder.
#pragma once

#include "core/AstroDat.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

#include <string>

namespace qor::test {

inline std::filesystem::path ShippedData() {
    return std::filesystem::path(QOR_SOURCE_DIR) / "data";
}

struct SkyState {
    RecordingReport report;
    AstroDat s;
    explicit SkyState(const std::filesystem::path& folder = ShippedData()) {
        s.ProgramFolder = folder;
        s.Report = &report;
    }
    bool Said(const std::string& part) const {
        for (const auto& m : report.messages)
            if (m.text.find(part) != std::string::npos) return true;
        return false;
    }
};

} // namespace qor::test
