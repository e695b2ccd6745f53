// A drawing of the current four-bar for CAD and reports: the mechanism at its current input,
// its pivots, the task's positions and the traced coupler curves, as SVG in workspace units.
#pragma once

#include "MechanismSketch.h"
#include "Point.h"

#include <QByteArray>
#include <QColor>
#include <QRectF>
#include <QString>
#include <vector>

class Mechanism;
class Motion;
class QPainter;
class QPointF;

// One SVG user unit is one workspace unit and y points up as in the Cartesian view, so every
// coordinate in the file is the workspace coordinate itself. Only the coupler curves are drawn
// as <path> elements (one per piece, or per stretch of a piece between poses that could not be
// placed); everything else is lines, polylines, ellipses, rectangles and text, so a reader can
// pick the curves out by element.
class MechanismSvgExport {
public:
    explicit MechanismSvgExport(const Mechanism &mechanism);
    // The drawing of a sketch set up already (task, workspace, unit).
    explicit MechanismSvgExport(const MechanismSketch &sketch);

    // Poses (x, y, theta in degrees) drawn as small frames with their numbers.
    void setPositions(std::vector<Point> posesDeg);
    // The task's positions (the motion keeps image-space points, theta in radians).
    void setTask(const Motion &motion);
    // Workspace box centred on the origin; the process-wide settings by default.
    void setWorkspace(double width, double height);
    // 'm' or 'i', as the settings dialog gives it.
    void setUnitLetter(char letter);

    // The part of the plane the drawing shows (y up): contentBox() with a band above it for the
    // caption and the legend and one below for the scale bar. Curves that run beyond it stay in
    // the file, cut by the view box.
    QRectF drawingBox() const;
    // The workspace, the mechanism and the positions, with a margin of 5 % of its longer side.
    QRectF contentBox() const;
    // The length of the scale bar for a drawing of this width: 1, 2 or 5 times a power of ten,
    // the longest such length not over a fifth of the width.
    static double scaleBarLength(double drawingWidth);
    // The unit's name on the scale bar.
    QString unitName() const;

    QByteArray svg() const;
    // Writes svg() to path; false (and no file) when it cannot be written.
    bool write(const QString &path) const;

private:
    void paint(QPainter &painter) const;
    void drawWorkspace(QPainter &painter) const;
    void drawSketch(QPainter &painter) const;
    void drawPositionNumbers(QPainter &painter) const;
    void drawScaleBar(QPainter &painter) const;
    void drawCaption(QPainter &painter) const;
    static QColor layerColour(MechanismSketch::Layer layer);
    // Text reads upright although the drawing's y axis points up; height in workspace units.
    void drawLabel(QPainter &painter, const QPointF &at, const QString &text,
                   double height) const;
    // Size of the small glyphs (pivots, frames, blocks) for this drawing.
    double glyphSize() const;
    double lineWidth() const;

    const Mechanism &mechanism;
    // What is drawn and where; this class adds the colours, the labels and the frame around it.
    MechanismSketch sketch;
};
