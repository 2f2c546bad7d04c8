#include "chart/AspectTable.h"

#include "core/AstroMath.h"
#include "core/Formats.h"
#include "core/PointNames.h"
#include "core/Strings.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace qor::chart {

std::vector<int> AspectTablePoints(const std::string& flags, const std::string& houseFlags,
                                   bool helio) {
    std::vector<int> points;
    for (int p = 1; p <= 26; ++p)
        if (p <= static_cast<int>(flags.size()) && flags[p - 1] == '|') points.push_back(p);
    if (!helio)
        for (int h = 1; h <= 12; ++h)
            if (h <= static_cast<int>(houseFlags.size()) && houseFlags[h - 1] == '|')
                points.push_back(26 + h);
    return points;
}

std::string AspectTableFlags(const std::string& tableFlags,
                             const std::array<uint8_t, 27>& pointRow) {
    std::string flags(26, '-');
    for (int p = 1; p <= 26; ++p)
        if (pointRow[p] != 0 && p <= static_cast<int>(tableFlags.size()))
            flags[p - 1] = tableFlags[p - 1];
    return flags;
}

namespace {

bool Across(const AspectTableInputs& in) {
    return in.DoubleChart && in.AspectingMode == 'X';
}

// The longitudes of the row point and the column point.
std::pair<double, double> Longitudes(const AspectTableInputs& in, int row, int col) {
    const PointArray& inner = *in.Lon;
    const PointArray& outer = in.LonBck ? *in.LonBck : inner;
    if (!in.DoubleChart || in.AspectingMode == 'I') return {inner.at(row), inner.at(col)};
    if (in.AspectingMode == 'X') return {inner.at(row), outer.at(col)};
    return {outer.at(row), outer.at(col)};
}

bool ValidPoint(int p) {
    return p >= 0 && p <= 40;
}

} // namespace

int AspCellAspect(const AspectTableInputs& in, int rowPoint, int colPoint) {
    if (!in.Matrix || !ValidPoint(rowPoint) || !ValidPoint(colPoint)) return 0;
    const int a = in.Matrix->AspMatrix[rowPoint][colPoint];
    return in.Table && a <= in.Table->AspCount ? a : 0;
}

std::string AspCellText(const AspectTableInputs& in, int rowPoint, int colPoint, bool glyphMode) {
    if (!in.Lon || !ValidPoint(rowPoint) || !ValidPoint(colPoint)) return {};
    if (!Across(in) && rowPoint == colPoint) return std::string(7, ' ');
    const auto [l1, l2] = Longitudes(in, rowPoint, colPoint);
    double degrees = std::fabs(l1 - l2) / kDegToRad;
    if (degrees > 180) degrees = 360 - degrees;
    const int a = AspCellAspect(in, rowPoint, colPoint);
    double value = degrees;
    if (a != 0 && in.OrbBox && glyphMode) {
        // The orb: how far the separation lies from the aspect's angle, always positive (a
        // trine whose points lie 240° apart is as exact as one 120° apart).
        const double separation = std::fabs(NormAngleSigned2(l1 - l2));
        value = std::fabs(NormAngleSigned2(in.Table->Asp[a].AspAngle - separation)) / kDegToRad;
    }
    const std::string text = FormatHoursDMS(in.Exact, value * 3600);
    const bool marked = a != 0 && !(Across(in) && in.DynMethod != ' ');
    if (!marked) return " " + text + " ";
    return in.Matrix->AspApplying[rowPoint][colPoint] ? ">" + text + "<" : "<" + text + ">";
}

std::string AspHeaderText(AstroDat& s, int point, bool retrograde,
                          const std::function<std::string(int)>& bodyTableName) {
    std::string text;
    if (point >= 27) {
        static const char* const kAngles[4] = {"Asc", "IC", "Dsc", "MC"};
        const int h = point - 26;
        text = (h - 1) % 3 == 0 ? kAngles[(h - 1) / 3] : std::to_string(h);
    } else {
        text = PointName(s, point, false, bodyTableName);
    }
    return retrograde ? text + "(R)" : text;
}

std::vector<std::string> AspectTableText(const std::string& caption,
                                         const std::vector<std::vector<std::string>>& cells,
                                         bool exact) {
    const int w = exact ? 14 : 10;
    // Names longer than a cell widen the header column instead of being cut.
    int first = w;
    for (std::size_t r = 1; r < cells.size(); ++r)
        if (!cells[r].empty()) first = std::max(first, static_cast<int>(cells[r][0].size()) + 1);
    std::vector<std::string> out{caption};
    for (std::size_t r = 0; r < cells.size(); ++r) {
        std::string line = r == 0 && exact ? "    " : "";
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            if (c == 0)
                line += FitTextLeft(cells[r][c], first);
            else if (r == 0)
                line += FitTextLeft(cells[r][c], w - 1) + " ";
            else
                line += FitTextLeft(cells[r][c], w);
        }
        out.push_back(line);
    }
    return out;
}

} // namespace qor::chart
