// The engine's own planar kinematic mapping and the eight monomials of a data row.
#pragma once

#include <armadillo>

// Maps a pose (x, y, theta in degrees) to the image point the fitting works on, and an image
// point to its row of the data matrix. This mapping orders and signs Z1, Z2 differently from
// Point::toImage; the two are not interchangeable.
class ImageMapping {
public:
    // Half of the angle to radians uses this literal, not a library pi, so the image points
    // match those of every earlier run digit for digit.
    static constexpr double halfDegreeToRadian = 0.5 * 3.141592653 / 180.0;

    // Z1 = (x s - y c) / 2, Z2 = (x c + y s) / 2, Z3 = s, Z4 = c with s, c of half the angle.
    static arma::vec4 imagePoint(double x, double y, double thetaDeg);

    // The monomials whose coefficients p1 ... p8 describe a dyad's quadric:
    // Z1^2 + Z2^2, Z1 Z3 - Z2 Z4, Z1 Z4 + Z2 Z3, Z1 Z3 + Z2 Z4, Z2 Z3 - Z1 Z4, Z3 Z4,
    // Z3^2 - Z4^2, Z3^2 + Z4^2.
    static arma::rowvec dataRow(const arma::vec4 &z);

    // The first n rows of a task (columns x, y, theta in degrees) as image points (n x 4) and
    // as the data matrix D (n x 8). Rows past n are not read; the caller guarantees n <= rows.
    static arma::mat imagePoints(const arma::mat &task, arma::uword n);
    static arma::mat dataMatrix(const arma::mat &images);
};
