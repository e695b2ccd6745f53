// LinearDimension: the length label of a link, plain or with a full dimension line.
#include "LinearDimension.h"

#include "ProcessValues.h"
#include "ScreenLabels.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

LinearDimension::LinearDimension(const Point &loc, double len, double a)
    : Shape(loc, false), length(len), angle(a), offset(0.7) {}

LinearDimension::LinearDimension(const Point &start, const Point &end, double len, double a,
                                 double s, char u)
    : Shape(start, false), length(len), angle(a), offset(1.1), lineEnd(planarPoint(end)),
      scale(s), unit(u), full(true) {}

namespace {
// A stream holds no more than a double's 17 significant digits; fewer than one shows nothing.
constexpr int maxLabelDigits = 17;
// Capital height of the plain form's label, in pixels: the small print of a link's name.
constexpr double plainLabelCapPixels = 9.0;
// The full form's dimension line runs this far off the link; its value keeps this gap from it.
constexpr double dimensionLineOffset = 0.5;
constexpr double textClearance = 0.15;
} // namespace

std::string LinearDimension::numberText(double value) {
    std::ostringstream out;
    out << std::setprecision(std::clamp(significantDigits, 1, maxLabelDigits)) << value;
    return out.str();
}

std::string LinearDimension::valueText() const {
    return numberText(scale * length) + (unit == 'i' ? "in" : "m");
}

void LinearDimension::draw() const {
    if (full)
        drawFull();
    else
        drawPlain();
}

void LinearDimension::drawPlain() const {
    const double n = PI * (angle + 90.0) / 180.0;
    glPushMatrix();
    glTranslated(location.x() + offset * std::cos(n), location.y() + offset * std::sin(n), 0.0);
    glRotated(angle, 0.0, 0.0, 1.0);
    glColor3d(0.0, 0.0, 0.0);
    ScreenLabels::Style style;
    style.capHeight = plainLabelCapPixels;
    style.upright = true;
    ScreenLabels::write(label, length / 2.0, 0.0, style);
    glPopMatrix();
}

namespace {
// Filled arrowhead with its tip at (px, py), opening towards the directions a1 and a2 (deg).
void arrowHead(double px, double py, double a1, double a2) {
    glBegin(GL_TRIANGLES);
    glVertex2d(px, py);
    glVertex2d(px + 0.25 * std::cos(PI * a1 / 180.0), py + 0.25 * std::sin(PI * a1 / 180.0));
    glVertex2d(px + 0.25 * std::cos(PI * a2 / 180.0), py + 0.25 * std::sin(PI * a2 / 180.0));
    glEnd();
}
} // namespace

// The dimension line runs half a unit off the link, on the side of its left normal n. The value
// is written beyond that line on the same side, its near edge at the offset or just clear of the
// line, whichever is farther, and centred on the link's middle. When the text is turned to stay
// upright it hangs from that edge instead of standing on it, so it still grows away from the
// link: the value never sits on the link or on its dimension line, whichever way the link points.
void LinearDimension::drawFull() const {
    const double beta = angle + 90.0;   // direction of the normal n, degrees
    const double nx = std::cos(PI * beta / 180.0), ny = std::sin(PI * beta / 180.0);
    const double sx = location.x(), sy = location.y(), ex = lineEnd.x(), ey = lineEnd.y();
    const double nearEdge = std::max(offset, dimensionLineOffset + textClearance);
    const bool upsideDown = angle <= -90.0 || angle > 90.0;

    glPushAttrib(GL_LINE_BIT | GL_CURRENT_BIT);
    glPushMatrix();
    glTranslated((sx + ex) / 2.0 + nearEdge * nx, (sy + ey) / 2.0 + nearEdge * ny, 0.0);
    glRotated(upsideDown ? angle + 180.0 : angle, 0.0, 0.0, 1.0);
    glColor3d(0.2, 0.2, 0.2);
    ScreenLabels::Style style;
    style.capHeight = labelCapPixels;
    style.alongAnchor = 0.5;
    style.hangs = upsideDown;
    ScreenLabels::write(valueText(), 0.0, 0.0, style);
    glPopMatrix();

    glColor3d(0.75, 0.0, 0.0);
    glLineWidth(2);
    glBegin(GL_LINE_STRIP);
    glVertex2d(sx, sy);
    glVertex2d(sx + nx, sy + ny);
    glEnd();
    glBegin(GL_LINE_STRIP);
    glVertex2d(sx + nx / 2.0, sy + ny / 2.0);
    glVertex2d(ex + nx / 2.0, ey + ny / 2.0);
    glEnd();
    glBegin(GL_LINE_STRIP);
    glVertex2d(ex + nx, ey + ny);
    glVertex2d(ex, ey);
    glEnd();
    arrowHead(sx + nx / 2.0, sy + ny / 2.0, beta - 60.0, beta - 120.0);
    arrowHead(ex + nx / 2.0, ey + ny / 2.0, beta + 60.0, beta + 120.0);
    glPopAttrib();
}
