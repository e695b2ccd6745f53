// Planar vector helpers and the one place where the analysis converts between angle units.
#include "Vec2.h"

#include "ProcessValues.h"

// The factors are taken once from the process-wide pi (itself set at start-up), so a conversion
// is one multiplication.
double degToRad(double deg) {
    static const double radPerDeg = PI / 180.0;
    return deg * radPerDeg;
}

double radToDeg(double rad) {
    static const double degPerRad = 180.0 / PI;
    return rad * degPerRad;
}

Vec2 Vec2::unitDeg(double angleDeg) {
    const double a = degToRad(angleDeg);
    return {std::cos(a), std::sin(a)};
}

double Vec2::angleDeg() const { return radToDeg(std::atan2(y, x)); }

double wrapDeg180(double deg) {
    if (!std::isfinite(deg))
        return deg;
    double w = std::fmod(deg, 360.0);
    if (w <= -180.0)
        w += 360.0;
    else if (w > 180.0)
        w -= 360.0;
    return w;
}
