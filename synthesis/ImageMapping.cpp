// Positions to image space and image points to data rows, as the n-position fit needs them.
#include "ImageMapping.h"

#include <cmath>

arma::vec4 ImageMapping::imagePoint(double x, double y, double thetaDeg) {
    const double h = thetaDeg * halfDegreeToRadian;
    const double s = std::sin(h);
    const double c = std::cos(h);
    arma::vec4 z;
    z(0) = 0.5 * (x * s - y * c);
    z(1) = 0.5 * (x * c + y * s);
    z(2) = s;
    z(3) = c;
    return z;
}

arma::rowvec ImageMapping::dataRow(const arma::vec4 &z) {
    const double z1 = z(0), z2 = z(1), z3 = z(2), z4 = z(3);
    arma::rowvec row(8);
    row(0) = z1 * z1 + z2 * z2;
    row(1) = z1 * z3 - z2 * z4;
    row(2) = z1 * z4 + z2 * z3;
    row(3) = z1 * z3 + z2 * z4;
    row(4) = z2 * z3 - z1 * z4;
    row(5) = z3 * z4;
    row(6) = z3 * z3 - z4 * z4;
    row(7) = z3 * z3 + z4 * z4;
    return row;
}

arma::mat ImageMapping::imagePoints(const arma::mat &task, arma::uword n) {
    arma::mat images(n, 4);
    for (arma::uword i = 0; i < n; ++i)
        images.row(i) = imagePoint(task(i, 0), task(i, 1), task(i, 2)).t();
    return images;
}

arma::mat ImageMapping::dataMatrix(const arma::mat &images) {
    arma::mat d(images.n_rows, 8);
    for (arma::uword i = 0; i < images.n_rows; ++i)
        d.row(i) = dataRow(arma::vec4(images.row(i).t()));
    return d;
}
