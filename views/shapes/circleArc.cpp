// circleArc: a blue polyline along a circle between two angles.
#include "circleArc.h"

#include "ProcessValues.h"

#include <GL/gl.h>
#include <cmath>

circleArc::circleArc(const Point &centre, double s, double e, double r)
    : Shape(centre, false), radius(r), startAngle(s), endAngle(e) {}

void circleArc::draw() const {
    // An empty or reversed sweep draws nothing (the step would not advance towards the end).
    if (!(endAngle > startAngle))
        return;
    const double stepDeg = (endAngle - startAngle) / 40.0;
    glLineWidth(0.5);
    glColor3d(0.0, 0.0, 1.0);
    glPushMatrix();
    glRotated(location.z(), 0.0, 0.0, 1.0);
    glBegin(GL_LINE_STRIP);
    // Counted steps instead of an accumulated angle, so the last point is exactly endAngle.
    for (int k = 0; k <= 40; ++k) {
        const double a = PI * (startAngle + k * stepDeg) / 180.0;
        glVertex2d(location.x() + radius * std::cos(a), location.y() + radius * std::sin(a));
    }
    glEnd();
    glPopMatrix();
}
