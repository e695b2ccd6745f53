// One grid point of a tolerance sweep: the perturbed task, the dyads its run gave, and the
// mechanism type they make.
#pragma once

#include "Point.h"

#include <QString>
#include <memory>
#include <vector>

class Dyad;

struct ToleranceSolution {
    std::vector<Point> positions;  // x, y, theta in degrees, theta as the grid point set it
    // Shared with the branch while it holds them: the next grid point's run clears the branch,
    // and the record must keep its dyads readable for as long as it exists.
    std::vector<std::shared_ptr<Dyad>> dyads;
    bool flag = false;  // free for the main window
    QString mechanismType;

    std::vector<Dyad *> dyadsCpy() const {
        std::vector<Dyad *> out;
        out.reserve(dyads.size());
        for (const std::shared_ptr<Dyad> &d : dyads)
            out.push_back(d.get());
        return out;
    }
    int dyadCount() const { return static_cast<int>(dyads.size()); }
};
