// The image-space picture of a dyad's constraint: a ruled surface in the Z4 = 1 chart.
#pragma once

#include "Point.h"

#include <vector>

class ConstraintSurface {
public:
    // a, b: fixed pivot; R: link length; r, phi (radians): polar form of the negated
    // moving-frame pivot, r*cos(phi) = -d and r*sin(phi) = e for a moving pivot (d, e).
    ConstraintSurface(float a, float b, float R, float r, float phi);

    // Stores the five values and sets K0 = f2, K1 = f0, K2 = f3, K3 = f1, K4 = f4.
    void setInputs(double f0, double f1, double f2, double f3, double f4);
    double coefficient(int i) const { return K[i]; }
    // The surface point for the ruling angle alpha (radians) and height t, as (X, Y, Z) with
    // X = Z1/Z4, Y = Z2/Z4, Z = Z3/Z4.
    Point pointAt(double t, double alpha) const;

    // Needs a current GL context: rulings (magenta), circles (blue) and a shaded skin.
    void draw() const;

    static constexpr double tMin = -2.0;
    static constexpr double tMax = 2.0;

private:
    // The surface never changes once its inputs are set, but the image-space view repaints it at
    // every animation frame: its points (some 17,700 square roots, sines and cosines) are worked
    // out at the first draw after the inputs were set and handed to GL as arrays from then on.
    struct Mesh {
        std::vector<float> rulings;   // x, y, z of each ruling's points, one strip after another
        std::vector<float> circles;   // the same for the circles
        std::vector<float> skin;      // x, y, z, nx, ny, nz of each quad corner
    };
    const Mesh &mesh() const;
    double f[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
    double K[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
    mutable Mesh cachedMesh;
};

// The five inputs of a surface for (a, b, R, r, phi): f0 = (a + r cos phi)/2,
// f1 = (b - r sin phi)/2, f2 = (b + r sin phi)/2, f3 = (r cos phi - a)/2, f4 = R^2/4.
void constraintSurfaceInputs(double a, double b, double R, double r, double phi, double out[5]);
