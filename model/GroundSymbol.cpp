// GroundSymbol: the hatched triangle that marks a pivot fixed to the ground.
#include "GroundSymbol.h"

#include "ScreenLabels.h"

#include <GL/gl.h>
#include <string>

GroundSymbol::GroundSymbol() = default;

GroundSymbol::GroundSymbol(const Point &p, double size) : symbolSize(size) { setPosition(p); }

void GroundSymbol::setPosition(const Point &p) {
    location[0] = p.x();
    location[1] = p.y();
    x = p.x();
    y = p.y();
}

void GroundSymbol::draw(char label) const {
    const double h = flipped == 1 ? -symbolSize : symbolSize;
    glColor3d(1.0, 1.0, 1.0);
    glBegin(GL_TRIANGLES);
    glVertex2d(x, y);
    glVertex2d(x + h / 2.0, y - h);
    glVertex2d(x - h / 2.0, y - h);
    glEnd();
    glColor3d(0.0, 0.0, 0.0);
    glLineWidth(1);
    glBegin(GL_LINE_LOOP);
    glVertex2d(x, y);
    glVertex2d(x + h / 2.0, y - h);
    glVertex2d(x - h / 2.0, y - h);
    glEnd();
    glBegin(GL_LINES);
    for (int k = 0; k < 5; ++k) {
        glVertex2d(x + h / 2.0 - k * h / 5.0, y - h);
        glVertex2d(x + h / 2.0 - (k + 1) * h / 5.0, y - 1.2 * h);
    }
    glEnd();
    if (label == ' ')
        return;
    // Under the hatching (over it when flipped), its capital nearly half the symbol high.
    ScreenLabels::Style style;
    style.capHeight = 0.45 * symbolSize;
    style.capInPixels = false;
    ScreenLabels::write(std::string(1, label), x - 0.15 * symbolSize,
                        y - 0.2 * symbolSize - 0.7 * h, style);
}
