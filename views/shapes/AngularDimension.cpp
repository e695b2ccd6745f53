// AngularDimension: the swept angle of a link shown as a red arc with its value.
#include "AngularDimension.h"

#include "LinearDimension.h"
#include "ProcessValues.h"
#include "ScreenLabels.h"

#include <GL/gl.h>
#include <cmath>

AngularDimension::AngularDimension(const Point &centre, double r, double s, double e)
    : Shape(centre, false), radius(r), startAngle(s), endAngle(e) {}

// The significant digits of the view keep the text short; cutting it to a fixed number of
// characters instead would show a wrong number ("-123." for -123.5).
std::string AngularDimension::valueText() const {
    return LinearDimension::numberText(endAngle - startAngle);
}

std::string AngularDimension::labelText() const {
    const std::string degrees = valueText() + "\u00B0";
    return name.empty() ? degrees : name + " = " + degrees;
}

namespace {
bool strictlyBetween(double a, double lo, double hi) { return a > lo && a < hi; }
} // namespace

void AngularDimension::drawArrowhead(double angleDeg, bool atStart) const {
    const double a = PI * angleDeg / 180.0;
    glPushMatrix();
    glTranslated(location.x() + radius * std::cos(a), location.y() + radius * std::sin(a), 0.0);
    // x along the tangent pointing into the arc, so the tip (0, 0) sits on the arc's end.
    glRotated(angleDeg + (atStart == (endAngle >= startAngle) ? 90.0 : -90.0), 0.0, 0.0, 1.0);
    glBegin(GL_TRIANGLES);
    glVertex2d(0.0, 0.0);
    glVertex2d(0.15, 0.15);
    glVertex2d(0.15, -0.15);
    glEnd();
    glPopMatrix();
}

void AngularDimension::draw() const {
    const double cx = location.x(), cy = location.y();
    const double stepDeg = (endAngle - startAngle) / 40.0;
    glPushMatrix();
    glRotated(location.z(), 0.0, 0.0, 1.0);
    glColor3d(1.0, 0.0, 0.0);
    glBegin(GL_LINE_STRIP);
    for (int k = 0; k <= 40; ++k) {
        const double a = PI * (startAngle + k * stepDeg) / 180.0;
        glVertex2d(cx + radius * std::cos(a), cy + radius * std::sin(a));
    }
    glEnd();
    drawArrowhead(startAngle, true);
    drawArrowhead(endAngle, false);

    // Text just outside the arc on the right half, further out on the left so it clears it.
    const bool rightHalf = strictlyBetween(startAngle, -90.0, 90.0) ||
                           strictlyBetween(endAngle, -90.0, 90.0);
    const double textRadius = radius + (rightHalf ? 0.3 : 1.0);
    double along = 0.5;
    if (strictlyBetween(endAngle, 0.0, 90.0) || strictlyBetween(endAngle, -90.0, 0.0))
        along = 0.25;
    else if (strictlyBetween(endAngle, 90.0, 180.0))
        along = 0.75;
    const double t = PI * (startAngle + along * (endAngle - startAngle)) / 180.0;
    glColor3d(0.2, 0.2, 0.2);
    ScreenLabels::Style style;
    style.capHeight = LinearDimension::labelCapPixels;
    ScreenLabels::write(labelText(), cx + textRadius * std::cos(t), cy + textRadius * std::sin(t),
                        style);
    glPopMatrix();
}
