// Real roots of the resultant and the matching root b of the two conics.
#include "RootSelection.h"

#include "Tolerances.h"

#include <cmath>

std::vector<double> RootSelection::realRoots(const QuarticRoots &roots) {
    std::vector<double> real;
    for (const std::complex<double> &r : roots.roots)
        if (std::fabs(r.imag()) <= tol::realRoot && std::isfinite(r.real()))
            real.push_back(r.real());
    return real;
}

double RootSelection::selectB(const ConicPair &conics, double a) {
    const std::array<double, 4> c = conics.realCandidates(a);
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = i + 1; j < 4; ++j)
            if (std::fabs(c[i] - c[j]) <= tol::candidateAgreement)  // NaN never agrees
                return c[j];
    // The candidates can miss each other by more than the tolerance when a is large or the
    // quadratics are flat; the common root is exact whenever the two quadratics share one.
    return conics.commonRoot(a);
}
