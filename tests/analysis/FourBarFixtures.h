// Test-side geometry written independently of the analysis: planar points, circle
// intersection, placements, and builders of known four-bars from user-drawn dyads.
#pragma once

#include "Dyad.h"
#include "Point.h"

#include <QString>
#include <memory>

namespace fixtures {

struct P {
    double x = 0.0;
    double y = 0.0;
};

inline P add(P a, P b) { return {a.x + b.x, a.y + b.y}; }
inline P sub(P a, P b) { return {a.x - b.x, a.y - b.y}; }
inline P scale(P a, double s) { return {a.x * s, a.y * s}; }
inline double dot(P a, P b) { return a.x * b.x + a.y * b.y; }
inline double cross(P a, P b) { return a.x * b.y - a.y * b.x; }
double dist(P a, P b);
double deg(double rad);
double rad(double deg);
// Direction a -> b in degrees, (-180, 180].
double dirDeg(P a, P b);
P polar(P origin, double r, double angleDeg);
// Angle difference a - b brought into (-180, 180].
double angleDiff(double a, double b);

// The intersection of circles (c1, r1) and (c2, r2) on the left of c1 -> c2 (left = true) or
// on its right.
bool circleIntersection(P c1, double r1, P c2, double r2, bool left, P &out);
// The angle at the vertex between sides a and b opposite side c, in degrees.
double lawOfCosinesDeg(double a, double b, double c);

// A rigid placement of a layout drawn in a canonical frame: turn by angleDeg about the origin,
// then shift.
struct Placement {
    double angleDeg = 0.0;
    double dx = 0.0;
    double dy = 0.0;
    P apply(P p) const;
    double turn(double a) const { return a + angleDeg; }
};

P fixedOf(const Dyad &d);
P movingOf(const Dyad &d);

// A point of the fixed frame in the moving frame of a coupler pose (x, y, theta degrees), and
// back.
P inMovingFrame(const Point &pose, P world);
P fromMovingFrame(const Point &pose, P local);

// What the coupler carries of one dyad, taken at an assembled pose: what a closed loop must keep.
struct Side {
    QString kind;
    P fixed;
    double length = 0.0;            // RR and RP: pivot distance
    double slideDeg = 0.0;          // PR: direction of the ground line
    P local;                        // RR, PR: moving pivot in the coupler's frame
    double lineNormalLocal = 0.0;   // RP: the coupler line's normal in the coupler's frame
    double lineOffsetLocal = 0.0;   // RP: and its distance from the coupler point
};
Side snapshot(const Dyad &d, const Point &pose);
// How far a coupler pose (x, y, theta degrees) is from meeting the side's constraint, and how
// far the input it states is from the one that puts the side's moving pivot (or line) there.
double sideMiss(const Side &s, const Point &pose);
double inputMiss(const Side &s, const Point &pose, double input);

// A mechanism's two dyads and the coupler pose (x, y, theta degrees) that goes with them.
struct Pair {
    std::unique_ptr<Dyad> input;
    std::unique_ptr<Dyad> output;
    Point couplerPose{0.0, 0.0, 0.0};
    // Coupler pose in the frame of the coupler line M1 -> M2: (u, v, theta) (for RRRR).
    double localU = 0.6, localV = 0.8, localTheta = 20.0;
};

// RR-RR with ground O1 (0, 0) -> O2 (G, 0), crank L1 at thetaDeg, coupler h, output L2; the
// output pivot left of M1 -> O2 (open) or right of it (crossed). The coupler pose rides at
// (localU, localV) in the frame of M1 -> M2. Returns false when the chain cannot close.
bool fourRevolute(Pair &pair, double G, double L1, double h, double L2, double thetaDeg,
                  bool open, const Placement &place = Placement());
// The coupler pose of that four-bar for a given M1 and M2.
Point couplerPoseFor(const Pair &pair, P m1, P m2);

// The six pair kinds in canonical layouts that close over a wide input range (see the .cpp).
enum class Kind { RRRR, RRRP, RRPR, PRPR, PRRP, RPRP };
void standardPair(Kind kind, Pair &pair, const Placement &place = Placement());
QString kindName(Kind kind);

bool fileLines(const QString &path, QStringList &lines);
// A number written in the default stream format (six significant digits).
QString streamed(double v);

} // namespace fixtures
