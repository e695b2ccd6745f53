// The grid of orientations a tolerance sweep visits: every swept position's theta takes
// 2 res + 1 values from theta - tol to theta + tol.
#pragma once

#include <armadillo>
#include <vector>

class ToleranceGrid {
public:
    // More grid points than this are refused: at a tenth of a millisecond per run and a record
    // each, a million points is minutes of work and hundreds of megabytes already.
    static constexpr long long maxPoints = 1000000;
    // The memory a sweep's records may take (ToleranceSolution::estimatedBytes each, about 480
    // bytes for five positions with the best pair's summary). It admits resolution 6 over five
    // positions and 45 over three (minutes of runs), and refuses the larger grids under
    // maxPoints, whose records would take a good part of a small machine's memory.
    static constexpr double memoryBudgetMB = 256.0;

    // nominalDeg: the orientations of the swept positions (position 0 first), in degrees.
    // res = 0 gives the one grid point of the nominal orientations; res < 0 gives none.
    ToleranceGrid(std::vector<double> nominalDeg, double tolDeg, int res);

    // (2 res + 1)^k for k swept positions, 0 for res < 0; capped at maxPoints + 1 so that a
    // grid too large to run is seen without overflow.
    long long size() const { return count; }
    static long long pointCount(int res, int k);

    // The level index (0 ... 2 res) of every swept position at grid point g, in lexicographic
    // order with position 0 varying slowest.
    std::vector<int> levels(long long g) const;
    // The orientation of swept position j at level i: theta + (i - res) tol / res.
    double orientationDeg(size_t j, int level) const;
    // Sets theta (column 2) of the swept rows of task to grid point g.
    void apply(long long g, arma::mat &task) const;
    // Puts the nominal orientations back.
    void restore(arma::mat &task) const;

private:
    std::vector<double> nominal;
    double tol;
    int res;
    long long count;
};
