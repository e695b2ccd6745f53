// The motion of a four-bar cut into circuits and branches for its driver: where the input's
// limits (branch points) lie, which input values close the loop, and how the two assemblies of
// the loop join into circuits.
#pragma once

#include "FourBarGeometry.h"
#include "LoopClosure.h"

#include <vector>

// For every input value x the loop closes in two mirror assemblies (Mechanism's open and
// crossed roots) or in none. The inputs that close form intervals whose ends are branch points:
// there the two assemblies meet and the driver stops (coupler and output stretched or folded
// for an RR output, the coupler square to the slide for a PR output, the block's line through
// M1's foot for an RP output). A branch is one assembly over one such interval; a circuit is
// what stays connected through the branch points, the motion the linkage makes without being
// taken apart. A branch point where the closing inputs only touch (a change point) joins the
// branches on both of its sides. An input that closes everywhere (a crank, or a slide free in
// both directions) has no branch point: each assembly is then a circuit of one branch.
//
// Input values are angles in degrees for an RR input (RR-RR, RR-RP, RR-PR) and slide
// displacements for a PR input (PR-PR, PR-RP); RP-RP pairs are not mapped (valid() is false).
class CircuitMap {
public:
    struct Branch {
        // The input interval; lo < hi. An angular interval may run past 180 degrees; a full turn
        // is lo = -180, hi = 180 with `cyclic` set. Unbounded slide intervals are infinite.
        double lo = 0.0;
        double hi = 0.0;
        bool open = true;    // which of the two roots of the loop (Mechanism's open circuit)
        bool cyclic = false; // a full turn of the input with no branch point
        int circuit = 0;
    };

    explicit CircuitMap(const FourBarGeometry &g);

    bool valid() const { return mapped; }
    bool angularInput() const { return angular; }
    const std::vector<Branch> &branches() const { return branchList; }
    int circuitCount() const { return circuits; }

    // How far the loop is from failing to close at input x: positive where it closes, zero at a
    // branch point (in lengths of the mechanism).
    double closureMargin(double x) const;
    // The input brought to the nearest one that closes (x itself when it closes): a pose that
    // an approximate fit puts just beyond a limit is judged at that limit.
    double nearestClosing(double x) const;
    // The branch holding input x on the given assembly, -1 when x does not close.
    int branchAt(double x, bool open) const;
    // x written inside the branch's interval (for an angle, shifted by whole turns).
    double unrolled(int branch, double x) const;
    // Solves the loop on a branch's assembly.
    bool solve(int branch, double x, LoopSolution &s) const;

private:
    void findBranchPoints();
    void addAngleRoots(double baseDeg, double cosine);
    void buildBranches();
    void joinCircuits();
    bool closesBetween(double lo, double hi) const;

    FourBarGeometry geometry;
    bool mapped = false;
    bool angular = true;
    // Branch points, sorted (angles in [-180, 180)); `touching` marks a change point.
    struct Root {
        double x;
        bool touching;
    };
    std::vector<Root> roots;
    std::vector<Branch> branchList;
    int circuits = 0;
};
