// The revolute-revolute dyad: a crank of fixed length turning about a ground pivot.
#pragma once

#include "Dyad.h"

class GroundSymbol;
class LinearDimension;

class RR : public Dyad {
public:
    // A prototype: zero points, no surface, empty name.
    RR();
    // From the synthesis engine: pose (x, y, theta degrees), fixed pivot (a, b), radius R,
    // moving pivot (d, e) in moving-frame coordinates, an integer tag (not read).
    RR(const Point &pose, double a, double b, double R, double d, double e, int tag);
    // Drawn by the user: fixed pivot (fx, fy), moving pivot (mx, my) in the fixed frame and the
    // moving frame's pose (x, y, theta degrees). The moving-frame pivot follows from setPose.
    RR(double fx, double fy, double mx, double my, double x, double y, double thetaDeg);
    ~RR() override;

    void refreshSurface() override;
    void resetToReference() override;
    void setPose(const Point &pose) override;
    void commitGeometry() override;
    void step() override;
    void setConfiguration(double v, double w) override;
    double currentInput() const override;
    double pivotDirection() const override;
    void drawInputPreview(double x1, double y1, double x2, double y2) override;
    void drawInputPreviewFull(double x1, double y1, double x2, double y2,
                              double thetaDeg) override;
    QString typeName() const override { return QStringLiteral("RR"); }
    void updateLocalPivot(const Point &pose) override;
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
    void drawSurface(const Point &pose) override;
    void drawSurfaceAlways() override;
    void drawJoints() override;
    void draw() override;

    double getCrankLength() const { return crankLength; }
    double getCrankAngle() const { return crankAngle; }   // degrees
    int getTag() const { return tag; }
    // The numbers the dyad was synthesized from: fixed pivot (a, b), radius R, moving-frame
    // pivot (d, e). A user-drawn RR records its pivots and radius here too.
    double synthA() const { return a; }
    double synthB() const { return b; }
    double synthR() const { return R; }
    double synthD() const { return d; }
    double synthE() const { return e; }
    // The link-length label draw() writes when dimensions are shown, made from the unit letter
    // and significant digits as they are now.
    LinearDimension lengthDimension() const;
    // The length label of the full input preview, from (x1, y1) to (x2, y2), made the same way.
    static LinearDimension previewLengthDimension(double x1, double y1, double x2, double y2);

private:
    void placeCrankFromPivots();
    void placeSymbols();
    void drawDimensions() const;

    double a = 0.0, b = 0.0, R = 0.0, d = 0.0, e = 0.0;
    int tag = 0;
    double crankLength = 0.0;
    double crankAngle = 0.0;   // degrees
    std::unique_ptr<GroundSymbol> groundSymbol;
};
