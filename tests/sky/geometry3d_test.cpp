// The view matrices against rotations composed by ERFA, the orbit matrix against the
// classical orbit-to-ecliptic vectors (Meeus, Astronomical Algorithms, ch. 33), and the
// perspective divide at its edge.
#include "core/AstroMath.h"
#include "sky/Geometry3D.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace qor {
namespace {

// r = Rz(psi) Rx(theta) Rz(phi): phi about z first, then theta about the new x, then psi
// about the new z (ERFA's rotations turn the axes, not the point).
Matrix3 ComposedByErfa(double theta, double phi, double psi) {
    double r[3][3];
    eraIr(r);
    eraRz(phi, r);
    eraRx(theta, r);
    eraRz(psi, r);
    Matrix3 m;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[3 * i + j] = r[i][j];
    return m;
}

TEST(Geometry3D, ViewMatrixIsTheCompositionOfThreeRotations) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> angle(-2 * kPi, 2 * kPi);
    MatrixBank bank;
    for (int trial = 0; trial < 200; ++trial) {
        const int mode = trial % 24 - 1;
        const double theta = angle(rng), phi = angle(rng), psi = angle(rng);
        bank.ModeAngleX(mode) = theta;
        bank.ModeAngleZ(mode) = phi;
        bank.ModeAngleF(mode) = psi;
        ASSERT_TRUE(SetRotationMatrixN(bank, mode));
        const Matrix3 want = ComposedByErfa(theta, phi, psi);
        for (int i = 0; i < 9; ++i) ASSERT_NEAR(bank.Mode(mode)[i], want[i], 1e-14) << trial;
        // and ApplyRotationN is that matrix times the point
        double x = 0.3, y = -1.7, z = 2.5, p[3] = {0.3, -1.7, 2.5}, q[3];
        ASSERT_TRUE(ApplyRotationN(bank, mode, x, y, z));
        double r[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) r[i][j] = want[3 * i + j];
        eraRxp(r, p, q);
        EXPECT_NEAR(x, q[0], 1e-13);
        EXPECT_NEAR(y, q[1], 1e-13);
        EXPECT_NEAR(z, q[2], 1e-13);
    }
}

TEST(Geometry3D, ZeroAnglesGiveTheIdentity) {
    MatrixBank bank;
    bank.ModeMatrix.fill(Matrix3{9, 9, 9, 9, 9, 9, 9, 9, 9});
    for (int mode = -1; mode <= 22; ++mode) {
        ASSERT_TRUE(SetRotationMatrixN(bank, mode));
        EXPECT_EQ(bank.Mode(mode), (Matrix3{1, 0, 0, 0, 1, 0, 0, 0, 1})) << mode;
    }
}

TEST(Geometry3D, ModesOutsideTheViewsAreRefused) {
    MatrixBank bank;
    for (int mode : {-2, 23, 1000, -1000}) {
        EXPECT_FALSE(SetRotationMatrixN(bank, mode));
        double x = 1, y = 2, z = 3, sx = 7, sy = 8;
        EXPECT_FALSE(ApplyRotationN(bank, mode, x, y, z));
        EXPECT_EQ(x, 1);
        EXPECT_EQ(y, 2);
        EXPECT_EQ(z, 3);
        EXPECT_FALSE(ProjectPoint3D(bank, mode, true, 100, 0.5, 10, sx, sy, z));
        EXPECT_EQ(sx, 7);
        EXPECT_EQ(sy, 8);
    }
}

TEST(Geometry3D, OrbitMatrixColumnsPointToThePericentreAndAlongTheOrbit) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0, 1);
    MatrixBank bank;
    for (int trial = 0; trial < 100; ++trial) {
        const double node = 2 * kPi * u(rng), peri = 2 * kPi * u(rng), incl = kPi * u(rng);
        bank.OrbitNode = node;
        bank.OrbitPeri = peri;
        bank.OrbitIncl = incl;
        SetViewMatrix(bank);
        const double w = peri - node; // argument of the pericentre
        const double ci = std::cos(incl), si = std::sin(incl);
        const double cw = std::cos(w), sw = std::sin(w), cn = std::cos(node), sn = std::sin(node);
        // P and Q of the classical orbit in ecliptic axes
        const double P[3] = {cw * cn - sw * sn * ci, cw * sn + sw * cn * ci, sw * si};
        const double Q[3] = {-sw * cn - cw * sn * ci, -sw * sn + cw * cn * ci, cw * si};
        const Matrix3& m = bank.OrbitMatrix;
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(m[3 * i], P[i], 1e-14) << trial;
            EXPECT_NEAR(m[3 * i + 1], Q[i], 1e-14) << trial;
        }
    }
}

TEST(Geometry3D, PerspectiveDividesOnlyPointsInFrontOfTheEye) {
    MatrixBank bank;
    const double d = 1000;
    struct Case {
        double z;
        bool inFront;
        double scale;
    };
    const double below = std::nextafter(d - 1, 0.0);
    for (const Case c : {Case{d - 1, false, 1.0}, Case{below, true, d / (d - below)},
                         Case{0, true, 1.0}, Case{-1000, true, 0.5}, Case{d + 5, false, 1.0}}) {
        double x = 3, y = -4;
        bank.InFront = !c.inFront;
        PerspectiveDivide(bank, x, y, c.z, d);
        EXPECT_EQ(bank.InFront, c.inFront) << c.z;
        EXPECT_DOUBLE_EQ(x, 3 * c.scale) << c.z;
        EXPECT_DOUBLE_EQ(y, -4 * c.scale) << c.z;
    }
}

TEST(Geometry3D, ProjectedOrbitPointIsTurnedDividedAndShifted) {
    MatrixBank bank;
    bank.ScreenCX = 400;
    bank.ScreenCY = 300;
    bank.OrbitPeri = 1.1;
    bank.OrbitNode = 0.4;
    bank.OrbitIncl = 0.3;
    SetViewMatrix(bank);
    bank.ModeAngleX(7) = -1.2;
    bank.ModeAngleZ(7) = 0.35;
    SetRotationMatrixN(bank, 7);
    const double r = 120, angle = 2.2, d = 800;
    double x = r * std::cos(angle), y = r * std::sin(angle), z = 0;
    ApplyMatrix3(bank.OrbitMatrix, x, y, z);
    ApplyMatrix3(bank.Mode(7), x, y, z);
    const double k = d / (d - z);
    double sx, sy, sz;
    ASSERT_TRUE(ProjectPoint3D(bank, 7, true, d, angle, r, sx, sy, sz));
    EXPECT_NEAR(sx, 400 - x * k, 1e-9);
    EXPECT_NEAR(sy, 300 + y * k, 1e-9);
    EXPECT_NEAR(sz, z, 1e-12);
    EXPECT_TRUE(bank.InFront);
    ASSERT_TRUE(ProjectPoint3D(bank, 7, false, d, angle, r, sx, sy, sz));
    EXPECT_NEAR(sx, 400 - x, 1e-9);
    EXPECT_NEAR(sy, 300 + y, 1e-9);
}

} // namespace
} // namespace qor
