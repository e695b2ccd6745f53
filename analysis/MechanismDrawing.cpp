// Drawing of the four-bar in the Cartesian view: the coupler body, the coupler curve pieces,
// the input-motion arrow, the joint glyphs by pair kind and the moving frame.
#include "Mechanism.h"

#include "ArrowMotion2D.h"
#include "Circle2D.h"
#include "Dyad.h"
#include "Link.h"
#include "LinearDimension.h"
#include "ProcessValues.h"
#include "Rectangle2D.h"

#include <GL/gl.h>

namespace {

constexpr double pinRadius = 0.1;
constexpr double blockSize = 0.5;
constexpr double guideLength = 0.8;
constexpr double frameAxisLength = 0.6;

Point pointOf(const Vec2 &v) { return Point(v.x, v.y, 0.0); }

Vec2 vecOf(const Point &p) { return {p[0], p[1]}; }

void drawPin(const Vec2 &at) { Circle2D(pointOf(at), false, pinRadius).draw(); }

// A slider on a ground guide, along the slide direction.
void drawGuide(const Vec2 &at, double slideDeg) {
    Rectangle2D guide(pointOf(at), false, guideLength, blockSize, slideDeg);
    guide.drawGuideAtPose(Point(at.x, at.y, slideDeg));
}

// A block turned with the coupler's line, the line's normal given.
void drawBlock(const Vec2 &at, double normalDeg) {
    Rectangle2D block(pointOf(at), false, blockSize, blockSize, normalDeg);
    block.drawAtPose(Point(at.x, at.y, normalDeg));
}

// The coupler's line through an RP block and the arm that joins it to the point `from` fixed in
// the coupler: the foot of `from` on the line, and the line on past the block.
void drawLineArm(const Vec2 &from, const Vec2 &block, double normalDeg) {
    const Vec2 n = Vec2::unitDeg(normalDeg);
    const Vec2 foot = from + n * (block - from).dot(n);
    const Vec2 along = n.perp();
    const double past = (block - foot).dot(along) >= 0.0 ? 1.0 : -1.0;
    Link(pointOf(from), pointOf(foot)).draw();
    Link(pointOf(foot), pointOf(block + along * past)).draw();
}

void drawDyadSide(const Dyad *d, const Vec2 &coupled) {
    const Vec2 fixed = vecOf(d->fixedPivotCopy());
    const Vec2 moving = vecOf(d->movingPivotCopy());
    const QString kind = d->typeName();
    if (kind == QLatin1String("PR")) {
        drawGuide(moving, d->getLinkAngle());
        drawPin(moving);
    } else if (kind == QLatin1String("RP")) {
        drawLineArm(coupled, moving, (moving - fixed).angleDeg());
        drawBlock(moving, d->secondaryAngle());
    } else {
        drawPin(moving);
    }
}

} // namespace

bool Mechanism::pivotsFinite() const {
    for (const Dyad *d : {inputDyad, outputDyad})
        if (!vecOf(d->fixedPivotCopy()).isFinite() || !vecOf(d->movingPivotCopy()).isFinite())
            return false;
    return true;
}

void Mechanism::draw() const {
    if (isSet() && pivotsFinite()) {
        drawCouplerBody();
        drawCurves();
        drawInputArrow();
        drawJointGlyphs();
    }
    if (coupler.hasCouplerPoint())
        drawMovingFrame();
}

void Mechanism::drawCouplerBody() const {
    const Vec2 a = coupler.start(), b = coupler.end();
    const Point c = coupler.couplerPoint();
    const bool withPoint = coupler.hasCouplerPoint();
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_LINE_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4d(0.8, 0.8, 0.8, 0.5);
    glBegin(GL_POLYGON);
    glVertex2d(a.x, a.y);
    glVertex2d(b.x, b.y);
    if (withPoint)
        glVertex2d(c[0], c[1]);
    glEnd();
    glColor3d(0.0, 0.0, 0.0);
    glLineWidth(2.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2d(a.x, a.y);
    glVertex2d(b.x, b.y);
    if (withPoint)
        glVertex2d(c[0], c[1]);
    glEnd();
    glPopAttrib();
    if (!showDimensions)
        return;
    for (const LinearDimension &side : couplerDimensions())
        side.draw();
}

std::vector<LinearDimension> Mechanism::couplerDimensions() const {
    const Vec2 a = coupler.start(), b = coupler.end();
    const Point c = coupler.couplerPoint();
    const bool withPoint = coupler.hasCouplerPoint();
    const Vec2 corners[3] = {a, b, withPoint ? Vec2(c[0], c[1]) : a};
    std::vector<LinearDimension> sides;
    for (int k = 0; k < (withPoint ? 3 : 1); ++k) {
        const Vec2 p = corners[k], q = corners[(k + 1) % 3];
        sides.emplace_back(pointOf(p), pointOf(q), (q - p).length(), (q - p).angleDeg(), 1.0,
                           unitLetter);
        sides.back().setOffset(0.3);
    }
    return sides;
}

void Mechanism::drawCurves() const {
    glPushAttrib(GL_LINE_BIT | GL_CURRENT_BIT);
    glLineWidth(2.0f);
    for (int k = 0; k < 3; ++k)
        openCurve(k).drawStrip2D(1.0, 0.0, 0.0);
    for (int k = 0; k < 3; ++k)
        crossedCurve(k).drawStrip2D(0.0, 0.0, 1.0);
    glPopAttrib();
}

void Mechanism::drawInputArrow() const {
    const Point at = inputDyad->fixedPivotCopy();
    if (inputIsSlider())
        ArrowMotion2D(Point(at[0], at[1], 0.0), true).drawDoubleHeaded(inputDyad->getLinkAngle());
    else
        ArrowMotion2D(Point(at[0], at[1], 0.0), false).draw();
}

void Mechanism::drawJointGlyphs() const {
    const Vec2 m1 = vecOf(inputDyad->movingPivotCopy());
    const QString inputKind = inputDyad->typeName();
    if (inputKind == QLatin1String("RP")) {
        // Two RPs: both lines meet at the coupler's anchor.
        drawDyadSide(inputDyad, coupler.start());
        drawDyadSide(outputDyad, coupler.start());
        return;
    }
    if (inputKind == QLatin1String("PR"))
        drawGuide(m1, inputDyad->getLinkAngle());
    drawPin(m1);
    drawDyadSide(outputDyad, m1);
}

void Mechanism::drawMovingFrame() const {
    const Point c = coupler.couplerPoint();
    glPushMatrix();
    glPushAttrib(GL_LINE_BIT | GL_CURRENT_BIT);
    glTranslated(c[0], c[1], 0.0);
    glRotated(c[2], 0.0, 0.0, 1.0);
    glLineWidth(3.0f);
    const double a = frameAxisLength, head = 0.12;
    glBegin(GL_LINES);
    glColor3d(1.0, 0.0, 0.0);
    glVertex2d(0.0, 0.0);
    glVertex2d(a, 0.0);
    glVertex2d(a, 0.0);
    glVertex2d(a - head, head / 2.0);
    glVertex2d(a, 0.0);
    glVertex2d(a - head, -head / 2.0);
    glColor3d(0.0, 0.6, 0.0);
    glVertex2d(0.0, 0.0);
    glVertex2d(0.0, a);
    glVertex2d(0.0, a);
    glVertex2d(head / 2.0, a - head);
    glVertex2d(0.0, a);
    glVertex2d(-head / 2.0, a - head);
    glEnd();
    glPopAttrib();
    glPopMatrix();
}
