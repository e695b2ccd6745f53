// Rectangle2D: slider blocks and guides, outlined, translucent or white with a black rim.
#include "Rectangle2D.h"

#include "ProcessValues.h"

#include <GL/gl.h>
#include <cmath>

Rectangle2D::Rectangle2D(const Point &centre, bool f, double w, double h, double a)
    : Shape(centre, f), width(w < 0.0 ? 0.0 : w), height(h < 0.0 ? 0.0 : h), angle(a) {}

void Rectangle2D::setCentre(double x, double y) {
    location[0] = x;
    location[1] = y;
}

// The four corners about the origin of the current matrix, along x for width.
void Rectangle2D::outline(double lineWidth) const {
    const double hw = width / 2.0, hh = height / 2.0;
    glLineWidth(static_cast<GLfloat>(lineWidth));
    glColor3d(0.0, 0.0, 0.0);
    glBegin(GL_LINE_LOOP);
    glVertex2d(-hw, -hh);
    glVertex2d(hw, -hh);
    glVertex2d(hw, hh);
    glVertex2d(-hw, hh);
    glEnd();
}

namespace {
void quad(double hw, double hh) {
    glBegin(GL_QUADS);
    glVertex2d(-hw, -hh);
    glVertex2d(hw, -hh);
    glVertex2d(hw, hh);
    glVertex2d(-hw, hh);
    glEnd();
}
} // namespace

void Rectangle2D::draw() const {
    glPushMatrix();
    glTranslated(location.x(), location.y(), 0.0);
    glRotated(angle, 0.0, 0.0, 1.0);
    if (whiteFill) {
        glColor3d(1.0, 1.0, 1.0);
        quad(width / 2.0, height / 2.0);
        outline(5);
    } else if (filled) {
        glPushAttrib(GL_COLOR_BUFFER_BIT);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4d(0.8, 0.8, 0.8, 0.75);
        quad(width / 2.0, height / 2.0);
        glPopAttrib();
    } else {
        outline(5);
    }
    glPopMatrix();
}

void Rectangle2D::drawAtPose(const Point &pose) const {
    glPushMatrix();
    glTranslated(pose.x(), pose.y(), 0.0);
    glRotated(pose.dimension() > 2 ? pose.z() : 0.0, 0.0, 0.0, 1.0);
    glColor3d(1.0, 1.0, 1.0);
    quad(width / 2.0, height / 2.0);
    outline(5);
    glPopMatrix();
}

void Rectangle2D::drawGuideAtPose(const Point &pose) const {
    drawAtPose(pose);
    glPushMatrix();
    glTranslated(pose.x(), pose.y(), 0.0);
    glRotated(pose.dimension() > 2 ? pose.z() : 0.0, 0.0, 0.0, 1.0);
    glLineWidth(5);
    glColor3d(0.0, 0.0, 0.0);
    glBegin(GL_LINES);
    glVertex2d(-width / 2.0, -height / 2.0);
    glVertex2d(-width / 2.0, -height);
    glVertex2d(width / 2.0, -height / 2.0);
    glVertex2d(width / 2.0, -height);
    glEnd();
    glPopMatrix();
}
