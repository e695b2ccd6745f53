// The frame every fit is made in: the task moved so that its points' centroid is the origin and
// scaled so that their RMS distance from it is 1. Positions may come in any unit and anywhere on
// a drawing; in this frame they always look alike, so the fit and the type decision do too.
#pragma once

#include "DyadExtraction.h"
#include "LineConstraint.h"

#include <armadillo>

// Rotation is left as the user gave it: turning the task turns the image space orthogonally on
// every monomial pair but one, so exact fits (five positions, the variants) turn with the task.
class TaskFrame {
public:
    struct XY {
        double x, y;
    };

    // The frame of the first n rows of task (x, y, theta in degrees). A task without spread
    // (all points in one place) keeps the user's scale and is only moved.
    static TaskFrame of(const arma::mat &task, arma::uword n);

    double centreX() const { return centreXUser; }
    double centreY() const { return centreYUser; }
    // The task's size: RMS distance of its points from their centroid, in the user's units.
    double size() const { return sizeUser; }

    // The first n rows with x, y in the frame; theta (degrees) is unchanged.
    arma::mat normalisedTask(const arma::mat &task, arma::uword n) const;
    // A fixed-frame point between the user's frame and this one.
    XY toFrame(double xUser, double yUser) const;
    XY toUser(double xFrame, double yFrame) const;
    // The user's line through a fixed pivot, as the same line in this frame.
    LineConstraint toFrame(const LineConstraint &lineUser) const;

    // Dyad numbers read in this frame, in the user's: fixed-frame points move and scale,
    // moving-frame points and lengths only scale (the moving frame keeps its origin on the
    // body), line directions stay.
    DyadExtraction::RRNumbers toUser(const DyadExtraction::RRNumbers &inFrame) const;
    DyadExtraction::PRNumbers toUser(const DyadExtraction::PRNumbers &inFrame) const;
    DyadExtraction::RPNumbers toUser(const DyadExtraction::RPNumbers &inFrame) const;
    // A solution vector p1 ... p8 of this frame as the unit vector of the same quadric in the
    // user's frame (the sign as it comes): what the fit would have found there, exactly.
    arma::vec toUser(const arma::vec &pInFrame) const;

private:
    double centreXUser = 0.0;
    double centreYUser = 0.0;
    double sizeUser = 1.0;
};
