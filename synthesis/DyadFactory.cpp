// From dyad numbers to dyads, with the constructors the synthesis hands its numbers to.
#include "DyadFactory.h"

#include "PR.h"
#include "RP.h"
#include "RR.h"

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
