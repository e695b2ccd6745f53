// The prismatic-revolute dyad: a slider on a ground line carrying the revolute moving pivot.
#pragma once

#include "Dyad.h"

class LinearDimension;

class PR : public Dyad {
public:
    // A prototype: zero points, empty name.
    PR();
    // From the synthesis engine: pose (x, y, theta degrees); the ground line
    // a*x + b*y + c/2 = 0; moving pivot (d, e) in moving-frame coordinates; an integer tag;
    // g1 ... g5 the numbers of its constraint surface (fixed pivot g1, g2, length g3, and the
    // moving-frame pivot g4, g5 in the polar form of ConstraintSurface).
    PR(const Point &pose, double a, double b, double c, double d, double e, int tag, double g1,
       double g2, double g3, double g4, double g5);
    // Drawn by the user: slider start (fx, fy), moving pivot (mx, my), moving frame pose.
    PR(double fx, double fy, double mx, double my, double x, double y, double thetaDeg);
    ~PR() override;

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
    QString typeName() const override { return QStringLiteral("PR"); }
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
    void drawJoints() override;
    void drawAtPose(const Point &pose) override;
    void draw() override;

    // Ground line y = slope*x + intercept, set only when |b| >= 0.0001 (synthesized dyads).
    bool hasLineEquation() const { return lineEquationSet; }
    double getLineSlope() const { return lineSlope; }
    double getLineIntercept() const { return lineIntercept; }
    // Direction of the ground line (degrees).
    double getLineAngle() const { return lineAngle; }
    // The slider's oscillation for step(): displacement mean + amplitude*sin(phase).
    double getSlideMean() const { return slideMean; }
    double getSlidePhase() const { return slidePhase; }   // degrees
    double getSlideAmplitude() const { return slideAmplitude; }
    void setSlideMotion(double mean, double amplitude, double phaseDeg);
    int getTag() const { return tag; }
    // The synthesis numbers: ground line (a, b, c) and moving-frame pivot (d, e).
    double synthA() const { return a; }
    double synthB() const { return b; }
    double synthC() const { return c; }
    double synthD() const { return d; }
    double synthE() const { return e; }
    // The link-length label draw() writes when dimensions are shown, made from the unit letter
    // and significant digits as they are now.
    LinearDimension lengthDimension() const;
    // The length label of the full input preview, from (x1, y1) to (x2, y2), made the same way.
    static LinearDimension previewLengthDimension(double x1, double y1, double x2, double y2);

private:
    void placeJoints();
    void drawDimensions() const;

    double a = 0.0, b = 0.0, c = 0.0, d = 0.0, e = 0.0;
    int tag = 0;
    double g[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
    bool lineEquationSet = false;
    double lineSlope = 0.0;
    double lineIntercept = 0.0;
    double lineAngle = 0.0;        // degrees
    double slideMean = 0.0;
    double slidePhase = 0.0;       // degrees
    double slideAmplitude = 0.0;
};
