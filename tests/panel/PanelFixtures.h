// What the panel tests share: a known crank-rocker's dyads (forward kinematics from the shared
// known mechanisms) handed to a branch as synthesis would, and the panel wired as in the window.
#pragma once

#include "Branch.h"
#include "KnownMechanisms.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "RR.h"
#include "Synthesis_Widget.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QtTest>

namespace panelfix {

// Ground (0, 0) -> (4, 0), crank 1.5, coupler 4, rocker 3.5 (Grashof: 1.5 + 4 <= 4 + 3.5, the
// crank is the shortest link). The moving frame sits 2 along and 1 to the left of the coupler
// from the crank's moving pivot.
const known::RevoluteSide crank{{0.0, 0.0}, {-2.0, -1.0}, 1.5};
const known::RevoluteSide rocker{{4.0, 0.0}, {2.0, -1.0}, 3.5};

inline known::Pose crankRockerPose(double crankDeg) {
    std::vector<known::Pose> poses;
    known::rrrrPoses(crank, rocker, {crankDeg * std::acos(-1.0) / 180.0}, true, poses);
    return poses.at(0);
}

// The RR of one side of the crank-rocker, built for its pose at crankDeg.
inline std::shared_ptr<Dyad> sideDyad(const known::RevoluteSide &side, double crankDeg) {
    const known::Pose p = crankRockerPose(crankDeg);
    const known::Vec m = known::toFixed(p, side.movingLocal);
    return std::make_shared<RR>(side.fixedPivot.x, side.fixedPivot.y, m.x, m.y, p.x, p.y,
                                p.thetaDeg);
}

// The first n of: crank dyad, rocker dyad, spare RRs that take part in no mechanism here; all
// for the pose at crankDeg.
inline std::vector<std::shared_ptr<Dyad>> dyadsOfARun(int n, double crankDeg = 60.0) {
    std::vector<std::shared_ptr<Dyad>> dyads;
    const known::Pose p = crankRockerPose(crankDeg);
    for (int i = 0; i < n; ++i)
        dyads.push_back(i < 2 ? sideDyad(i == 0 ? crank : rocker, crankDeg)
                              : std::make_shared<RR>(-2.0 - i, 3.0, p.x, p.y, p.x, p.y, p.thetaDeg));
    return dyads;
}

// What a synthesis run leaves in the branch: cleared, then the pose list and the dyads.
inline void handToBranch(Branch &branch, const std::vector<std::shared_ptr<Dyad>> &dyads,
                         double crankDeg = 60.0) {
    branch.clearBranch();
    const known::Pose p = crankRockerPose(crankDeg);
    branch.setupPointList({Point(p.x, p.y, p.thetaDeg)});
    for (const std::shared_ptr<Dyad> &d : dyads)
        branch.createDyad(d);
}

template <typename T> T *child(const QWidget &w, const char *name) {
    return w.findChild<T *>(QString::fromLatin1(name));
}
inline QCheckBox *dyadBox(const Synthesis_Widget &p, int i) {
    return p.findChild<QCheckBox *>(QStringLiteral("checkBox_D%1").arg(i + 1));
}
inline QCheckBox *alternativeBox(const Synthesis_Widget &p, int i) {
    return p.findChild<QCheckBox *>(QStringLiteral("checkBox_DD%1").arg(i + 1));
}
inline void clickBox(QCheckBox *box) {
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, box->rect().center());
}

// The panel wired to a branch and an engine as the main window wires them.
struct Rig {
    Branch branch;
    MechanismSynthesis engine;
    Synthesis_Widget panel;
    Rig() {
        engine.setBranch(&branch);
        panel.setBranch(&branch);
        panel.setSynthesis(&engine);
        QObject::connect(&engine, QOverload<int, int>::of(&MechanismSynthesis::synthesisdone),
                         &panel, &Synthesis_Widget::updateWidget);
        QObject::connect(&branch, &Branch::mechanismUpdated, &panel,
                         &Synthesis_Widget::showTypeofMechanism);
    }
    void synthesisDone(int dyads) {
        handToBranch(branch, dyadsOfARun(dyads));
        emit engine.synthesisdone(dyads, 0);
    }
    bool shown() {
        panel.show();
        return QTest::qWaitForWindowExposed(&panel);
    }
};

} // namespace panelfix

using namespace panelfix;
