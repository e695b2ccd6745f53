// Moving a task into the frame its fit is made in, and the fit's dyads back into the user's.
#include "TaskFrame.h"

#include "Tolerances.h"

#include <climits>
#include <cmath>

TaskFrame TaskFrame::of(const arma::mat &task, arma::uword n) {
    TaskFrame frame;
    const arma::uword rows = std::min<arma::uword>(n, task.n_rows);
    if (rows == 0 || task.n_cols < 2)
        return frame;
    const arma::vec xUser = task.col(0).head(rows);
    const arma::vec yUser = task.col(1).head(rows);
    frame.centreXUser = arma::mean(xUser);
    frame.centreYUser = arma::mean(yUser);
    const double rmsUser = std::sqrt(arma::mean(arma::square(xUser - frame.centreXUser)
                                                + arma::square(yUser - frame.centreYUser)));
    const double distanceFromOrigin = std::hypot(frame.centreXUser, frame.centreYUser);
    if (std::isfinite(rmsUser) && rmsUser > tol::degenerateTaskSpread * distanceFromOrigin
        && rmsUser > 0.0)
        frame.sizeUser = rmsUser;
    return frame;
}

arma::mat TaskFrame::normalisedTask(const arma::mat &task, arma::uword n) const {
    arma::mat inFrame = task.rows(0, n - 1);
    for (arma::uword i = 0; i < n; ++i) {
        const XY p = toFrame(task(i, 0), task(i, 1));
        inFrame(i, 0) = p.x;
        inFrame(i, 1) = p.y;
    }
    return inFrame;
}

TaskFrame::XY TaskFrame::toFrame(double xUser, double yUser) const {
    return {(xUser - centreXUser) / sizeUser, (yUser - centreYUser) / sizeUser};
}

TaskFrame::XY TaskFrame::toUser(double xFrame, double yFrame) const {
    return {centreXUser + sizeUser * xFrame, centreYUser + sizeUser * yFrame};
}

// A x + B y + C = 0 with x = cx + s x': A x' + B y' + (A cx + B cy + C) / s = 0, the
// coefficients divided by s so that A and B keep the user's numbers.
LineConstraint TaskFrame::toFrame(const LineConstraint &lineUser) const {
    LineConstraint inFrame = lineUser;
    inFrame.lineC = (lineUser.lineA * centreXUser + lineUser.lineB * centreYUser + lineUser.lineC)
                    / sizeUser;
    return inFrame;
}

DyadExtraction::RRNumbers TaskFrame::toUser(const DyadExtraction::RRNumbers &inFrame) const {
    DyadExtraction::RRNumbers user = inFrame;
    const XY fixedPivot = toUser(inFrame.x0, inFrame.y0);
    user.x0 = fixedPivot.x;
    user.y0 = fixedPivot.y;
    user.r = sizeUser * inFrame.r;
    user.x1 = sizeUser * inFrame.x1;
    user.y1 = sizeUser * inFrame.y1;
    return user;
}

// The ground line lineA x' + lineB y' + lineC / 2 = 0 becomes, multiplied by s,
// lineA x + lineB y + (s lineC / 2 - lineA cx - lineB cy) = 0.
DyadExtraction::PRNumbers TaskFrame::toUser(const DyadExtraction::PRNumbers &inFrame) const {
    DyadExtraction::PRNumbers user = inFrame;
    user.lineC = sizeUser * inFrame.lineC
                 - 2.0 * (inFrame.lineA * centreXUser + inFrame.lineB * centreYUser);
    user.x1 = sizeUser * inFrame.x1;
    user.y1 = sizeUser * inFrame.y1;
    const XY surfacePivot = toUser(inFrame.x0, inFrame.y0);
    user.x0 = surfacePivot.x;
    user.y0 = surfacePivot.y;
    user.r = sizeUser * inFrame.r;
    user.tag = std::isfinite(user.x0) && std::fabs(user.x0) < INT_MAX ? static_cast<int>(user.x0) : 0;
    return user;
}

// The moving line l1 X + l2 Y + l3 = 0 is in the moving frame, which only scales: l3 does.
DyadExtraction::RPNumbers TaskFrame::toUser(const DyadExtraction::RPNumbers &inFrame) const {
    DyadExtraction::RPNumbers user = inFrame;
    const XY fixedPivot = toUser(inFrame.u, inFrame.w);
    user.u = fixedPivot.x;
    user.w = fixedPivot.y;
    user.l3 = sizeUser * inFrame.l3;
    return user;
}

// With Z1 = s Z1' + (cx Z3 - cy Z4) / 2 and Z2 = s Z2' + (cx Z4 + cy Z3) / 2 (Z3, Z4 unchanged)
// the user's monomials are m = M m'; a quadric p . m = (M^T p) . m' is p' in this frame, so
// p = M^-T p'.
arma::vec TaskFrame::toUser(const arma::vec &pInFrame) const {
    const double s = sizeUser, cx = centreXUser, cy = centreYUser;
    arma::mat m(8, 8, arma::fill::eye);
    m(0, 0) = s * s;  // Z1^2 + Z2^2
    m(0, 3) = s * cx;
    m(0, 4) = s * cy;
    m(0, 7) = 0.25 * (cx * cx + cy * cy);
    m(1, 1) = s;  // Z1 Z3 - Z2 Z4
    m(1, 5) = -cy;
    m(1, 6) = 0.5 * cx;
    m(2, 2) = s;  // Z1 Z4 + Z2 Z3
    m(2, 5) = cx;
    m(2, 6) = 0.5 * cy;
    m(3, 3) = s;  // Z1 Z3 + Z2 Z4
    m(3, 7) = 0.5 * cx;
    m(4, 4) = s;  // Z2 Z3 - Z1 Z4
    m(4, 7) = 0.5 * cy;
    arma::vec pUser;
    if (!arma::solve(pUser, m.t(), pInFrame))
        return pInFrame;
    return arma::normalise(pUser);
}
