// From dyad numbers to dyads, with the constructors the synthesis hands its numbers to.
#include "DyadFactory.h"

#include "PR.h"
#include "RP.h"
#include "RR.h"

#include <cmath>
#include <initializer_list>

std::shared_ptr<Dyad> DyadFactory::makeRR(const Point &pose0, const FitResult::Root &root) {
    const DyadExtraction::RRNumbers &n = root.rr;
    return std::make_shared<RR>(pose0, n.x0, n.y0, n.r, n.x1, n.y1, 0);
}

std::shared_ptr<Dyad> DyadFactory::makePR(const Point &pose0, const FitResult::Root &root) {
    const DyadExtraction::PRNumbers &n = root.pr;
    return std::make_shared<PR>(pose0, n.lineA, n.lineB, n.lineC, n.x1, n.y1, n.tag, n.y0, n.r,
                                n.x1, n.y1, 0.0);
}

std::shared_ptr<Dyad> DyadFactory::makeRP(const Point &pose0, const FitResult::Root &root) {
    const DyadExtraction::RPNumbers &n = root.rp;
    return std::make_shared<RP>(pose0, n.u, n.w, n.l1, n.l2, n.l3, 0.0);
}

std::shared_ptr<Dyad> DyadFactory::makeSelected(const Point &pose0, const FitResult::Root &root,
                                                bool markApproximate) {
    using Choice = TypeDecision::Choice;
    switch (root.choice) {
    case Choice::RP:
        return makeRP(pose0, root);
    case Choice::PR:
        return makePR(pose0, root);
    case Choice::ApproximateRP: {
        std::shared_ptr<Dyad> d = makeRP(pose0, root);
        if (markApproximate)
            d->setName(QStringLiteral("RP*"));
        return d;
    }
    case Choice::ApproximatePR: {
        std::shared_ptr<Dyad> d = makePR(pose0, root);
        if (markApproximate)
            d->setName(QStringLiteral("PR*"));
        return d;
    }
    default:
        return makeRR(pose0, root);
    }
}

namespace {
bool allFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}
} // namespace

bool DyadFactory::canBuild(const FitResult::Root &root) {
    using Choice = TypeDecision::Choice;
    switch (root.choice) {
    case Choice::RP:
    case Choice::ApproximateRP:
        return allFinite({root.rp.u, root.rp.w, root.rp.l1, root.rp.l2, root.rp.l3});
    case Choice::PR:
    case Choice::ApproximatePR:
        return allFinite({root.pr.lineA, root.pr.lineB, root.pr.lineC, root.pr.x1, root.pr.y1});
    default:
        return allFinite({root.rr.x0, root.rr.y0, root.rr.r, root.rr.x1, root.rr.y1});
    }
}
