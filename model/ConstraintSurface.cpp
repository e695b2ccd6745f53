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
    cachedMesh = Mesh();
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
// 32 rulings of 41 points, 33 circles of 61 points, a skin of 60 x 60 quads.
constexpr int rulingCount = 32, rulingPoints = 41;
constexpr int circleCount = 33, circlePoints = 61;
constexpr int skinSteps = 60;

void append(std::vector<float> &out, const Point &p) {
    out.push_back(static_cast<float>(p.x()));
    out.push_back(static_cast<float>(p.y()));
    out.push_back(static_cast<float>(p.z()));
}

void drawStrips(const std::vector<float> &points, int strips, int pointsPerStrip) {
    glVertexPointer(3, GL_FLOAT, 0, points.data());
    for (int j = 0; j < strips; ++j)
        glDrawArrays(GL_LINE_STRIP, j * pointsPerStrip, pointsPerStrip);
}
} // namespace

const ConstraintSurface::Mesh &ConstraintSurface::mesh() const {
    Mesh &m = cachedMesh;
    if (!m.skin.empty())
        return m;
    const double pi = 3.1415926;
    m.rulings.reserve(3 * rulingCount * rulingPoints);
    for (int j = 0; j < rulingCount; ++j) {
        const double alpha = 2.0 * pi * j / rulingCount;
        for (int k = 0; k < rulingPoints; ++k)
            append(m.rulings, pointAt(tMax - k * (tMax - tMin) / (rulingPoints - 1), alpha));
    }
    m.circles.reserve(3 * circleCount * circlePoints);
    for (int j = 0; j < circleCount; ++j) {
        const double t = tMax - j * (tMax - tMin) / (circleCount - 1);
        for (int k = 1; k <= circlePoints; ++k)
            append(m.circles, pointAt(t, k * 0.15707963));
    }
    m.skin.reserve(6 * 4 * skinSteps * skinSteps);
    for (int i = 0; i < skinSteps; ++i) {
        const double a0 = 2.0 * pi * i / skinSteps, a1 = 2.0 * pi * (i + 1) / skinSteps;
        for (int j = 0; j < skinSteps; ++j) {
            const double t0 = tMin + (tMax - tMin) * j / skinSteps;
            const double t1 = tMin + (tMax - tMin) * (j + 1) / skinSteps;
            const Point corners[4] = {pointAt(t0, a0), pointAt(t0, a1), pointAt(t1, a1),
                                      pointAt(t1, a0)};
            // Facet normal from the two diagonals, the same at all four corners.
            const Point &p00 = corners[0], &p10 = corners[1], &p11 = corners[2], &p01 = corners[3];
            const double ux = p11.x() - p00.x(), uy = p11.y() - p00.y(), uz = p11.z() - p00.z();
            const double vx = p01.x() - p10.x(), vy = p01.y() - p10.y(), vz = p01.z() - p10.z();
            const Point normal(uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx);
            for (const Point &c : corners) {
                append(m.skin, c);
                append(m.skin, normal);
            }
        }
    }
    return m;
}

// Rulings (magenta) and circles (blue) as lines, then the translucent shaded skin.
void ConstraintSurface::draw() const {
    const Mesh &m = mesh();
    glPushAttrib(GL_CURRENT_BIT | GL_LINE_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glLineWidth(0.1f);
    glColor4d(1.0, 0.0, 1.0, 1.0);
    drawStrips(m.rulings, rulingCount, rulingPoints);
    glColor4d(0.0, 0.0, 1.0, 1.0);
    drawStrips(m.circles, circleCount, circlePoints);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_NORMALIZE);
    glColor4d(0.7, 0.6, 0.9, 0.5);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 6 * sizeof(float), m.skin.data());
    glNormalPointer(GL_FLOAT, 6 * sizeof(float), m.skin.data() + 3);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(m.skin.size() / 6));
    glPopClientAttrib();
    glPopAttrib();
}
