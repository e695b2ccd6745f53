// The window's whole state as a design and back: what Save Design writes, what Open Design, the
// recovery file and every Undo and Redo put back. Putting a design back goes through the same
// steps a user's commands take (the task replaced, synthesis run), so everything the window
// shows afterwards is made from the restored task, not copied from the file.
#include "Vendrel.h"

#include "Branch.h"
#include "Dyad.h"
#include "MechGLWidget.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "ProcessValues.h"
#include "RP.h"
#include "Synthesis_Widget.h"
#include "ui_Vendrel.h"

#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

namespace {

DesignFile::Dyad describe(const Dyad &d) {
    DesignFile::Dyad out;
    out.kind = d.typeName();
    // The reference geometry: an animation moves the pivots, not the dyad the user made.
    const Point f = d.fixedPivotRefCopy();
    const Point m = d.movingPivotRefCopy();
    const Point pose = d.poseCopy();
    out.fixedPivot = {f.x(), f.y()};
    out.movingPivot = {m.x(), m.y()};
    out.pose = {pose.x(), pose.y(), pose.z()};
    out.parameters = {d.parameter1(), d.parameter2(), d.parameter3(), d.parameter4(),
                      d.parameter5()};
    return out;
}

// Where a chosen dyad stands in the synthesized dyads followed by the first-pass ones.
int dyadIndex(const Branch &b, const Dyad *d) {
    const std::vector<Dyad *> all = b.getDyadListCpy();
    std::vector<Dyad *> firstPass = b.getFirstPassDyadsCpy();
    const auto at = [d](const std::vector<Dyad *> &list) {
        return static_cast<int>(std::find(list.begin(), list.end(), d) - list.begin());
    };
    if (const int i = at(all); i < static_cast<int>(all.size()))
        return i;
    if (const int k = at(firstPass); k < static_cast<int>(firstPass.size()))
        return static_cast<int>(all.size()) + k;
    return -1;
}

// Pivots that agree to the last few digits of the task's size: the same dyad, recomputed.
bool samePlace(const std::array<double, 2> &a, const std::array<double, 2> &b) {
    const double scale = std::max({1.0, std::abs(a[0]), std::abs(a[1])});
    return std::abs(a[0] - b[0]) <= 1e-9 * scale && std::abs(a[1] - b[1]) <= 1e-9 * scale;
}

int drawKind(const QString &kind) {
    return kind == QLatin1String("RR") ? 1 : kind == QLatin1String("RP") ? 2 : 3;
}

}  // namespace

DesignFile Vendrel::captureDesign() const {
    DesignFile d;
    const arma::mat &rows = synthesis->getData();
    const PointList &poses = motion->positions();
    for (arma::uword r = 0; r < rows.n_rows && rows.n_cols >= 3; ++r) {
        const int i = static_cast<int>(r);
        const double parameter = i < poses.size() ? poses.at(i).parameter : 0.0;
        d.positions.push_back({rows(r, 0), rows(r, 1), rows(r, 2), parameter});
    }
    QPointF start, end;
    d.lineDefined = synthesis->lineDefined && cartesianView()->lineConstraintEnds(start, end);
    if (d.lineDefined)
        d.lineEnds = {start.x(), start.y(), end.x(), end.y()};
    d.pointDefined = {synthesis->udp1Defined, synthesis->udp2Defined};
    if (synthesis->udp1Defined)
        d.points[0] = {synthesis->udp1.x(), synthesis->udp1.y()};
    if (synthesis->udp2Defined)
        d.points[1] = {synthesis->udp2.x(), synthesis->udp2.y()};
    d.fourPosition = ui->action4_Position->isChecked();
    d.threePosition = ui->action3_Position->isChecked();
    d.smartSynthesis = ui->actionSmartSynthesis->isChecked();
    d.toleranceDeg = toleranceDialog.getAngularTolerance();
    d.resolution = static_cast<int>(toleranceDialog.getToleranceResolution());
    d.positionTolerance = toleranceDialog.getPositionTolerance();
    d.thresholdExponent = ui->Threshold->value();
    d.linkRatio = ui->linkRatio->value();
    d.workspaceWidth = workspaceWidth;
    d.workspaceHeight = workspaceHeight;
    d.unit = unitLetter == 'i' ? 'i' : 'm';
    d.digits = significantDigits;
    const Branch::DyadHandles &list = branch->getDyadList();
    for (const Branch::DyadHandle &dyad : list)
        d.dyads.push_back(describe(*dyad));
    for (const Branch::DyadHandle &dyad : branch->getFirstPassDyads())
        d.alternatives.push_back(describe(*dyad));
    for (const Branch::DyadHandle &dyad : branch->getUserInputDyads())
        d.userDyads.push_back(describe(*dyad));
    d.movingFrameDefined = branch->isMovingFrameSet();
    if (d.movingFrameDefined) {
        const Point p = branch->getMovingFramePose();
        d.movingFrame = {p.x(), p.y(), p.z()};
    }
    if (const Mechanism *m = branch->getMechanism(); m && m->isSet()) {
        const int inputIndex = dyadIndex(*branch, m->getInputDyad());
        const int output = dyadIndex(*branch, m->getOutputDyad());
        if (inputIndex >= 0 && output >= 0)
            d.chosen = {inputIndex, output};
        d.circuitOpen = m->isCircuitOpen();
        // Twelve digits: putting the input back re-derives it from the assembled linkage,
        // which may move the last bits, and a design saved again must read the same.
        // A turning input is kept within half a turn either way: the same linkage.
        double input = m->getCounter();
        if (m->getInputDyad()->typeName() != QLatin1String("PR"))
            input = std::remainder(input, 360.0);
        d.input = QString::number(input, 'g', 12).toDouble();
    }
    return d;
}

