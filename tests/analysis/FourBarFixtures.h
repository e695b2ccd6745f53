// Test-side geometry written independently of the analysis: planar points, circle intersection,
// placements, and builders of known four-bars from user-drawn dyads.
#pragma once

#include "Dyad.h"
#include "Point.h"

#include "PR.h"
#include "RP.h"
#include "RR.h"

#include <QFile>
#include <QString>
#include <QTextStream>
#include <cmath>
#include <memory>
#include <sstream>

namespace fixtures {

const double pi = std::acos(-1.0);

struct P {
    double x = 0.0;
    double y = 0.0;
};

inline P add(P a, P b) { return {a.x + b.x, a.y + b.y}; }
inline P sub(P a, P b) { return {a.x - b.x, a.y - b.y}; }
inline P scale(P a, double s) { return {a.x * s, a.y * s}; }
inline double dot(P a, P b) { return a.x * b.x + a.y * b.y; }
inline double cross(P a, P b) { return a.x * b.y - a.y * b.x; }


// A rigid placement of a layout drawn in a canonical frame: turn by angleDeg about the origin, then
// shift.
struct Placement {
    double angleDeg = 0.0;
    double dx = 0.0;
    double dy = 0.0;
    P apply(P p) const {
        const double c = std::cos(angleDeg * pi / 180.0), s = std::sin(angleDeg * pi / 180.0);
        return {c * p.x - s * p.y + dx, s * p.x + c * p.y + dy};
    }
    double turn(double a) const { return a + angleDeg; }
};



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

// A mechanism's two dyads and the coupler pose (x, y, theta degrees) that goes with them.
struct Pair {
    std::unique_ptr<Dyad> input;
    std::unique_ptr<Dyad> output;
    Point couplerPose{0.0, 0.0, 0.0};
    // Coupler pose in the frame of the coupler line M1 -> M2: (u, v, theta) (for RRRR).
    double localU = 0.6, localV = 0.8, localTheta = 20.0;
};


// The six pair kinds in canonical layouts that close over a wide input range.
enum class Kind { RRRR, RRRP, RRPR, PRPR, PRRP, RPRP };


inline double dist(P a, P b) { return std::hypot(a.x - b.x, a.y - b.y); }
inline double deg(double r) { return r * 180.0 / pi; }
inline double rad(double d) { return d * pi / 180.0; }
inline double dirDeg(P a, P b) { return deg(std::atan2(b.y - a.y, b.x - a.x)); }
inline P polar(P o, double r, double a) {
    return {o.x + r * std::cos(rad(a)), o.y + r * std::sin(rad(a))};
}

inline double angleDiff(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d <= -180.0)
        d += 360.0;
    if (d > 180.0)
        d -= 360.0;
    return d;
}

// Along the centre line to the chord's foot, then across it by the half chord.
inline bool circleIntersection(P c1, double r1, P c2, double r2, bool left, P &out) {
    const double d = dist(c1, c2);
    if (d == 0.0)
        return false;
    const double a = (r1 * r1 - r2 * r2 + d * d) / (2.0 * d);
    const double h2 = r1 * r1 - a * a;
    if (h2 < 0.0)
        return false;
    const P e = scale(sub(c2, c1), 1.0 / d);
    const P n = {-e.y, e.x};
    out = add(add(c1, scale(e, a)), scale(n, left ? std::sqrt(h2) : -std::sqrt(h2)));
    return true;
}

inline double lawOfCosinesDeg(double a, double b, double c) {
    return deg(std::acos((a * a + b * b - c * c) / (2.0 * a * b)));
}


inline P fixedOf(const Dyad &d) {
    const Point p = d.fixedPivotCopy();
    return {p[0], p[1]};
}

inline P movingOf(const Dyad &d) {
    const Point p = d.movingPivotCopy();
    return {p[0], p[1]};
}

inline P inMovingFrame(const Point &pose, P world) {
    const double c = std::cos(rad(pose[2])), s = std::sin(rad(pose[2]));
    const P d = sub(world, {pose[0], pose[1]});
    return {c * d.x + s * d.y, -s * d.x + c * d.y};
}

inline P fromMovingFrame(const Point &pose, P local) {
    const double c = std::cos(rad(pose[2])), s = std::sin(rad(pose[2]));
    return {pose[0] + c * local.x - s * local.y, pose[1] + s * local.x + c * local.y};
}

inline Side snapshot(const Dyad &d, const Point &pose) {
    Side s;
    s.kind = d.typeName();
    s.fixed = fixedOf(d);
    const P m = movingOf(d);
    s.length = dist(s.fixed, m);
    s.slideDeg = dirDeg(s.fixed, m);
    s.local = inMovingFrame(pose, m);
    const double normal = dirDeg(s.fixed, m);
    s.lineNormalLocal = normal - pose[2];
    s.lineOffsetLocal = dot(sub(m, {pose[0], pose[1]}), polar({0, 0}, 1.0, normal));
    return s;
}

inline double sideMiss(const Side &s, const Point &pose) {
    if (s.kind == QLatin1String("RP")) {
        // The block pivot stays at the dyad's offset from the line the coupler carries.
        const P n = polar({0, 0}, 1.0, s.lineNormalLocal + pose[2]);
        return std::fabs(dot(n, sub(s.fixed, {pose[0], pose[1]})) + s.length - s.lineOffsetLocal);
    }
    const P m = fromMovingFrame(pose, s.local);
    if (s.kind == QLatin1String("PR"))
        return std::fabs(cross(polar({0, 0}, 1.0, s.slideDeg), sub(m, s.fixed)));
    return std::fabs(dist(m, s.fixed) - s.length);
}

