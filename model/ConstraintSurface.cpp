// ConstraintSurface: the ruled surface that a dyad's constraint cuts out of image space.
#include "ConstraintSurface.h"

#include <GL/gl.h>
#include <cmath>

void constraintSurfaceInputs(double a, double b, double R, double r, double phi, double out[5]) {
    const double rc = r * std::cos(phi), rs = r * std::sin(phi);
    out[0] = 0.5 * (a + rc);
    out[1] = 0.5 * (b - rs);
    out[2] = 0.5 * (b + rs);
    out[3] = 0.5 * (rc - a);
    out[4] = R * R / 4.0;
}

ConstraintSurface::ConstraintSurface(float a, float b, float R, float r, float phi) {
    double in[5];
    constraintSurfaceInputs(a, b, R, r, phi, in);
    setInputs(in[0], in[1], in[2], in[3], in[4]);
}

void ConstraintSurface::setInputs(double f0, double f1, double f2, double f3, double f4) {
    f[0] = f0;
    f[1] = f1;
    f[2] = f2;
    f[3] = f3;
    f[4] = f4;
    K[0] = f2;
    K[1] = f0;
    K[2] = f3;
    K[3] = f1;
    K[4] = f4;
}

// X = rho(t) cos(alpha) + K0 t + K1, Y = rho(t) sin(alpha) + K2 t + K3, Z = t, where
// rho(t) = sqrt(K4 (1 + t^2)): a circle of poses for every half-angle tangent t.
Point ConstraintSurface::pointAt(double t, double alpha) const {
    const double rho = std::sqrt(K[4] * (1.0 + t * t));
    return Point(rho * std::cos(alpha) + K[0] * t + K[1], rho * std::sin(alpha) + K[2] * t + K[3],
                 t);
}

// ---- Drawing ---------------------------------------------------------------------------------

namespace {
void vertex(const Point &p) { glVertex3d(p.x(), p.y(), p.z()); }
} // namespace

void ConstraintSurface::drawRulings() const {
    const double pi = 3.1415926;
    glColor4d(1.0, 0.0, 1.0, 1.0);
    for (int j = 0; j < 32; ++j) {
        const double alpha = 2.0 * pi * j / 32.0;
        glBegin(GL_LINE_STRIP);
        for (int k = 0; k <= 40; ++k)
            vertex(pointAt(tMax - k * (tMax - tMin) / 40.0, alpha));
        glEnd();
    }
}

void ConstraintSurface::drawCircles() const {
    glColor4d(0.0, 0.0, 1.0, 1.0);
    for (int j = 0; j <= 32; ++j) {
        const double t = tMax - j * (tMax - tMin) / 32.0;
        glBegin(GL_LINE_STRIP);
        for (int k = 1; k <= 61; ++k)
            vertex(pointAt(t, k * 0.15707963));
        glEnd();
    }
}

void ConstraintSurface::drawShaded() const {
    const int n = 60;
    const double twoPi = 2.0 * 3.1415926;
    glColor4d(0.7, 0.6, 0.9, 0.5);
    glBegin(GL_QUADS);
    for (int i = 0; i < n; ++i) {
        const double a0 = twoPi * i / n, a1 = twoPi * (i + 1) / n;
        for (int j = 0; j < n; ++j) {
            const double t0 = tMin + (tMax - tMin) * j / n, t1 = tMin + (tMax - tMin) * (j + 1) / n;
            const Point p00 = pointAt(t0, a0), p10 = pointAt(t0, a1), p11 = pointAt(t1, a1),
                        p01 = pointAt(t1, a0);
            // Facet normal from the two diagonals.
            const double ux = p11.x() - p00.x(), uy = p11.y() - p00.y(), uz = p11.z() - p00.z();
            const double vx = p01.x() - p10.x(), vy = p01.y() - p10.y(), vz = p01.z() - p10.z();
            glNormal3d(uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx);
            vertex(p00);
            vertex(p10);
            vertex(p11);
            vertex(p01);
        }
    }
    glEnd();
}

void ConstraintSurface::draw() const {
    glPushAttrib(GL_CURRENT_BIT | GL_LINE_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glLineWidth(0.1f);
    drawRulings();
    drawCircles();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_NORMALIZE);
    drawShaded();
    glPopAttrib();
}
