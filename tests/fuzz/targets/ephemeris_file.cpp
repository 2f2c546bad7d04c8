// The ephemeris files (annual and century tables) the ephemeris windows read back.
#include "FuzzTarget.h"

#include "core/Files.h"
#include "forecast/EphemerisFiles.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    Put("eph.dat", bytes);
    std::vector<forecast::EphemerisRecord> records;
    forecast::ReadEphemerisFile(Folder() / "eph.dat", records);
}

// Three records as the builder writes them.
std::vector<std::string> Seeds() {
    LeWriter out;
    for (int day = 1; day <= 3; ++day) {
        forecast::EphemerisRecord r;
        r.Third = static_cast<int16_t>(day);
        forecast::WriteEphemerisRecord(out, r);
    }
    return {out.bytes()};
}

} // namespace
QOR_FUZZ_TARGET(ephemeris_file, Run, Seeds, "")
} // namespace qor::fuzz
