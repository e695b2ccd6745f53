// Circle2D: a pin drawn as a white disc with a black rim, or as a black dot when filled.
#include "Circle2D.h"

#include "ProcessValues.h"

#include <GL/gl.h>
#include <cmath>

namespace {
constexpr int circleSegments = 80;

void circleVertices(double cx, double cy, double r) {
    for (int i = 0; i < circleSegments; ++i) {
        const double a = 2.0 * PI * i / circleSegments;
        glVertex2d(cx + r * std::cos(a), cy + r * std::sin(a));
    }
}
} // namespace

Circle2D::Circle2D(const Point &centre, bool f, double r)
    : Shape(centre, f), radius(r < 0.0 ? 0.0 : r) {}

void Circle2D::setCentre(double x, double y) {
    location[0] = x;
    location[1] = y;
}

void Circle2D::draw() const {
    const double cx = location.x(), cy = location.y();
    glColor3d(1.0, 1.0, 1.0);
    glBegin(GL_POLYGON);
    circleVertices(cx, cy, radius);
    glEnd();
    glColor3d(0.0, 0.0, 0.0);
    if (filled) {
        glBegin(GL_POLYGON);
    } else {
        glLineWidth(1);
        glBegin(GL_LINE_LOOP);
    }
    circleVertices(cx, cy, radius);
    glEnd();
}
