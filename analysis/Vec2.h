// A small planar vector for the loop-closure arithmetic: no heap, named operations.
#pragma once

#include <cmath>

struct Vec2 {
    double x = 0.0;
    double y = 0.0;

    constexpr Vec2() = default;
    constexpr Vec2(double px, double py) : x(px), y(py) {}

    // Unit vector at an angle given in degrees.
    static Vec2 unitDeg(double angleDeg);

    Vec2 operator+(const Vec2 &o) const { return {x + o.x, y + o.y}; }
    Vec2 operator-(const Vec2 &o) const { return {x - o.x, y - o.y}; }
    Vec2 operator*(double s) const { return {x * s, y * s}; }
    double dot(const Vec2 &o) const { return x * o.x + y * o.y; }
    // z of the 3-D cross product: positive when o lies counter-clockwise of this.
    double cross(const Vec2 &o) const { return x * o.y - y * o.x; }
    double length() const { return std::sqrt(x * x + y * y); }
    // Direction in degrees, (-180, 180]; the zero vector gives 0.
    double angleDeg() const;
    // Turned a quarter turn counter-clockwise.
    Vec2 perp() const { return {-y, x}; }
    bool isFinite() const { return std::isfinite(x) && std::isfinite(y); }
};

inline Vec2 operator*(double s, const Vec2 &v) { return v * s; }

// Degrees <-> radians with the process-wide pi.
double degToRad(double deg);
double radToDeg(double rad);
// An angle in degrees brought into (-180, 180].
double wrapDeg180(double deg);
