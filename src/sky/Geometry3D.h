// The geometry of the three-dimensional views: per-view rotation matrices from Euler angles,
// the orbit-plane matrix from orbital elements, matrix products, the perspective divide and
// the mapping of a point onto the screen around a fixed centre.
//
// Axes: ecliptic (x towards the equinox, z towards the ecliptic's north pole); angles in
// radians. A view turns ecliptic axes into view axes (z towards the eye); the screen's x runs
// against the view's x and the screen's y (downwards) along the view's y.
#pragma once

#include <array>

namespace qor {

// A 3 by 3 matrix, row-major: m00, m01, m02, m10 ... m22.
using Matrix3 = std::array<double, 9>;

constexpr int kMinViewMode = -1;
constexpr int kMaxViewMode = 22;
constexpr int kViewModes = kMaxViewMode - kMinViewMode + 1;

inline bool IsViewMode(int n) {
    return n >= kMinViewMode && n <= kMaxViewMode;
}

// The matrices of the views and the scratch values of the orbit being worked on.
struct MatrixBank {
    // Carries a point of an orbit's plane (x towards the pericentre, y 90° further along the
    // motion, z along the orbit's pole) into ecliptic axes; built by SetViewMatrix.
    Matrix3 OrbitMatrix{};
    // The view matrix of each mode (index mode + 1) and its Euler angles: the tilt about x,
    // the turn about z, and a third turn about the new z.
    std::array<Matrix3, kViewModes> ModeMatrix{};
    std::array<double, kViewModes> AngleX{}, AngleZ{}, AngleF{};
    // The pixel onto which the origin of the view falls.
    int ScreenCX = 0, ScreenCY = 0;
    // Longitude of the pericentre, of the ascending node, and the inclination of the orbit
    // that OrbitMatrix is to describe (set them, then SetViewMatrix).
    double OrbitPeri = 0, OrbitNode = 0, OrbitIncl = 0;
    // The result of the last perspective divide: the point lay in front of the eye.
    bool InFront = false;

    double& ModeAngleX(int n) { return AngleX[n + 1]; }
    double& ModeAngleZ(int n) { return AngleZ[n + 1]; }
    double& ModeAngleF(int n) { return AngleF[n + 1]; }
    double ModeAngleX(int n) const { return AngleX[n + 1]; }
    double ModeAngleZ(int n) const { return AngleZ[n + 1]; }
    double ModeAngleF(int n) const { return AngleF[n + 1]; }
    const Matrix3& Mode(int n) const { return ModeMatrix[n + 1]; }
};

// The z-x-z Euler rotation: first phi about z, then theta about the new x, then psi about the
// new z; it takes ecliptic axes into the turned axes.
Matrix3 EulerMatrix(double theta, double phi, double psi);

// Rebuilds the view matrix of mode n from its three angles. A mode outside -1..22 is refused
// (false) and nothing changes.
bool SetRotationMatrixN(MatrixBank& bank, int n);

// Builds OrbitMatrix from OrbitPeri, OrbitNode and OrbitIncl: its first column is the unit
// vector towards the pericentre, its second the one 90° further along the orbit.
void SetViewMatrix(MatrixBank& bank);

// (x, y, z) := the view matrix of mode n times (x, y, z). A mode outside -1..22 is refused
// (false) and the point stays as it was.
bool ApplyRotationN(const MatrixBank& bank, int n, double& x, double& y, double& z);

// (x, y, z) := m times (x, y, z).
void ApplyMatrix3(const Matrix3& m, double& x, double& y, double& z);

// The perspective of an eye at distance d on the view's z axis (d in the units of x, y, z):
// while z + 1 < d, x and y are scaled by d / (d - z) and InFront is set; otherwise they stay
// and InFront is cleared (the + 1 keeps the divisor at least 1).
void PerspectiveDivide(MatrixBank& bank, double& x, double& y, double z, double d);

// A point of the orbit in OrbitMatrix, given in polar form in the orbit's plane (r, and the
// angle from the pericentre): into ecliptic axes, turned by the view of mode n, divided when
// `perspective` is set, then shifted to the screen (sx = ScreenCX - x, sy = ScreenCY + y). z is
// the turned depth, not divided. A mode outside -1..22 is refused (false).
bool ProjectPoint3D(MatrixBank& bank, int n, bool perspective, double d, double angle, double r,
                    double& sx, double& sy, double& z);

} // namespace qor
