// Link: the bar between two pivots, its length and direction, and its two drawing styles.
#include "Link.h"

#include "ProcessValues.h"

#include <GL/gl.h>
#include <cmath>

Link::Link() = default;

Link::Link(const Point &a, const Point &b) { setEnds(a, b); }

void Link::setEnds(const Point &a, const Point &b) {
    start[0] = a.x();
    start[1] = a.y();
    end[0] = b.x();
    end[1] = b.y();
    width = 0.06;
    angle = std::atan2(b.y() - a.y(), b.x() - a.x()) * 180.0 / PI;
    length = getLength();
}

double Link::getLength() const {
    const double dx = end.x() - start.x(), dy = end.y() - start.y();
    return std::sqrt(dx * dx + dy * dy);
}

double Link::getAngle() {
    angle = std::atan2(end.y() - start.y(), end.x() - start.x()) * 180.0 / PI;
    return angle;
}

// ---- Drawing ---------------------------------------------------------------------------------

// A bar of the link's width (scaled) from start to end, as a filled quadrilateral.
void Link::drawBar(double r, double g, double b, double widthScale) const {
    const double dx = end.x() - start.x(), dy = end.y() - start.y();
    const double len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 0.0))
        return;
    const double hw = 0.5 * width * widthScale;
    const double nx = -dy / len * hw, ny = dx / len * hw;
    glColor3d(r, g, b);
    glBegin(GL_QUADS);
    glVertex2d(start.x() + nx, start.y() + ny);
    glVertex2d(end.x() + nx, end.y() + ny);
    glVertex2d(end.x() - nx, end.y() - ny);
    glVertex2d(start.x() - nx, start.y() - ny);
    glEnd();
}

void Link::draw() const { drawBar(0.3, 0.3, 0.3, 1.5); }

// Picked dyads stand out in orange and a little wider.
void Link::drawHighlighted() const { drawBar(1.0, 0.55, 0.0, 2.5); }
