// SVG drawing of the current four-bar: workspace frame, coupler curves, task positions, the
// mechanism at its current input, a scale bar and a caption, all in workspace units.
#include "MechanismSvgExport.h"

#include "Mechanism.h"

#include <QBuffer>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

namespace {

// The colours the Cartesian view draws the circuits in: red for the open one, blue for the
// crossed one, so a drawing and the screen read the same.
const QColor openCurveColour(192, 57, 43);
const QColor crossedCurveColour(31, 95, 191);
const QColor positionColour(39, 130, 67);
const QColor linkColour(30, 30, 30);
const QColor workspaceColour(150, 150, 150);

// Drawing size in millimetres of the longer side of the box, for viewers that honour it.
constexpr double drawingSizeMm = 200.0;
// Heights of the bands below and above the content, in glyph sizes.
constexpr double scaleBand = 4.5;
constexpr double captionBand = 7.0;

QPointF at(const Point &p) { return QPointF(p[0], p[1]); }

QPointF at(const Vec2 &p) { return QPointF(p.x, p.y); }

QPointF along(const QPointF &from, double angleDeg, double length) {
    const double a = degToRad(angleDeg);
    return from + QPointF(std::cos(a), std::sin(a)) * length;
}

QPolygonF polygon(const std::vector<Vec2> &points) {
    QPolygonF p;
    for (const Vec2 &v : points)
        p << at(v);
    return p;
}

QPen pen(const QColor &colour, double width) {
    QPen p(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setCosmetic(false);
    return p;
}

// Dashes of the given length in workspace units. The generator writes a dash pattern in units
// of the pen width, but of at least one unit, so the pattern is divided by that factor here.
QPen dashedPen(const QColor &colour, double width, double dash) {
    QPen p = pen(colour, width);
    const double perUnit = std::max(1.0, width);
    p.setCapStyle(Qt::FlatCap);
    p.setDashPattern({dash / perUnit, 0.6 * dash / perUnit});
    return p;
}

} // namespace

MechanismSvgExport::MechanismSvgExport(const Mechanism &m) : mechanism(m), sketch(m) {}

MechanismSvgExport::MechanismSvgExport(const MechanismSketch &s)
    : mechanism(s.mechanism()), sketch(s) {}

void MechanismSvgExport::setPositions(std::vector<Point> posesDeg) {
    sketch.setPositions(std::move(posesDeg));
}

void MechanismSvgExport::setTask(const Motion &motion) { sketch.setTask(motion); }

void MechanismSvgExport::setWorkspace(double width, double height) {
    sketch.setWorkspace(width, height);
}

void MechanismSvgExport::setUnitLetter(char letter) { sketch.setUnitLetter(letter); }

QString MechanismSvgExport::unitName() const {
    return sketch.unitLetter() == 'i' ? QStringLiteral("in") : QStringLiteral("m");
}

QRectF MechanismSvgExport::contentBox() const {
    const MechanismSketch::Box box = sketch.contentBox();
    return QRectF(at(box.low), at(box.high));
}

QRectF MechanismSvgExport::drawingBox() const {
    const double g = glyphSize();
    return contentBox().adjusted(0.0, -scaleBand * g, 0.0, captionBand * g);
}

double MechanismSvgExport::scaleBarLength(double drawingWidth) {
    if (!(drawingWidth > 0.0) || !std::isfinite(drawingWidth))
        return 1.0;
    const double most = drawingWidth / 5.0;
    const double decade = std::pow(10.0, std::floor(std::log10(most)));
    for (double step : {5.0, 2.0, 1.0}) {
        if (step * decade <= most)
            return step * decade;
    }
    return decade;
}

double MechanismSvgExport::glyphSize() const { return sketch.glyphSize(); }

double MechanismSvgExport::lineWidth() const { return 0.25 * glyphSize(); }

QByteArray MechanismSvgExport::svg() const {
    const QRectF box = drawingBox();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setTitle(QStringLiteral("Mechanism Synthesis: %1").arg(mechanism.typeName()));
    generator.setDescription(QStringLiteral("Four-bar, task positions and coupler curves in "
                                            "workspace units (%1)").arg(unitName()));
    // The file's user space is the plane with y turned down; the painter turns it back, so the
    // numbers written are workspace coordinates.
    generator.setViewBox(QRectF(box.left(), -box.bottom(), box.width(), box.height()));
    const double mmPerUnit = drawingSizeMm / std::max(box.width(), box.height());
    const int dotsPerInch = 96;
    generator.setResolution(dotsPerInch);
    const double pxPerUnit = mmPerUnit * dotsPerInch / 25.4;
    generator.setSize(QSize(qRound(box.width() * pxPerUnit), qRound(box.height() * pxPerUnit)));
    QPainter painter(&generator);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(QTransform(1.0, 0.0, 0.0, -1.0, 0.0, 0.0));
    paint(painter);
    painter.end();
    return bytes;
}

bool MechanismSvgExport::write(const QString &path) const {
    const QByteArray bytes = svg();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

void MechanismSvgExport::paint(QPainter &painter) const {
    drawWorkspace(painter);
    drawSketch(painter);
    drawPositionNumbers(painter);
    drawScaleBar(painter);
    drawCaption(painter);
}

void MechanismSvgExport::drawWorkspace(QPainter &painter) const {
    const double w = sketch.workspaceWidth(), h = sketch.workspaceHeight();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(drawingBox());
    painter.setPen(dashedPen(workspaceColour, 0.5 * lineWidth(), 1.5 * glyphSize()));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(-w / 2.0, -h / 2.0, w, h));
}

// Curves as one <path> per piece, every other chain as lines and polylines, then the round
// glyphs on top: pivots white so the links end at their rims, the coupler point solid.
void MechanismSvgExport::drawSketch(QPainter &painter) const {
    using Layer = MechanismSketch::Layer;
    const MechanismSketch::Shapes shapes = sketch.shapes();
    painter.setBrush(Qt::NoBrush);
    for (const MechanismSketch::Chain &chain : shapes.chains) {
        painter.setPen(pen(layerColour(chain.layer), lineWidth()));
        if (MechanismSketch::isCurve(chain.layer)) {
            QPainterPath path;
            path.addPolygon(polygon(chain.points));
            painter.drawPath(path);
        } else if (chain.points.size() == 2) {
            painter.drawLine(at(chain.points[0]), at(chain.points[1]));
        } else {
            painter.drawPolyline(polygon(chain.points));
        }
    }
    for (const MechanismSketch::Circle &circle : shapes.circles) {
        const QColor colour = layerColour(circle.layer);
        painter.setPen(pen(colour, lineWidth()));
        if (circle.layer == Layer::Pivots)
            painter.setBrush(Qt::white);
        else if (circle.layer == Layer::CouplerPoint)
            painter.setBrush(colour);
        else
            painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(at(circle.centre), circle.radius, circle.radius);
    }
}

QColor MechanismSvgExport::layerColour(MechanismSketch::Layer layer) {
    switch (layer) {
    case MechanismSketch::Layer::CouplerOpen:
        return openCurveColour;
    case MechanismSketch::Layer::CouplerCrossed:
        return crossedCurveColour;
    case MechanismSketch::Layer::Positions:
        return positionColour;
    default:
        return linkColour;
    }
}

// Each position's number beside its frame, between the two axes' ends.
void MechanismSvgExport::drawPositionNumbers(QPainter &painter) const {
    const std::vector<Point> &positions = sketch.positions();
    const double a = sketch.frameAxisLength();
    painter.setPen(pen(positionColour, lineWidth()));
    for (size_t i = 0; i < positions.size(); ++i) {
        const Point &p = positions[i];
        drawLabel(painter, along(at(p), p[2] - 45.0, 0.9 * a), QString::number(i + 1),
                  1.6 * glyphSize());
    }
}

void MechanismSvgExport::drawScaleBar(QPainter &painter) const {
    const QRectF box = contentBox();
    const double length = scaleBarLength(box.width());
    const double g = glyphSize();
    const QPointF start(box.left() + 2.0 * g, box.top() - 2.8 * g);
    const QPointF end = start + QPointF(length, 0.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen(linkColour, lineWidth()));
    painter.drawLine(start, end);
    for (const QPointF &tick : {start, end})
        painter.drawLine(tick + QPointF(0.0, -0.6 * g), tick + QPointF(0.0, 0.6 * g));
    drawLabel(painter, QPointF(start.x(), start.y() + 1.0 * g),
              QStringLiteral("%1 %2").arg(length).arg(unitName()), 1.6 * g);
}

void MechanismSvgExport::drawCaption(QPainter &painter) const {
    const QRectF box = contentBox();
    const double g = glyphSize();
    QString caption = mechanism.isSet()
                          ? QStringLiteral("%1, %2").arg(mechanism.typeName(), mechanism.className())
                          : QStringLiteral("No mechanism");
    if (mechanism.isSet())
        caption += mechanism.isCircuitOpen() ? QStringLiteral(", open circuit")
                                             : QStringLiteral(", crossed circuit");
    painter.setPen(pen(linkColour, lineWidth()));
    drawLabel(painter, QPointF(box.left() + 2.0 * g, box.bottom() + 4.6 * g), caption, 1.8 * g);
    // Legend of the two circuits' curve colours, side by side under the caption.
    const double y = box.bottom() + 1.6 * g;
    for (bool open : {true, false}) {
        const double x = box.left() + (open ? 2.0 : 18.0) * g;
        painter.setPen(pen(open ? openCurveColour : crossedCurveColour, lineWidth()));
        painter.drawLine(QPointF(x, y + 0.5 * g), QPointF(x + 3.0 * g, y + 0.5 * g));
        drawLabel(painter, QPointF(x + 4.0 * g, y),
                  open ? QStringLiteral("open circuit") : QStringLiteral("crossed circuit"),
                  1.4 * g);
    }
}

void MechanismSvgExport::drawLabel(QPainter &painter, const QPointF &where, const QString &text,
                                   double height) const {
    // Text is laid out in a frame of 100 units per label height with y down, placed at the
    // anchor (its baseline's start) in the drawing's y-up frame.
    constexpr int fontPixels = 100;
    painter.save();
    painter.translate(where);
    const double k = height / fontPixels;
    painter.scale(k, -k);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(fontPixels);
    painter.setFont(font);
    painter.drawText(QPointF(0.0, 0.0), text);
    painter.restore();
}
