// The shared line drawing of the current four-bar for the SVG and DXF exports: where each link,
// pivot, ground mark, slider, task frame and curve piece lies, in workspace units.
#include "MechanismSketch.h"

#include "Dyad.h"
#include "Mechanism.h"
#include "Motion.h"
#include "PointList.h"
#include "ProcessValues.h"

#include <algorithm>

namespace {

Vec2 at(const Point &p) { return {p[0], p[1]}; }

Vec2 along(const Vec2 &from, double angleDeg, double length) {
    return from + Vec2::unitDeg(angleDeg) * length;
}

void grow(MechanismSketch::Box &box, const Vec2 &p) {
    if (!p.isFinite())
        return;
    box.low = {std::min(box.low.x, p.x), std::min(box.low.y, p.y)};
    box.high = {std::max(box.high.x, p.x), std::max(box.high.y, p.y)};
}

// A block (a slider's or a swinging block's body) as a closed outline: half sizes along and
// across its line.
std::vector<Vec2> blockOutline(const Vec2 &centre, double angleDeg, double halfAlong,
                               double halfAcross) {
    const Vec2 u = Vec2::unitDeg(angleDeg) * halfAlong;
    const Vec2 n = Vec2::unitDeg(angleDeg).perp() * halfAcross;
    return {centre + u + n, centre - u + n, centre - u - n, centre + u - n, centre + u + n};
}

// Radii of the round glyphs, in glyph sizes.
constexpr double pivotRadius = 0.5;
constexpr double positionOriginRadius = 0.3;
constexpr double couplerPointRadius = 0.35;

} // namespace

MechanismSketch::MechanismSketch(const Mechanism &m)
    : linkage(m), workspaceW(::workspaceWidth), workspaceH(::workspaceHeight),
      unit(::unitLetter) {}

namespace {

struct LayerEntry {
    MechanismSketch::Layer layer;
    const char *name;
};

// Every layer with its name in a CAD file, in the order a CAD program lists them.
const std::vector<LayerEntry> &layerTable() {
    using Layer = MechanismSketch::Layer;
    static const std::vector<LayerEntry> table = {
        {Layer::Links, "LINKS"},
        {Layer::Sliders, "SLIDERS"},
        {Layer::Ground, "GROUND"},
        {Layer::Pivots, "PIVOTS"},
        {Layer::CouplerPoint, "COUPLER_POINT"},
        {Layer::Positions, "POSITIONS"},
        {Layer::CouplerOpen, "COUPLER_OPEN"},
        {Layer::CouplerCrossed, "COUPLER_CROSSED"},
    };
    return table;
}

} // namespace

const std::vector<MechanismSketch::Layer> &MechanismSketch::layers() {
    static const std::vector<Layer> all = [] {
        std::vector<Layer> layers;
        for (const LayerEntry &entry : layerTable())
            layers.push_back(entry.layer);
        return layers;
    }();
    return all;
}

const char *MechanismSketch::layerName(Layer layer) {
    for (const LayerEntry &entry : layerTable())
        if (entry.layer == layer)
            return entry.name;
    abortOnInvariant("MechanismSketch: a layer without a name");
}

void MechanismSketch::setPositions(std::vector<Point> posesDeg) { poses = std::move(posesDeg); }

void MechanismSketch::setTask(const Motion &motion) {
    std::vector<Point> taskPoses;
    const PointList &images = motion.positions();
    for (int i = 0; i < images.size(); ++i) {
        const Point pose = toCartesian(images.ref(i));
        taskPoses.emplace_back(pose[0], pose[1], radToDeg(pose[2]));
    }
    setPositions(std::move(taskPoses));
}

void MechanismSketch::setWorkspace(double width, double height) {
    workspaceW = width;
    workspaceH = height;
}

MechanismSketch::Box MechanismSketch::contentBox() const {
    Box box{{-workspaceW / 2.0, -workspaceH / 2.0}, {workspaceW / 2.0, workspaceH / 2.0}};
    for (const Point &p : poses)
        grow(box, at(p));
    if (linkage.isSet()) {
        for (const Dyad *d : {linkage.getInputDyad(), linkage.getOutputDyad()}) {
            grow(box, at(d->fixedPivotCopy()));
            grow(box, at(d->movingPivotCopy()));
        }
    }
    if (linkage.hasCouplerPoint())
        grow(box, at(linkage.couplerPoint()));
    const double margin = 0.05 * std::max(box.width(), box.height());
    return {box.low - Vec2(margin, margin), box.high + Vec2(margin, margin)};
}

double MechanismSketch::glyphSize() const {
    const Box box = contentBox();
    return 0.012 * std::max(box.width(), box.height());
}

std::vector<std::vector<Vec2>> MechanismSketch::finiteRuns(const PointList &piece) {
    std::vector<std::vector<Vec2>> runs(1);
    for (int i = 0; i < piece.size(); ++i) {
        const Vec2 p = at(piece.ref(i));
        if (p.isFinite())
            runs.back().push_back(p);
        else if (!runs.back().empty())
            runs.emplace_back();
    }
    runs.erase(std::remove_if(runs.begin(), runs.end(),
                              [](const std::vector<Vec2> &r) { return r.size() < 2; }),
               runs.end());
    return runs;
}