void Vendrel::applyDesign(const DesignFile &d) {
    if (ui->actionPause->isEnabled())
        ui->actionPause->trigger();
    // Settings first: the synthesis below runs with them.
    workspaceDialog.setValues(d.workspaceWidth, d.workspaceHeight, d.unit, d.digits, d.linkRatio);
    workspaceWidth = d.workspaceWidth;
    workspaceHeight = d.workspaceHeight;
    unitLetter = d.unit;
    significantDigits = d.digits;
    toleranceDialog.setValues(d.positionTolerance, d.toleranceDeg, d.resolution);
    {
        // The boxes tell the engine; the engine must not run on the old task meanwhile.
        const QSignalBlocker quiet(synthesis.get());
        ui->Threshold->setValue(d.thresholdExponent);
        ui->linkRatio->setValue(d.linkRatio);
        synthesis->setThreshold(d.thresholdExponent);
        synthesis->setLinkRatioValue(d.linkRatio);
    }
    for (auto [action, on] : {std::pair{ui->action4_Position, d.fourPosition},
                              std::pair{ui->action3_Position, d.threePosition},
                              std::pair{ui->actionSmartSynthesis, d.smartSynthesis}}) {
        const QSignalBlocker quiet(action);
        action->setChecked(on);
    }
    onSmartSynthesisToggled(d.smartSynthesis);

    std::vector<TaskPosition> positions;
    for (const DesignFile::Position &p : d.positions)
        positions.push_back({p.x, p.y, p.thetaDeg, p.parameter});
    replaceTask(positions);
    synthesis->lineDefined = false;
    synthesis->udp1Defined = false;
    synthesis->udp2Defined = false;
    const QPointF ends[2] = {{d.lineEnds[0], d.lineEnds[1]}, {d.lineEnds[2], d.lineEnds[3]}};
    std::vector<Point> markers;
    {
        const QSignalBlocker quiet(synthesis.get());
        if (d.lineDefined)
            synthesis->updateLineParams(ends[0].x(), ends[0].y(), ends[1].x(), ends[1].y());
        for (size_t i = 0; i < 2; ++i) {
            if (!d.pointDefined[i])
                continue;
            synthesis->setUDP(d.points[i][0], d.points[i][1]);
            markers.emplace_back(d.points[i][0], d.points[i][1], 0.0);
        }
    }
    // A line the engine refused (two equal points in a hand-made file) is not drawn either.
    cartesianView()->restoreTaskMarks(synthesis->lineDefined ? ends : nullptr, markers);
    toSynthesize();
    restoreDyads(d);
    restoreUserDyads(d);
    if (const Mechanism *m = branch->getMechanism(); m && m->isSet()) {
        if (m->isCircuitOpen() != d.circuitOpen)
            d.circuitOpen ? setMechanismCircuitasopen() : setMechanismCircuitascrossed();
        branch->setMechanismInput(d.input);
    }
    emit dataChanged();
    showResult();
}

