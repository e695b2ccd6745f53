// Line: one blue segment between two points.
#include "Line.h"

#include <GL/gl.h>

Line::Line(const Point &start, const Point &e) : Shape(start, false), end(planarPoint(e)) {}

void Line::setEnds(const Point &start, const Point &e) {
    location = planarPoint(start);
    end = planarPoint(e);
}

void Line::draw() const {
    glLineWidth(1);
    glColor3d(0.0, 0.0, 1.0);
    glBegin(GL_LINES);
    glVertex2d(location.x(), location.y());
    glVertex2d(end.x(), end.y());
    glEnd();
}
