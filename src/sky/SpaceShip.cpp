#include "sky/SpaceShip.h"

#include <cmath>
#include <vector>

namespace qor {

namespace {

constexpr double kKmPerAu = 149600000;

struct ScreenPoint {
    int x = 0, y = 0, z = 0;
};

// Depth of the plane of a face at (x, y); -32000 when the face is seen edge-on.
int PlaneDepth(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c, int x, int y) {
    const double ux = a.x - c.x, uy = a.y - c.y, uz = a.z - c.z;
    const double wx = b.x - c.x, wy = b.y - c.y, wz = b.z - c.z;
    const double nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
    if (std::abs(nz) < 3) return -32000;
    const double d = -(nx * c.x + ny * c.y + nz * c.z);
    return static_cast<int>(std::lround(-(nx * x + ny * y + d) / nz));
}

} // namespace

const std::array<std::array<double, 3>, 8>& ShipCorners() {
    static const std::array<std::array<double, 3>, 8> c = {{{-35, -20, -10},
                                                            {-35, -20, 10},
                                                            {35, -20, 10},
                                                            {35, -20, -10},
                                                            {-35, 20, 10},
                                                            {35, 20, 10},
                                                            {35, 20, -10},
                                                            {-35, 20, -10}}};
    return c;
}

const std::array<ShipFace, 6>& ShipFaces() {
    static const std::array<ShipFace, 6> f = {{{{0, 1, 2, 3}, 0x808080, 0xC0C0C0},
                                               {{1, 4, 5, 2}, 0xC0C0C0, 0x808080},
                                               {{3, 2, 5, 6}, 0x808080, 0xC0C0C0},
                                               {{7, 4, 5, 6}, 0x808080, 0xC0C0C0},
                                               {{0, 7, 6, 3}, 0xC0C0C0, 0xC0C0C0},
                                               {{0, 1, 4, 7}, 0x00FFFF, 0xC0C0C0}}};
    return f;
}

std::array<bool, 6> DrawShipBox(ui::Canvas& canvas, MatrixBank& bank, int mode, const BodyRec& body,
                                double diameterKm, double pixelsPerAu, double eyeDistance) {
    std::array<bool, 6> visible{};
    if (!IsViewMode(mode)) return visible;
    // x from the Sun towards the ship, y along its motion, z along its orbit's pole
    bank.OrbitPeri = body[kBodyHelioLon];
    bank.OrbitNode = body[kBodyNode];
    bank.OrbitIncl = body[kBodyInclination];
    SetViewMatrix(bank);
    const double unit = diameterKm / 2 / kKmPerAu * pixelsPerAu / 20;
    std::array<ScreenPoint, 8> p;
    for (int v = 0; v < 8; ++v) {
        double x = ShipCorners()[v][0] * unit, y = ShipCorners()[v][1] * unit,
               z = ShipCorners()[v][2] * unit;
        ApplyMatrix3(bank.OrbitMatrix, x, y, z);
        ApplyRotationN(bank, mode, x, y, z);
        PerspectiveDivide(bank, x, y, z, eyeDistance);
        p[v] = {bank.ScreenCX - static_cast<int>(std::lround(x)),
                bank.ScreenCY + static_cast<int>(std::lround(y)), static_cast<int>(std::lround(z))};
    }
    const std::array<ShipFace, 6>& faces = ShipFaces();
    // edges of each face, all running the same way round on the screen
    std::array<std::array<ScreenPoint, 4>, 6> edges;
    for (int f = 0; f < 6; ++f) {
        const auto& c = faces[f].corners;
        for (int k = 0; k < 4; ++k) {
            const ScreenPoint& a = p[c[k]];
            const ScreenPoint& b = p[c[(k + 1) % 4]];
            edges[f][k] = {b.x - a.x, b.y - a.y, 0};
        }
        const ScreenPoint& p1 = p[c[0]];
        const ScreenPoint& p3 = p[c[2]];
        if ((p3.x - p1.x) * edges[f][0].y - (p3.y - p1.y) * edges[f][0].x < 0)
            for (auto& e : edges[f]) e = {-e.x, -e.y, 0};
    }
    visible.fill(true);
    auto corner = [&](int f, int v) {
        for (int c : faces[f].corners)
            if (c == v) return true;
        return false;
    };
    for (int v = 0; v < 8; ++v)
        for (int f = 0; f < 6; ++f) {
            if (!visible[f] || corner(f, v)) continue;
            bool inside = true;
            for (int k = 0; k < 4 && inside; ++k) {
                const ScreenPoint& pk = p[faces[f].corners[k]];
                const ScreenPoint& e = edges[f][k];
                inside = (p[v].x - pk.x) * e.y - (p[v].y - pk.y) * e.x >= 0;
            }
            const auto& c = faces[f].corners;
            if (inside && p[v].z < PlaneDepth(p[c[0]], p[c[1]], p[c[2]], p[v].x, p[v].y))
                for (int g = 0; g < 6; ++g)
                    if (corner(g, v)) visible[g] = false;
        }
    const ui::Colour brush = canvas.BrushColor();
    canvas.SetBrushStyle(ui::BrushStyle::Solid);
    for (int f = 0; f < 6; ++f) {
        if (!visible[f]) continue;
        std::vector<QPoint> poly;
        for (int c : faces[f].corners) poly.emplace_back(p[c].x, p[c].y);
        canvas.SetBrushColor(faces[f].fill);
        canvas.SetPenColor(f == 1 ? 0x808080 : 0xC0C0C0);
        canvas.Polygon(poly);
    }
    canvas.SetBrushColor(brush);
    return visible;
}

} // namespace qor
