// DXF text of the current four-bar: the shared sketch written as R12 group codes and values.
#include "MechanismDxfExport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

using Layer = MechanismSketch::Layer;

// A DXF file is pairs of lines: a group code (right-aligned in three columns, as CAD programs
// write it) and its value.
void group(QByteArray &out, int code, const QByteArray &value) {
    char codeText[16];
    std::snprintf(codeText, sizeof codeText, "%3d\n", code);
    out += codeText;
    out += value;
    out += '\n';
}

void group(QByteArray &out, int code, double value) {
    // Ten significant digits keep a nanometre on a metre-sized linkage.
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    group(out, code, QByteArray(text));
}

void group(QByteArray &out, int code, int value) { group(out, code, QByteArray::number(value)); }

// A point as the codes 10/20/30 (first point) or 11/21/31 (second); drawings lie in z = 0.
void point(QByteArray &out, int xCode, const Vec2 &p) {
    group(out, xCode, p.x);
    group(out, xCode + 10, p.y);
    group(out, xCode + 20, 0.0);
}

void entity(QByteArray &out, const char *type, Layer layer) {
    group(out, 0, QByteArray(type));
    group(out, 8, QByteArray(MechanismSketch::layerName(layer)));
}

// AutoCAD colour index of each layer: the view's red and blue for the circuits, green for the
// task, grey for the ground, white (black on a light background) for the rest.
int layerColour(Layer layer) {
    switch (layer) {
    case Layer::CouplerOpen:
        return 1;
    case Layer::CouplerCrossed:
        return 5;
    case Layer::Positions:
        return 3;
    case Layer::Ground:
        return 8;
    default:
        return 7;
    }
}

void line(QByteArray &out, Layer layer, const Vec2 &from, const Vec2 &to) {
    entity(out, "LINE", layer);
    point(out, 10, from);
    point(out, 11, to);
}

// R12 keeps a polyline as a POLYLINE header ("vertices follow"), its VERTEX entities and SEQEND.
void polyline(QByteArray &out, Layer layer, const std::vector<Vec2> &points) {
    entity(out, "POLYLINE", layer);
    group(out, 66, 1);
    point(out, 10, Vec2());
    group(out, 70, 0);
    for (const Vec2 &p : points) {
        entity(out, "VERTEX", layer);
        point(out, 10, p);
    }
    entity(out, "SEQEND", layer);
}

void section(QByteArray &out, const char *name) {
    group(out, 0, QByteArray("SECTION"));
    group(out, 2, QByteArray(name));
}

void endSection(QByteArray &out) { group(out, 0, QByteArray("ENDSEC")); }

struct Extents {
    Vec2 low{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    Vec2 high{-std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()};
    void add(const Vec2 &p) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    bool empty() const { return low.x > high.x; }
};

} // namespace

MechanismDxfExport::MechanismDxfExport(const MechanismSketch &s) : sketch(s) {}

int MechanismDxfExport::insUnits(char unitLetter) { return unitLetter == 'i' ? 1 : 6; }

QByteArray MechanismDxfExport::dxf() const {
    const MechanismSketch::Shapes shapes = sketch.shapes();
    QByteArray out;
    writeHeader(out, shapes);
    writeTables(out);
    writeEntities(out, shapes);
    group(out, 0, QByteArray("EOF"));
    return out;
}

// The extents cover every point written, so a CAD program's "zoom all" frames the drawing;
// an empty drawing reports the origin.
void MechanismDxfExport::writeHeader(QByteArray &out,
                                     const MechanismSketch::Shapes &shapes) const {
    Extents e;
    for (const MechanismSketch::Chain &chain : shapes.chains)
        for (const Vec2 &p : chain.points)
            if (p.isFinite())
                e.add(p);
    for (const MechanismSketch::Circle &c : shapes.circles) {
        if (!c.centre.isFinite() || !std::isfinite(c.radius))
            continue;
        e.add(c.centre - Vec2(c.radius, c.radius));
        e.add(c.centre + Vec2(c.radius, c.radius));
    }
    if (e.empty())
        e.add(Vec2());
    section(out, "HEADER");
    group(out, 9, QByteArray("$ACADVER"));
    group(out, 1, QByteArray("AC1009"));
    group(out, 9, QByteArray("$INSUNITS"));
    group(out, 70, insUnits(sketch.unitLetter()));
    group(out, 9, QByteArray("$EXTMIN"));
    point(out, 10, e.low);
    group(out, 9, QByteArray("$EXTMAX"));
    point(out, 10, e.high);
    endSection(out);
}

// The solid line type and one layer per kind of shape, declared before any entity names them.
void MechanismDxfExport::writeTables(QByteArray &out) {
    section(out, "TABLES");
    group(out, 0, QByteArray("TABLE"));
    group(out, 2, QByteArray("LTYPE"));
    group(out, 70, 1);
    group(out, 0, QByteArray("LTYPE"));
    group(out, 2, QByteArray("CONTINUOUS"));
    group(out, 70, 0);
    group(out, 3, QByteArray("Solid line"));
    group(out, 72, 65);
    group(out, 73, 0);
    group(out, 40, 0.0);
    group(out, 0, QByteArray("ENDTAB"));
    const std::vector<Layer> &layers = MechanismSketch::layers();
    group(out, 0, QByteArray("TABLE"));
    group(out, 2, QByteArray("LAYER"));
    group(out, 70, static_cast<int>(layers.size()));
    for (Layer layer : layers) {
        group(out, 0, QByteArray("LAYER"));
        group(out, 2, QByteArray(MechanismSketch::layerName(layer)));
        group(out, 70, 0);
        group(out, 62, layerColour(layer));
        group(out, 6, QByteArray("CONTINUOUS"));
    }
    group(out, 0, QByteArray("ENDTAB"));
    endSection(out);
}

// Curves become polylines; every other chain is taken apart into lines, which every program
// selects, measures and snaps to alike. The sketch's curve runs are finite already; any other
// line with an end that is not is left out rather than written as NaN.
void MechanismDxfExport::writeEntities(QByteArray &out, const MechanismSketch::Shapes &shapes) {
    section(out, "ENTITIES");
    for (const MechanismSketch::Chain &chain : shapes.chains) {
        if (MechanismSketch::isCurve(chain.layer)) {
            polyline(out, chain.layer, chain.points);
            continue;
        }
        for (size_t i = 1; i < chain.points.size(); ++i)
            if (chain.points[i - 1].isFinite() && chain.points[i].isFinite())
                line(out, chain.layer, chain.points[i - 1], chain.points[i]);
    }
    for (const MechanismSketch::Circle &c : shapes.circles) {
        if (!c.centre.isFinite() || !std::isfinite(c.radius))
            continue;
        entity(out, "CIRCLE", c.layer);
        point(out, 10, c.centre);
        group(out, 40, c.radius);
    }
    endSection(out);
}
