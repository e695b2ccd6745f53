// One grid point of a tolerance sweep: the perturbed task, the kinds of the dyads its run gave,
// the mechanism type they make and the best four-bar among them.
#pragma once

#include "PairSummary.h"
#include "Point.h"

#include <QString>
#include <array>
#include <cstddef>
#include <vector>

// A sweep holds up to a million of these, so a record keeps numbers only, a few hundred bytes:
// the task as the grid point set it, the two-letter kind of each dyad and the summary of its
// best pair, not the dyads with their links, joints and drawing state. Choosing a record runs
// its task again, which makes its dyads anew.
struct ToleranceSolution {
    std::vector<Point> positions;  // x, y, theta in degrees, theta as the grid point set it
    std::vector<std::array<char, 2>> kinds;  // "RR", "PR" or "RP" per dyad, in the branch's order
    // The pair PairRanking ranks first among the dyads, as the Mechanisms table would list it
    // after choosing this record; no pair (input -1) for fewer than two dyads.
    PairSummary best;
    bool flag = false;  // free for the main window

    int dyadCount() const { return static_cast<int>(kinds.size()); }
    // The kind name of dyad i; empty outside the list.
    QString dyadKind(int i) const {
        if (i < 0 || i >= dyadCount())
            return {};
        const std::array<char, 2> &k = kinds[static_cast<size_t>(i)];
        return QString::fromLatin1(k.data(), 2);
    }
    // The first two dyads' kinds joined, the one kind of a single dyad, "Invalid" for none (the
    // branch's mechanism type of the run).
    QString mechanismType() const {
        if (kinds.empty())
            return QStringLiteral("Invalid");
        return kinds.size() == 1 ? dyadKind(0) : dyadKind(0) + dyadKind(1);
    }
    // Memory one record of `positions` positions and up to four dyads takes, its best pair's
    // summary (inside the struct) and the allocator's blocks included (a block carries 8 bytes
    // of bookkeeping and is at least 32 long): what a sweep's size is weighed by before it runs.
    static std::size_t estimatedBytes(int positions) {
        constexpr std::size_t bookkeeping = 16;
        constexpr std::size_t coordinatesBlock = 32;  // the three doubles of one Point
        constexpr std::size_t kindsBlock = 32;        // up to four two-letter kinds
        return sizeof(ToleranceSolution)
               + static_cast<std::size_t>(positions) * (sizeof(Point) + coordinatesBlock)
               + bookkeeping + kindsBlock;
    }
};
