// The revolute-prismatic dyad: a block turning about a ground pivot, a line of the moving body
// sliding through it.
#pragma once

#include "Dyad.h"

class GroundSymbol;

// The line passes through the fixed pivot; the moving pivot is a short handle (0.0001 for a
// synthesized dyad, 0.001 for a drawn one) off the fixed pivot along the line's normal, so
// the direction fixed pivot -> moving pivot is the line's normal and blockAngle (degrees) is
// the line's direction: normal = blockAngle + 90.
class RP : public Dyad {
public:
    // A prototype: zero points, empty name.
    RP();
    // From the synthesis engine: pose (x, y, theta degrees), fixed pivot (fx, fy) and the line
    // l1*X + l2*Y + l3 = 0 in moving-frame coordinates. h is accepted and not used.
    RP(const Point &pose, double fx, double fy, double l1, double l2, double l3, double h);
    // Drawn by the user: fixed pivot (p1, p2), a point (p3, p4) on the line, which is also the
    // pose's position, and the moving frame's position (p5, p6). p7 is not used.
    RP(double p1, double p2, double p3, double p4, double p5, double p6, double p7);
    ~RP() override;

    void refreshSurface() override;
    void resetToReference() override;
    void setPose(const Point &pose) override;
    void commitGeometry() override;
    void step() override;
    void setConfiguration(double v, double w) override;
    double currentInput() const override;
    double secondaryAngle() const override;
    double pivotDirection() const override;
    void drawInputPreview(double x1, double y1, double x2, double y2) override;
    void drawInputPreviewFull(double x1, double y1, double x2, double y2,
                              double thetaDeg) override;
    QString typeName() const override { return QStringLiteral("RP"); }
    void setBlockAngle(double angleDeg) override;
    void updateLocalPivot(const Point &pose) override;
    void relocateFixedPivot(const Point &p) override;
    QString parameterName1() const override;
    QString parameterName2() const override;
    QString parameterName3() const override;
    QString parameterName4() const override;
    QString parameterName5() const override;
    double parameter1() const override;
    double parameter2() const override;
    double parameter3() const override;
    double parameter4() const override;
    double parameter5() const override;
    void drawJoints() override;
    void drawAtPose(const Point &pose) override;
    void draw() override;

    // Direction of the line through the block (degrees).
    double getBlockAngle() const { return blockAngle; }
    // The line in moving-frame coefficients l1*X + l2*Y + l3 = 0.
    double getL1() const { return l1; }
    double getL2() const { return l2; }
    double getL3() const { return l3; }
    // The same line in the fixed frame A*x + B*y + C = 0, for the pose last built or set.
    double getLineA() const { return A; }
    double getLineB() const { return B; }
    double getLineC() const { return C; }
    double getLineSlope() const { return lineSlope; }
    // The fixed pivot's numbers in the moving frame (from updateLocalPivot).
    double getFixedPivotLocalX() const { return fixedPivotLocalX; }
    double getFixedPivotLocalY() const { return fixedPivotLocalY; }

    static constexpr double synthesizedHandle = 0.0001;
    static constexpr double drawnHandle = 0.001;

private:
    void placeJoints();
    void commitReference();
    void placeHandle(double length);
    void lineToMovingFrame(const Point &pose);

    double fx = 0.0, fy = 0.0;
    double l1 = 0.0, l2 = 0.0, l3 = 0.0;
    double A = 0.0, B = 0.0, C = 0.0;
    double lineSlope = 0.0;
    double blockAngle = 0.0;   // degrees
    double blockAngleRef = 0.0;   // degrees, restored with the reference pivots
    double fixedPivotLocalX = 0.0;
    double fixedPivotLocalY = 0.0;
    std::unique_ptr<GroundSymbol> groundSymbol;
};