inline double inputMiss(const Side &s, const Point &pose, double input) {
    if (s.kind == QLatin1String("RP"))
        return std::fabs(angleDiff(input, s.lineNormalLocal + pose[2]));
    const P m = fromMovingFrame(pose, s.local);
    if (s.kind == QLatin1String("PR"))
        return dist(m, polar(s.fixed, input, s.slideDeg));
    return dist(m, polar(s.fixed, s.length, input));
}

inline Point couplerPoseFor(const Pair &pair, P m1, P m2) {
    const double a = dirDeg(m1, m2);
    const P c = add(add(m1, polar({0, 0}, pair.localU, a)), polar({0, 0}, pair.localV, a + 90.0));
    return Point(c.x, c.y, a + pair.localTheta);
}

// RR-RR with ground O1 (0, 0) -> O2 (G, 0), crank L1 at thetaDeg, coupler h, output L2; the output
// pivot left of M1 -> O2 (open) or right of it (crossed).
inline bool fourRevolute(Pair &pair, double G, double L1, double h, double L2, double thetaDeg,
                         bool open, const Placement &place = Placement()) {
    const P o1 = place.apply({0, 0});
    const P o2 = place.apply({G, 0});
    const P m1 = polar(o1, L1, place.turn(thetaDeg));
    P m2;
    if (!circleIntersection(m1, h, o2, L2, open, m2))
        return false;
    pair.couplerPose = couplerPoseFor(pair, m1, m2);
    const Point &c = pair.couplerPose;
    pair.input = std::make_unique<RR>(o1.x, o1.y, m1.x, m1.y, c[0], c[1], c[2]);
    pair.output = std::make_unique<RR>(o2.x, o2.y, m2.x, m2.y, c[0], c[1], c[2]);
    return true;
}

namespace detail {
inline std::unique_ptr<Dyad> makeRR(const Placement &t, P f, P m, const Point &c) {
    const P a = t.apply(f), b = t.apply(m);
    return std::make_unique<RR>(a.x, a.y, b.x, b.y, c[0], c[1], c[2]);
}
inline std::unique_ptr<Dyad> makePR(const Placement &t, P f, P m, const Point &c) {
    const P a = t.apply(f), b = t.apply(m);
    return std::make_unique<PR>(a.x, a.y, b.x, b.y, c[0], c[1], c[2]);
}
// An RP whose line through the block at f runs towards `along`.
inline std::unique_ptr<Dyad> makeRP(const Placement &t, P f, P along) {
    const P a = t.apply(f), b = t.apply(along);
    return std::make_unique<RP>(a.x, a.y, b.x, b.y, b.x, b.y, 0.0);
}
inline Point placedPose(const Placement &t, P c, double thetaDeg) {
    const P q = t.apply(c);
    return Point(q.x, q.y, t.turn(thetaDeg));
}
} // namespace detail
using namespace detail;

// Canonical layouts: RRRR: crank-rocker 4, 1, 3.5, 3 at 60 degrees, open.
inline void standardPair(Kind kind, Pair &pair, const Placement &t = Placement()) {
    switch (kind) {
    case Kind::RRRR:
        fourRevolute(pair, 4.0, 1.0, 3.5, 3.0, 60.0, true, t);
        return;
    case Kind::RRRP:
        pair.couplerPose = placedPose(t, {1.0, 2.0}, 30.0);
        pair.input = makeRR(t, {0, 0}, {0, 1}, pair.couplerPose);
        pair.output = makeRP(t, {3, 0}, {3, 5});
        return;
    case Kind::RRPR: {
        const P m1 = polar({0, 0}, 1.0, 60.0);
        const P m2 = {m1.x + std::sqrt(9.0 - (m1.y + 0.5) * (m1.y + 0.5)), -0.5};
        pair.couplerPose = placedPose(t, {1.5, 1.2}, 10.0);
        pair.input = makeRR(t, {0, 0}, m1, pair.couplerPose);
        pair.output = makePR(t, {-2.0, -0.5}, m2, pair.couplerPose);
        return;
    }
    case Kind::PRPR:
        pair.couplerPose = placedPose(t, {3.2, 1.5}, 15.0);
        pair.input = makePR(t, {0, 0}, {3, 0}, pair.couplerPose);
        pair.output = makePR(t, {4, 3}, {4, std::sqrt(3.0)}, pair.couplerPose);
        return;
    case Kind::PRRP:
        pair.couplerPose = placedPose(t, {1.5, 1.5}, 5.0);
        pair.input = makePR(t, {0, 0}, {1, 0}, pair.couplerPose);
        pair.output = makeRP(t, {3, 1}, polar({3, 1}, 1.0, 60.0));
        return;
    case Kind::RPRP:
        pair.couplerPose = placedPose(t, {2.0, 2.0}, 0.0);
        pair.input = makeRP(t, {0, 0}, polar({0, 0}, 1.0, 30.0));
        pair.output = makeRP(t, {4, 1}, polar({4, 1}, 1.0, 100.0));
        return;
    }
}

inline QString kindName(Kind kind) {
    static const char *names[] = {"RRRR", "RRRP", "RRPR", "PRPR", "PRRP", "RPRP"};
    return QString::fromLatin1(names[static_cast<int>(kind)]);
}

inline bool fileLines(const QString &path, QStringList &lines) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    lines.clear();
    QTextStream in(&f);
    while (!in.atEnd())
        lines << in.readLine();
    return true;
}

inline QString streamed(double v) {
    std::ostringstream s;
    s << v;
    return QString::fromStdString(s.str());
}

} // namespace fixtures
