// Gripper: the pentagon marker of a moving-frame position, with its axes and number.
#include "Gripper.h"

#include "FrameGlyph.h"

#include <GL/gl.h>

// Larger numbers than two digits are written in full: a label is never cut.
Gripper::Gripper(const Point &pose, int s, int n)
    : Shape(pose, false), style(s), angle(pose.dimension() > 2 ? pose.z() : 0.0), number(n),
      label(std::to_string(n)) {}

void Gripper::draw() const {
    glPushMatrix();
    glTranslated(location.x(), location.y(), 0.0);
    glRotated(angle, 0.0, 0.0, 1.0);
    glLineWidth(2);
    switch (style) {
    case 1:
        glPushAttrib(GL_LINE_BIT);
        glEnable(GL_LINE_STIPPLE);
        glLineStipple(1, 0xAAAA);
        glColor3d(0.0, 0.0, 0.0);
        glBegin(GL_LINE_STRIP);
        frameglyph::pentagonVertices();
        glEnd();
        glPopAttrib();
        break;
    case 2:
        frameglyph::filledPentagon(0.8, 0.8, 0.8);
        frameglyph::axes();
        break;
    case 3:
        frameglyph::filledPentagon(0.8, 0.8, 0.0);
        frameglyph::axes();
        break;
    default:
        frameglyph::filledPentagon(1.0, 1.0, 1.0);
        break;
    }
    if (number > 0)
        frameglyph::label(label);
    glPopMatrix();
}