// The synthesis just run normally gives back the saved dyads. Where it does not (the user had
// moved a pivot, or another version of the program synthesizes differently), the saved
// geometry wins: the window shows the saved design.
void Vendrel::restoreDyads(const DesignFile &d) {
    const Branch::DyadHandles &list = branch->getDyadList();
    bool sameKinds = list.size() == d.dyads.size();
    for (size_t i = 0; sameKinds && i < list.size(); ++i)
        sameKinds = list[i]->typeName() == d.dyads[i].kind;
    if (!sameKinds) {
        std::vector<std::shared_ptr<Dyad>> rebuilt;
        for (const DesignFile::Dyad &s : d.dyads)
            rebuilt.push_back(Branch::makeDrawnDyad(
                drawKind(s.kind), s.fixedPivot[0], s.fixedPivot[1],
                s.kind == QLatin1String("RP") ? s.pose[0] : s.movingPivot[0],
                s.kind == QLatin1String("RP") ? s.pose[1] : s.movingPivot[1],
                Point(s.pose[0], s.pose[1], s.pose[2])));
        for (const std::shared_ptr<Dyad> &dyad : rebuilt)
            dyad->setUserInput(false);
        branch->clearSynthesized();
        for (const std::shared_ptr<Dyad> &dyad : rebuilt)
            branch->createDyad(dyad);
        panel->updateWidget(0, 0);
        setResultText(tr("Opened the saved dyads; synthesis of this task now gives %n other "
                         "dyad(s).",
                         nullptr, static_cast<int>(list.size())),
                      true);
    } else {
        for (size_t i = 0; i < list.size(); ++i) {
            Dyad &dyad = *list[i];
            const DesignFile::Dyad &s = d.dyads[i];
            const DesignFile::Dyad now = describe(dyad);
            if (samePlace(now.fixedPivot, s.fixedPivot) &&
                samePlace(now.movingPivot, s.movingPivot))
                continue;
            if (auto *rp = dynamic_cast<RP *>(&dyad)) {
                rp->setFixedPivot(Point(s.fixedPivot[0], s.fixedPivot[1], 0.0));
                // The handle lies on the block line's normal.
                rp->setBlockAngle(std::atan2(s.movingPivot[1] - s.fixedPivot[1],
                                             s.movingPivot[0] - s.fixedPivot[0]) *
                                      180.0 / PI -
                                  90.0);
            } else {
                dyad.setFixedPivot(Point(s.fixedPivot[0], s.fixedPivot[1], 0.0));
                dyad.setMovingPivot(Point(s.movingPivot[0], s.movingPivot[1], 0.0));
            }
            commitDyadEdit(dyad);
        }
    }
    if (d.chosen.size() != 2)
        return;
    // The panel numbers the alternative boxes after its dyad boxes.
    const int synthesized = static_cast<int>(d.dyads.size());
    const auto box = [synthesized](int i) {
        return i < synthesized ? i : Synthesis_Widget::boxCount + i - synthesized;
    };
    if (panel->choosePair(box(d.chosen[0]), box(d.chosen[1]))) {
        const Mechanism *m = branch->getMechanism();
        if (m && m->isSet() && dyadIndex(*branch, m->getInputDyad()) != d.chosen[0])
            branch->swapInputDyad();
    }
}

void Vendrel::restoreUserDyads(const DesignFile &d) {
    if (!d.movingFrameDefined && d.userDyads.empty())
        return;
    const int kindBefore = static_cast<int>(branch->getTodraw());
    if (d.movingFrameDefined) {
        branch->settodraw(0);
        branch->createUserDyad(d.movingFrame[0], d.movingFrame[1], 0.0, 0.0, d.movingFrame[2]);
    }
    for (const DesignFile::Dyad &s : d.userDyads) {
        branch->settodraw(drawKind(s.kind));
        // A drawn RP is given its block line through the pose's position.
        const bool rp = s.kind == QLatin1String("RP");
        branch->createUserDyad(s.fixedPivot[0], s.fixedPivot[1], rp ? s.pose[0] : s.movingPivot[0],
                               rp ? s.pose[1] : s.movingPivot[1], s.pose[2]);
    }
    branch->settodraw(kindBefore);
}
