// The current four-bar as a DXF drawing for CAD programs: links, pivots, ground marks, sliders,
// the task's positions and the coupler curves, each kind on its own layer, in workspace units.
#pragma once

#include "MechanismSketch.h"

#include <QByteArray>

// Writes release 12 ASCII DXF (AC1009), the version every CAD program still reads: a header
// with the unit and the extents, the line type and layer tables, then the entities. Coupler
// curves are POLYLINEs, one per piece (or per stretch of a piece between poses that could not
// be placed); everything else is LINEs and CIRCLEs. Numbers carry ten significant digits and
// a non-finite point is never written.
class MechanismDxfExport {
public:
    explicit MechanismDxfExport(const MechanismSketch &sketch);

    // The header's $INSUNITS code of a workspace unit letter: 6 for metres, 1 for inches.
    static int insUnits(char unitLetter);

    QByteArray dxf() const;

private:
    void writeHeader(QByteArray &out, const MechanismSketch::Shapes &shapes) const;
    static void writeTables(QByteArray &out);
    static void writeEntities(QByteArray &out, const MechanismSketch::Shapes &shapes);

    const MechanismSketch &sketch;
};
