// A dyad: one side of a four-bar, a link with a fixed pivot on the ground and a moving pivot
// on the coupler. RR, PR and RP fill this interface.
#pragma once

#include "Link.h"
#include "Point.h"

#include <QString>
#include <memory>

class ConstraintSurface;
class Joint;

// Units: every angle at this interface is in degrees unless its name or comment says radians.
// Frames: fixedPivot, movingPivot and pose are in the fixed frame; movingPivotLocal is in the
// moving frame of `pose`. Nothing here needs a display except the draw functions.
class Dyad {
public:
    Dyad(const Dyad &) = delete;
    Dyad &operator=(const Dyad &) = delete;

    // The virtual interface, in its fixed slot order.
    virtual ~Dyad();                                                     // 0
    virtual void refreshSurface() = 0;                                   // 1
    virtual void resetToReference() = 0;                                 // 2
    virtual void setPose(const Point &pose) = 0;                         // 3
    virtual void commitGeometry() = 0;                                   // 4
    virtual void step() = 0;                                             // 5
    virtual void setConfiguration(double v, double w) = 0;               // 6
    virtual double currentInput() const = 0;                             // 7
    virtual double secondaryAngle() const;                               // 8
    virtual double pivotDirection() const = 0;                           // 9
    virtual void drawInputPreview(double x1, double y1, double x2, double y2) = 0;   // 10
    // thetaDeg: the angle of the dragged band (the moving frame's angle for RR and PR).
    virtual void drawInputPreviewFull(double x1, double y1, double x2, double y2,
                                      double thetaDeg) = 0;              // 11
    virtual QString typeName() const = 0;                                // 12
    virtual QString getName() const;                                     // 13
    virtual void setName(const QString &n);                              // 14
    virtual void setBlockAngle(double angleDeg);                         // 15
    virtual Point movingPivotCopy() const;                               // 16
    virtual double getStepAngle() const;                                 // 17
    virtual void setStepAngle(double a);                                 // 18
    virtual void updateLocalPivot(const Point &pose) = 0;                // 19
    virtual void relocateFixedPivot(const Point &p);                     // 20
    virtual QString parameterName1() const = 0;                          // 21
    virtual QString parameterName2() const = 0;                          // 22
    virtual QString parameterName3() const = 0;                          // 23
    virtual QString parameterName4() const = 0;                          // 24
    virtual QString parameterName5() const = 0;                          // 25
    virtual double parameter1() const = 0;                               // 26
    virtual double parameter2() const = 0;                               // 27
    virtual double parameter3() const = 0;                               // 28
    virtual double parameter4() const = 0;                               // 29
    virtual double parameter5() const = 0;                               // 30
    virtual void drawSurface(const Point &pose);                         // 31
    virtual void drawSurfaceAlways();                                    // 32
    virtual void drawJoints() = 0;                                       // 33
    virtual void drawAtPose(const Point &pose);                          // 34
    virtual void draw() = 0;                                             // 35
    // Writes typeName() and the five parameters to "<name> parameters.txt" (name "dyad" when
    // empty). Nothing in the application calls it.
    virtual void writeParameters() const;                                // 36

    // Non-virtual operations (pivot editing, analysis).
    void setMovingPivot(const Point &p);
    void setFixedPivot(const Point &p);
    void setPoseValues(double x, double y, double thetaDeg);

    Point fixedPivotCopy() const { return fixedPivot; }
    Point poseCopy() const { return pose; }
    Point movingPivotLocalCopy() const { return movingPivotLocal; }
    Point fixedPivotRefCopy() const { return fixedPivotRef; }
    Point movingPivotRefCopy() const { return movingPivotRef; }
    // Live addresses, for dragging pivot handles; valid while the dyad lives.
    Point *fixedPivotPtr() { return &fixedPivot; }
    Point *movingPivotPtr() { return &movingPivot; }

    // Committed link length and angle (degrees). For a PR the angle is the slide direction.
    double getLinkLength() const { return linkLength; }
    double getLinkAngle() const { return linkAngle; }
    // The drawn link between the pivots as they are now; getLength() is the current distance.
    const Link &getLink() const { return link; }
    Link &getLink() { return link; }

    bool isHighlighted() const { return highlighted; }
    void setHighlighted(bool h) { highlighted = h; }
    bool isChosen() const { return chosen; }
    void setChosen(bool c) { chosen = c; }
    bool isUserInput() const { return userInput; }
    void setUserInput(bool u) { userInput = u; }

    // The constraint surface in image space; null when the dyad has none yet.
    const ConstraintSurface *getSurface() const { return surface.get(); }

    // Animation increment of one step() (degrees); 2.5 from the constructors.
    static constexpr double defaultStepAngle = 2.5;

protected:
    Dyad();

    // Copies the x, y of src into dst (points keep their own dimension).
    static void assignXY(Point &dst, double x, double y);
    // Direction from a to b in degrees.
    static double directionDeg(const Point &a, const Point &b);
    // The moving-frame coordinates of a fixed-frame point for a pose (x, y, theta degrees).
    static Point toMovingFrame(const Point &p, const Point &pose);
    // The fixed-frame coordinates of a moving-frame point (d, e) for a pose.
    static Point toFixedFrame(double d, double e, const Point &pose);
    // Polar form (r, phi radians) of the negated moving-frame pivot: r cos phi = -d,
    // r sin phi = e; phi = 0 when r = 0 so the surface never sees NaN.
    static void surfacePolar(double d, double e, double &r, double &phi);
    // A new surface for fixed pivot (a, b), link length R and moving-frame pivot (d, e).
    static std::unique_ptr<ConstraintSurface> makeSurface(double a, double b, double R, double d,
                                                          double e);
    // Moves the link between the pivots.
    void setLinkEnds();
    void drawLink() const;
    void drawSurfaceIfAny() const;

    double stepAngle = defaultStepAngle;   // degrees
    double linkLength = 0.0;
    double linkAngle = 0.0;                // degrees
    Link link;
    std::unique_ptr<Joint> fixedJoint;
    std::unique_ptr<Joint> movingJoint;
    Point fixedPivot{0.0, 0.0, 0.0};
    Point movingPivotLocal{0.0, 0.0, 0.0};
    Point movingPivot{0.0, 0.0, 0.0};
    Point pose{0.0, 0.0, 0.0};             // x, y, theta in degrees
    Point fixedPivotRef{0.0, 0.0, 0.0};
    Point movingPivotRef{0.0, 0.0, 0.0};
    bool highlighted = false;
    std::unique_ptr<ConstraintSurface> surface;
    QString name;
    bool chosen = false;
    bool userInput = false;
};
