// Tasks for the main-window tests: coupler poses of a crank-rocker worked out here by forward
// kinematics (independent of the program), and the position-file text that holds them.
#pragma once

#include <QByteArray>
#include <cmath>
#include <vector>

namespace taskfix {

struct Pose {
    double x, y, thetaDeg;
};

// Ground (1, 1) -> (5, 1.5), crank 1.2, coupler 4, rocker 3 (Grashof, the crank shortest). The
// moving frame sits at (1.5, 1) in the coupler's frame, whose x axis runs along the coupler.
inline Pose crankRockerPose(double crankDeg) {
    const double pi = std::acos(-1.0);
    const double a0x = 1.0, a0y = 1.0, b0x = 5.0, b0y = 1.5;
    const double crank = 1.2, coupler = 4.0, rocker = 3.0;
    const double c = crankDeg * pi / 180.0;
    const double ax = a0x + crank * std::cos(c), ay = a0y + crank * std::sin(c);
    // Moving pivot of the rocker: the circles about A (coupler) and B0 (rocker) meet, on the left
    // of A -> B0.
    const double dx = b0x - ax, dy = b0y - ay, d = std::hypot(dx, dy);
    const double along = (coupler * coupler - rocker * rocker + d * d) / (2.0 * d);
    const double h = std::sqrt(coupler * coupler - along * along);
    const double bx = ax + (along * dx - h * dy) / d, by = ay + (along * dy + h * dx) / d;
    const double psi = std::atan2(by - ay, bx - ax);
    return {ax + 1.5 * std::cos(psi) - 1.0 * std::sin(psi),
            ay + 1.5 * std::sin(psi) + 1.0 * std::cos(psi), psi * 180.0 / pi};
}

// n poses at crank angles spread over a turn.
inline std::vector<Pose> crankRockerTask(int n) {
    std::vector<Pose> poses;
    for (int k = 0; k < n; ++k)
        poses.push_back(crankRockerPose(17.0 + 331.0 * k / std::max(n, 1)));
    return poses;
}

// The three-number form: the count, then one "x y theta" line per pose.
inline QByteArray taskText(const std::vector<Pose> &poses) {
    QByteArray text = QByteArray::number(static_cast<int>(poses.size())) + "\n";
    for (const Pose &p : poses)
        text += QByteArray::number(p.x, 'g', 17) + " " + QByteArray::number(p.y, 'g', 17) + " " +
                QByteArray::number(p.thetaDeg, 'g', 17) + "\n";
    return text;
}

} // namespace taskfix
