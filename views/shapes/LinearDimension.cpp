// LinearDimension: the length label of a link, plain or with a full dimension line.
#include "LinearDimension.h"

#include "ProcessValues.h"

#include <GL/gl.h>
#include <GL/glut.h>
#include <algorithm>
#include <array>
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
// Height of the stroke font's capitals and digits, in font units.
constexpr double strokeCapHeight = 119.05;
// The full form's dimension line runs this far off the link; its value keeps this gap from it.
constexpr double dimensionLineOffset = 0.5;
constexpr double textClearance = 0.15;
} // namespace

std::string LinearDimension::numberText(double value) {
    std::ostringstream out;
    out << std::setprecision(std::clamp(significantDigits, 1, maxLabelDigits)) << value;
    return out.str();
}

double LinearDimension::strokeScaleForPixels(double capPixels) {
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Where the frame's origin and its unit step along x land in normalised device coordinates
    // (column-major matrices; the step's w is that of the origin for an affine projection).
    const auto clip = [&](double x) {
        double eye[4], out[4];
        for (int r = 0; r < 4; ++r)
            eye[r] = modelview[r] * x + modelview[12 + r];
        for (int r = 0; r < 4; ++r)
            out[r] = projection[r] * eye[0] + projection[4 + r] * eye[1] +
                     projection[8 + r] * eye[2] + projection[12 + r] * eye[3];
        return std::array<double, 2>{out[0] / out[3], out[1] / out[3]};
    };
    const std::array<double, 2> o = clip(0.0), e = clip(1.0);
    const double pixelsPerUnit = std::hypot((e[0] - o[0]) * viewport[2] / 2.0,
                                            (e[1] - o[1]) * viewport[3] / 2.0);
    if (!std::isfinite(pixelsPerUnit) || pixelsPerUnit <= 0.0)
        return 0.005;  // a degenerate frame: the font's old fixed scale
    return capPixels / (strokeCapHeight * pixelsPerUnit);
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
    glRasterPos2d(length / 2.0, 0.0);
    for (char ch : label)
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, ch);
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
// upright it is shifted by its own height, so it still grows away from the link: the value never
// sits on the link or on its dimension line, whichever way the link points.
void LinearDimension::drawFull() const {
    const double beta = angle + 90.0;   // direction of the normal n, degrees
    const double nx = std::cos(PI * beta / 180.0), ny = std::sin(PI * beta / 180.0);
    const double sx = location.x(), sy = location.y(), ex = lineEnd.x(), ey = lineEnd.y();
    const std::string text = valueText();
    const double textScale = strokeScaleForPixels(labelCapPixels);
    const double textHeight = strokeCapHeight * textScale;
    const double textWidth =
        textScale *
        glutStrokeLength(GLUT_STROKE_ROMAN, reinterpret_cast<const unsigned char *>(text.c_str()));
    const double nearEdge = std::max(offset, dimensionLineOffset + textClearance);
    const bool upsideDown = angle <= -90.0 || angle > 90.0;

    glPushAttrib(GL_LINE_BIT | GL_CURRENT_BIT);
    glPushMatrix();
    glTranslated((sx + ex) / 2.0 + nearEdge * nx, (sy + ey) / 2.0 + nearEdge * ny, 0.0);
    glRotated(upsideDown ? angle + 180.0 : angle, 0.0, 0.0, 1.0);
    glTranslated(-textWidth / 2.0, upsideDown ? -textHeight : 0.0, 0.0);
    glScaled(textScale, textScale, 1.0);
    glColor3d(0.2, 0.2, 0.2);
    glLineWidth(2);
    for (char ch : text)
        glutStrokeCharacter(GLUT_STROKE_ROMAN, ch);
    glPopMatrix();

    glColor3d(0.75, 0.0, 0.0);
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
