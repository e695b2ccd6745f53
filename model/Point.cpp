// Point: the numeric value type, and the planar kinematic mapping between poses and image space.
#include "Point.h"

#include "FrameGlyph.h"

#include "ProcessValues.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdio>
#include <string>

Point::Point() : Point(3) {}

Point::Point(int n) : dim(n < 0 ? 0 : n), coords(new double[n < 0 ? 0 : n]()) {}

Point::Point(double x, double y) : Point(2) {
    coords[0] = x;
    coords[1] = y;
}

Point::Point(double x, double y, double z) : Point(3) {
    coords[0] = x;
    coords[1] = y;
    coords[2] = z;
}

Point::Point(float x, float y, float v) : Point(3) {
    coords[0] = x;
    coords[1] = y;
    auxValue = v;
    auxWeight = 1.0f;
}

Point::Point(float x, float y, float z, float v) : Point(3) {
    coords[0] = x;
    coords[1] = y;
    coords[2] = z;
    auxValue = v;
    auxWeight = 1.0f;
}

// A copy carries coordinates and parameter; the display values stay with the original.
Point::Point(const Point &other) : Point(other.dim) {
    for (int i = 0; i < dim; ++i)
        coords[i] = other.coords[i];
    parameter = other.parameter;
}

Point &Point::operator=(const Point &other) {
    if (this == &other)
        return *this;
    if (dim != other.dim)
        abortOnInvariant("Error\n");
    for (int i = 0; i < dim; ++i)
        coords[i] = other.coords[i];
    parameter = other.parameter;
    return *this;
}

double &Point::operator[](int i) {
    if (i < 0 || i >= dim)
        abortOnInvariant("Error\n");
    return coords[i];
}

double Point::operator[](int i) const {
    if (i < 0 || i >= dim)
        abortOnInvariant("Error\n");
    return coords[i];
}

Point Point::operator/(double s) const {
    if (s == 0.0)
        abortOnInvariant("Error\n");
    Point result(dim);
    for (int i = 0; i < dim; ++i)
        result.coords[i] = coords[i] / s;
    result.parameter = parameter;
    return result;
}

double Point::distance(const Point &other) const {
    return distance(other.x(), other.y());
}

double Point::distance(double px, double py) const {
    const double dy = y() - py;
    const double dx = x() - px;
    return std::sqrt(dy * dy + dx * dx);
}

Point Point::midpoint(const Point &other) const {
    return Point((x() + other.x()) / 2.0, (y() + other.y()) / 2.0, 0.0);
}

// Pose (x, y, theta in radians) to image space: the half-angle quaternion-like coordinates
// Z3 = sin(theta/2), Z4 = cos(theta/2) and the translation rotated back by half the angle.
Point Point::toImage() const {
    if (dim != 3)
        abortOnInvariant("Error\n");
    const double s = std::sin(coords[2] / 2.0);
    const double c = std::cos(coords[2] / 2.0);
    Point image(4);
    image.coords[0] = 0.5 * (coords[0] * c + coords[1] * s);
    image.coords[1] = 0.5 * (coords[1] * c - coords[0] * s);
    image.coords[2] = s;
    image.coords[3] = c;
    image.parameter = parameter;
    return image;
}

// Image space to pose. An image point and its negative are the same pose, so the point is
// normalised to Z3^2 + Z4^2 = 1 with Z4 >= 0 first; theta then comes out in [-pi, pi].
Point Point::toCartesian() const {
    if (dim != 4)
        abortOnInvariant("Error\n");
    Point pose(3);
    pose.parameter = parameter;
    double n = std::sqrt(coords[3] * coords[3] + coords[2] * coords[2]);
    if (!(n > 0.0))
        return pose;
    if (coords[3] < 0.0)
        n = -n;
    const double z1 = coords[0] / n, z2 = coords[1] / n, z3 = coords[2] / n, z4 = coords[3] / n;
    pose.coords[0] = 2.0 * (z4 * z1 - z3 * z2);
    pose.coords[1] = 2.0 * (z4 * z2 + z3 * z1);
    // atan2 of (sin theta, cos theta) is the arccos of the textbook form without its rounding
    // trouble near +-1, and carries the sign of 2*Z3*Z4 by itself.
    pose.coords[2] = std::atan2(2.0 * z3 * z4, z4 * z4 - z3 * z3);
    return pose;
}

Point toImage(const Point &pose) { return pose.toImage(); }
Point toCartesian(const Point &image) { return image.toCartesian(); }

// ---- Drawing ---------------------------------------------------------------------------------

void Point::drawCircleMarker() const {
    glLineWidth(2);
    glBegin(GL_LINE_LOOP);
    for (int k = 0; k < 360; ++k) {
        const double a = k * 3.142 / 180.0;
        glVertex2d(x() + 0.5 * std::cos(a), y() + 0.5 * std::sin(a));
    }
    glEnd();
    glBegin(GL_LINES);
    glVertex2d(x() + 0.5 * std::cos(0.0), y() + 0.5 * std::sin(0.0));
    glVertex2d(x() + 0.5 * std::cos(3.142), y() + 0.5 * std::sin(3.142));
    glVertex2d(x() + 0.5 * std::cos(4.713), y() + 0.5 * std::sin(4.713));
    glVertex2d(x() + 0.5 * std::cos(1.571), y() + 0.5 * std::sin(1.571));
    glEnd();
}

void Point::drawPositionFrame(int index) const {
    glLineWidth(2);
    glPushMatrix();
    glTranslated(x(), y(), 0.0);
    glRotated(z(), 0.0, 0.0, 1.0);
    frameglyph::filledPentagon(1.0, 1.0, 1.0);
    frameglyph::axes();
    // Any index fits: the label is built as a string, not in a fixed buffer.
    frameglyph::label(std::to_string(index));
    glPopMatrix();
}
