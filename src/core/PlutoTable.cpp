#include "core/PlutoTable.h"

#include "core/Files.h"
#include "core/Text.h"

#include <cerrno>
#include <cmath>

namespace qor {

PlanetLoadResult LoadPlutoTable(AstroDat& s) {
    const std::string fileName = "pluto.dat";
    PlutoTable& table = s.Planets.Pluto;
    table = PlutoTable{};
    auto refuse = [&](const char* russian, const char* english) {
        ReportOf(s).ShowMessage(MsgKind::Warning,
                                fileName + ": " + Lang(s, Cp(russian), english) +
                                    Lang(s, Cp("; Плутон есть только в 1885–2099 гг."),
                                         "; Pluto is there for 1885-2099 only"));
        return PlanetLoadResult{true, {}};
    };
    constexpr std::size_t kSize = static_cast<std::size_t>(kPlutoTableEntries) * 3 * sizeof(double);
    std::string bytes;
    // A larger file is damaged as well: it is not read at all.
    const IoResult read = ReadFileBytes(s.DataPath(fileName), bytes, kSize);
    if (read.error == EFBIG || (read.ok() && bytes.size() != kSize))
        return refuse("файл повреждён", "the file is damaged");
    if (!read.ok()) return refuse("файл не найден", "the file is not there");
    LeReader r(bytes);
    PlutoTable loaded;
    loaded.XYZ.resize(static_cast<std::size_t>(kPlutoTableEntries) * 3);
    for (std::size_t k = 0; k < loaded.XYZ.size(); k += 3) {
        const double x = r.f64(), y = r.f64(), z = r.f64();
        const double d = std::sqrt(x * x + y * y + z * z);
        // Pluto keeps between 29.6 and 49.4 AU from the Sun; NaN fails the test as well.
        if (!(d >= 25 && d <= 55)) return refuse("файл повреждён", "the file is damaged");
        loaded.XYZ[k] = x;
        loaded.XYZ[k + 1] = y;
        loaded.XYZ[k + 2] = z;
    }
    loaded.Loaded = true;
    table = std::move(loaded);
    return {true, {}};
}

std::optional<PlutoTablePlace> PlutoTableAt(const PlutoTable& table, double jd) {
    if (!table.Loaded || !(jd >= kPlutoAvailableFirstJd && jd < kPlutoAvailableEndJd))
        return std::nullopt;
    // The window of eight places around jd: four on each side.
    const double u = (jd - kPlutoTableFirstJd) / kPlutoTableStepDays;
    const int first = static_cast<int>(std::floor(u)) - (kPlutoTableWindow / 2 - 1);
    if (first < 0 || first + kPlutoTableWindow > kPlutoTableEntries) return std::nullopt;
    const double x = u - first; // in steps from the window's first place
    // Lagrange weights of the eight places and their derivatives in x.
    double w[kPlutoTableWindow], dw[kPlutoTableWindow];
    for (int i = 0; i < kPlutoTableWindow; ++i) {
        double num = 1, den = 1, dnum = 0;
        for (int j = 0; j < kPlutoTableWindow; ++j) {
            if (j == i) continue;
            dnum = dnum * (x - j) + num; // product rule over the factors so far
            num *= x - j;
            den *= i - j;
        }
        w[i] = num / den;
        dw[i] = dnum / den;
    }
    PlutoTablePlace p{};
    for (int i = 0; i < kPlutoTableWindow; ++i) {
        const double* q = &table.XYZ[static_cast<std::size_t>(first + i) * 3];
        p.r.x += w[i] * q[0];
        p.r.y += w[i] * q[1];
        p.r.z += w[i] * q[2];
        p.v.x += dw[i] * q[0];
        p.v.y += dw[i] * q[1];
        p.v.z += dw[i] * q[2];
    }
    p.v = {p.v.x / kPlutoTableStepDays, p.v.y / kPlutoTableStepDays, p.v.z / kPlutoTableStepDays};
    return p;
}

std::optional<Spherical> PlutoHelioRate(const PlanetSeries& series, double T, Spherical& rate) {
    const double jd = JDFromCenturies(T);
    if (jd >= kPlutoTheoryFirstJd && jd < kPlutoTheoryEndJd) return PlutoPositionRate(T, rate);
    const std::optional<PlutoTablePlace> p = PlutoTableAt(series.Pluto, jd);
    if (!p) {
        rate = {};
        return std::nullopt;
    }
    const Vec3& r = p->r;
    const Vec3& v = p->v;
    const double rho2 = r.x * r.x + r.y * r.y;
    const double d2 = rho2 + r.z * r.z;
    const double d = std::sqrt(d2), rho = std::sqrt(rho2);
    rate.lon = (r.x * v.y - r.y * v.x) / rho2 * 36525.0;
    rate.lat = (v.z * rho2 - r.z * (r.x * v.x + r.y * v.y)) / (d2 * rho) * 36525.0;
    rate.r = (r.x * v.x + r.y * v.y + r.z * v.z) / d * 36525.0;
    Spherical out = RectToSph(r.x, r.y, r.z);
    out.lon = NormAngle(out.lon);
    return out;
}

bool PlutoAvailable(const PlanetSeries& series, double T) {
    Spherical rate;
    return PlutoHelioRate(series, T, rate).has_value();
}

std::string PlutoUnavailableText(const AstroDat& s) {
    return s.Planets.Pluto.Loaded
               ? Lang(s, Cp("Плутон рассчитывается только для 1600–2400 гг."),
                      "Pluto is available for the years 1600-2400 only")
               : Lang(s, Cp("Плутон рассчитывается только для 1885–2099 гг. (нет pluto.dat)"),
                      "Pluto is available for the years 1885-2099 only (no pluto.dat)");
}

} // namespace qor