MechanismSketch::Shapes MechanismSketch::shapes() const {
    Shapes s;
    addCurves(s);
    addPositions(s);
    if (linkage.isSet()) {
        addDyad(s, *linkage.getInputDyad());
        addDyad(s, *linkage.getOutputDyad());
        addCoupler(s);
    }
    return s;
}

void MechanismSketch::addCurves(Shapes &s) const {
    using Circuits = CouplerCurveExport::Circuits;
    for (bool open : {true, false}) {
        if (circuits == (open ? Circuits::Crossed : Circuits::Open))
            continue;
        const Layer layer = open ? Layer::CouplerOpen : Layer::CouplerCrossed;
        for (int k = 0; k < 3; ++k) {
            const PointList &piece = open ? linkage.openCurve(k) : linkage.crossedCurve(k);
            for (std::vector<Vec2> &run : finiteRuns(piece))
                s.chains.push_back({layer, std::move(run)});
        }
    }
}

// Each position as the moving frame's axes: x along theta, y a little shorter.
void MechanismSketch::addPositions(Shapes &s) const {
    const double a = frameAxisLength();
    for (const Point &p : poses) {
        const Vec2 origin = at(p);
        if (!origin.isFinite() || !std::isfinite(p[2]))
            continue;
        s.chains.push_back({Layer::Positions, {origin, along(origin, p[2], a)}});
        s.chains.push_back({Layer::Positions, {origin, along(origin, p[2] + 90.0, 0.6 * a)}});
        s.circles.push_back({Layer::Positions, origin, positionOriginRadius * glyphSize()});
    }
}

// RR: crank between the pivots. PR: the ground line through the slider's start and a block at
// the moving pivot. RP: the offset arm and the coupler's line with the block on it.
void MechanismSketch::addDyad(Shapes &s, const Dyad &dyad) const {
    const double g = glyphSize();
    const Vec2 fixed = at(dyad.fixedPivotCopy());
    const Vec2 moving = at(dyad.movingPivotCopy());
    if (!fixed.isFinite() || !moving.isFinite())
        return;
    const QString kind = dyad.typeName();
    if (kind == QLatin1String("PR")) {
        const double slideDeg = dyad.getLinkAngle();
        const Vec2 u = Vec2::unitDeg(slideDeg);
        const double reach = (moving - fixed).dot(u);
        const double from = std::min(0.0, reach) - 4.0 * g, to = std::max(0.0, reach) + 4.0 * g;
        s.chains.push_back({Layer::Sliders, {fixed + u * from, fixed + u * to}});
        s.chains.push_back({Layer::Sliders, blockOutline(moving, slideDeg, 1.5 * g, 0.8 * g)});
    } else if (kind == QLatin1String("RP")) {
        const double lineDeg = (moving - fixed).angleDeg() + 90.0;
        s.chains.push_back({Layer::Links, {fixed, moving}});
        s.chains.push_back(
            {Layer::Sliders, {along(moving, lineDeg, -6.0 * g), along(moving, lineDeg, 6.0 * g)}});
        s.chains.push_back({Layer::Sliders, blockOutline(moving, lineDeg, 1.5 * g, 0.8 * g)});
    } else {
        s.chains.push_back({Layer::Links, {fixed, moving}});
    }
    addGround(s, fixed);
    s.circles.push_back({Layer::Pivots, fixed, pivotRadius * g});
    s.circles.push_back({Layer::Pivots, moving, pivotRadius * g});
}

// Ground mark: a triangle under the fixed pivot with four hatch strokes under its base.
void MechanismSketch::addGround(Shapes &s, const Vec2 &fixed) const {
    const double g = glyphSize();
    s.chains.push_back(
        {Layer::Ground, {fixed, fixed + Vec2(-g, -1.6 * g), fixed + Vec2(g, -1.6 * g), fixed}});
    for (int k = 0; k < 4; ++k) {
        const Vec2 base = fixed + Vec2(-g + k * 0.66 * g, -1.6 * g);
        s.chains.push_back({Layer::Ground, {base, base + Vec2(-0.5 * g, -0.5 * g)}});
    }
}

// The coupler as the outline through both moving pivots and the coupler point, and the
// coupler point's frame at its current pose.
void MechanismSketch::addCoupler(Shapes &s) const {
    const Vec2 m1 = at(linkage.getInputDyad()->movingPivotCopy());
    const Vec2 m2 = at(linkage.getOutputDyad()->movingPivotCopy());
    if (!m1.isFinite() || !m2.isFinite())
        return;
    if (!linkage.hasCouplerPoint()) {
        s.chains.push_back({Layer::Links, {m1, m2}});
        return;
    }
    const Point pose = linkage.couplerPoint();
    const Vec2 c = at(pose);
    if (!c.isFinite())
        return;
    s.chains.push_back({Layer::Links, {m1, m2, c, m1}});
    const double a = 3.0 * glyphSize();
    s.chains.push_back({Layer::CouplerPoint, {c, along(c, pose[2], a)}});
    s.chains.push_back({Layer::CouplerPoint, {c, along(c, pose[2] + 90.0, 0.6 * a)}});
    s.circles.push_back({Layer::CouplerPoint, c, couplerPointRadius * glyphSize()});
}
