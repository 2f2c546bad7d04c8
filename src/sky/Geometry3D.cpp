#include "sky/Geometry3D.h"

#include <cmath>

namespace qor {

Matrix3 EulerMatrix(double theta, double phi, double psi) {
    const double ct = std::cos(theta), st = std::sin(theta);
    const double cf = std::cos(phi), sf = std::sin(phi);
    const double cp = std::cos(psi), sp = std::sin(psi);
    return {cf * cp - ct * sf * sp,
            sf * cp + ct * cf * sp,
            st * sp,
            -cf * sp - ct * sf * cp,
            -sf * sp + ct * cf * cp,
            st * cp,
            st * sf,
            -st * cf,
            ct};
}

bool SetRotationMatrixN(MatrixBank& bank, int n) {
    if (!IsViewMode(n)) return false;
    bank.ModeMatrix[n + 1] =
        EulerMatrix(bank.ModeAngleX(n), bank.ModeAngleZ(n), bank.ModeAngleF(n));
    return true;
}

void SetViewMatrix(MatrixBank& bank) {
    bank.OrbitMatrix =
        EulerMatrix(-bank.OrbitIncl, bank.OrbitNode - bank.OrbitPeri, -bank.OrbitNode);
}

void ApplyMatrix3(const Matrix3& m, double& x, double& y, double& z) {
    const double x0 = x, y0 = y, z0 = z;
    x = m[0] * x0 + m[1] * y0 + m[2] * z0;
    y = m[3] * x0 + m[4] * y0 + m[5] * z0;
    z = m[6] * x0 + m[7] * y0 + m[8] * z0;
}

bool ApplyRotationN(const MatrixBank& bank, int n, double& x, double& y, double& z) {
    if (!IsViewMode(n)) return false;
    ApplyMatrix3(bank.Mode(n), x, y, z);
    return true;
}

void PerspectiveDivide(MatrixBank& bank, double& x, double& y, double z, double d) {
    bank.InFront = z + 1 < d;
    if (!bank.InFront) return;
    const double k = d / (d - z);
    x *= k;
    y *= k;
}

bool ProjectPoint3D(MatrixBank& bank, int n, bool perspective, double d, double angle, double r,
                    double& sx, double& sy, double& z) {
    if (!IsViewMode(n)) return false;
    double x = r * std::cos(angle), y = r * std::sin(angle);
    z = 0;
    ApplyMatrix3(bank.OrbitMatrix, x, y, z);
    ApplyRotationN(bank, n, x, y, z);
    if (perspective) PerspectiveDivide(bank, x, y, z, d);
    sx = bank.ScreenCX - x;
    sy = bank.ScreenCY + y;
    return true;
}

} // namespace qor
