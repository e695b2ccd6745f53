// The line drawing of a four-bar that the drawing exports share: the mechanism at its current
// input, the task's positions and the traced coupler curves, as chains and circles on layers.
#pragma once

#include "CouplerCurveExport.h"
#include "Point.h"
#include "Vec2.h"

#include <vector>

class Dyad;
class Mechanism;
class Motion;
class PointList;

// Everything is in workspace units in the fixed frame, y up. The glyphs (pivots, frames, blocks,
// ground marks) are sized from the drawing's extent, so a small linkage and a large one look
// alike. It only reads the mechanism; nothing here moves or traces it.
class MechanismSketch {
public:
    enum class Layer {
        Links,           // cranks, arms and the coupler's outline
        Sliders,         // the lines a P joint slides on and the blocks on them
        Ground,          // the mark under each fixed pivot
        Pivots,          // fixed and moving pivots
        CouplerPoint,    // the coupler point and its frame at the current input
        Positions,       // the task's positions as small frames
        CouplerOpen,     // traced coupler curve, open circuit
        CouplerCrossed,  // traced coupler curve, crossed circuit
    };
    static const std::vector<Layer> &layers();
    // The layer's name in a CAD file: upper case, no spaces ("COUPLER_OPEN").
    static const char *layerName(Layer layer);
    static bool isCurve(Layer layer) {
        return layer == Layer::CouplerOpen || layer == Layer::CouplerCrossed;
    }

    // Straight lines from point to point; two points make one line.
    struct Chain {
        Layer layer;
        std::vector<Vec2> points;
    };
    struct Circle {
        Layer layer;
        Vec2 centre;
        double radius;
    };
    struct Box {
        Vec2 low, high;
        double width() const { return high.x - low.x; }
        double height() const { return high.y - low.y; }
    };
    // Chains first in drawing order (curves, positions, dyads, coupler), then circles.
    struct Shapes {
        std::vector<Chain> chains;
        std::vector<Circle> circles;
    };

    explicit MechanismSketch(const Mechanism &mechanism);

    // Poses (x, y, theta in degrees) drawn as small frames.
    void setPositions(std::vector<Point> posesDeg);
    // The task's positions (the motion keeps image-space points, theta in radians).
    void setTask(const Motion &motion);
    // Workspace box centred on the origin; the process-wide settings by default.
    void setWorkspace(double width, double height);
    // 'm' or 'i', as the settings dialog gives it; the process-wide setting by default.
    void setUnitLetter(char letter) { unit = letter; }
    // Which circuits' curves are drawn (both by default).
    void setCircuits(CouplerCurveExport::Circuits which) { circuits = which; }

    const Mechanism &mechanism() const { return linkage; }
    const std::vector<Point> &positions() const { return poses; }
    double workspaceWidth() const { return workspaceW; }
    double workspaceHeight() const { return workspaceH; }
    char unitLetter() const { return unit; }

    // The workspace, the mechanism and the positions, with a margin of 5 % of its longer side.
    Box contentBox() const;
    // Size of the small glyphs for this drawing.
    double glyphSize() const;
    // Length of a position frame's x axis; its y axis is 0.6 of it.
    double frameAxisLength() const { return 2.5 * glyphSize(); }

    Shapes shapes() const;

    // The stretches of a traced piece between non-finite poses, each of two points or more: a
    // pose the sweep could not place breaks the curve rather than joining across the gap.
    static std::vector<std::vector<Vec2>> finiteRuns(const PointList &piece);

private:
    void addCurves(Shapes &s) const;
    void addPositions(Shapes &s) const;
    void addDyad(Shapes &s, const Dyad &dyad) const;
    void addGround(Shapes &s, const Vec2 &fixed) const;
    void addCoupler(Shapes &s) const;

    const Mechanism &linkage;
    std::vector<Point> poses;
    double workspaceW;
    double workspaceH;
    char unit;
    CouplerCurveExport::Circuits circuits = CouplerCurveExport::Circuits::Both;
};
