// SVG drawing of the current four-bar: workspace frame, coupler curves, task positions, the
// mechanism at its current input, a scale bar and a caption, all in workspace units.
#include "MechanismSvgExport.h"

#include "Dyad.h"
#include "Mechanism.h"
#include "Motion.h"
#include "ProcessValues.h"

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

QPointF along(const QPointF &from, double angleDeg, double length) {
    const double a = degToRad(angleDeg);
    return from + QPointF(std::cos(a), std::sin(a)) * length;
}

bool finitePoint(const QPointF &p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

QRectF unite(const QRectF &box, const QPointF &p) {
    if (!finitePoint(p))
        return box;
    return box.united(QRectF(p, QSizeF(0.0, 0.0)));
}

// A block (a slider's or a swinging block's body) as a closed outline, so that it stays a
// polyline in the file: half sizes along and across its line.
QPolygonF blockOutline(const QPointF &centre, double angleDeg, double halfAlong,
                       double halfAcross) {
    const QPointF u = along(QPointF(), angleDeg, 1.0);
    const QPointF n(-u.y(), u.x());
    QPolygonF outline;
    outline << centre + u * halfAlong + n * halfAcross << centre - u * halfAlong + n * halfAcross
            << centre - u * halfAlong - n * halfAcross << centre + u * halfAlong - n * halfAcross
            << centre + u * halfAlong + n * halfAcross;
    return outline;
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

MechanismSvgExport::MechanismSvgExport(const Mechanism &m)
    : mechanism(m), workspaceW(workspaceWidth), workspaceH(workspaceHeight), unit(unitLetter) {}

void MechanismSvgExport::setPositions(std::vector<Point> posesDeg) {
    positions = std::move(posesDeg);
}

void MechanismSvgExport::setTask(const Motion &motion) {
    std::vector<Point> poses;
    const PointList &images = motion.positions();
    for (int i = 0; i < images.size(); ++i) {
        const Point pose = toCartesian(images.ref(i));
        poses.emplace_back(pose[0], pose[1], radToDeg(pose[2]));
    }
    setPositions(std::move(poses));
}

void MechanismSvgExport::setWorkspace(double width, double height) {
    workspaceW = width;
    workspaceH = height;
}

void MechanismSvgExport::setUnitLetter(char letter) { unit = letter; }

QString MechanismSvgExport::unitName() const {
    return unit == 'i' ? QStringLiteral("in") : QStringLiteral("m");
}

QRectF MechanismSvgExport::contentBox() const {
    QRectF box(-workspaceW / 2.0, -workspaceH / 2.0, workspaceW, workspaceH);
    for (const Point &p : positions)
        box = unite(box, at(p));
    if (mechanism.isSet()) {
        for (const Dyad *d : {mechanism.getInputDyad(), mechanism.getOutputDyad()}) {
            box = unite(box, at(d->fixedPivotCopy()));
            box = unite(box, at(d->movingPivotCopy()));
        }
    }
    if (mechanism.hasCouplerPoint())
        box = unite(box, at(mechanism.couplerPoint()));
    const double margin = 0.05 * std::max(box.width(), box.height());
    return box.adjusted(-margin, -margin, margin, margin);
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

double MechanismSvgExport::glyphSize() const {
    const QRectF box = contentBox();
    return 0.012 * std::max(box.width(), box.height());
}

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
    drawCurves(painter);
    drawPositions(painter);
    drawMechanism(painter);
    drawScaleBar(painter);
    drawCaption(painter);
}

void MechanismSvgExport::drawWorkspace(QPainter &painter) const {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(drawingBox());
    painter.setPen(dashedPen(workspaceColour, 0.5 * lineWidth(), 1.5 * glyphSize()));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(-workspaceW / 2.0, -workspaceH / 2.0, workspaceW, workspaceH));
}

void MechanismSvgExport::drawCurves(QPainter &painter) const {
    painter.setBrush(Qt::NoBrush);
    for (bool open : {true, false}) {
        painter.setPen(pen(open ? openCurveColour : crossedCurveColour, lineWidth()));
        for (int k = 0; k < 3; ++k) {
            const PointList &piece = open ? mechanism.openCurve(k) : mechanism.crossedCurve(k);
            if (piece.isEmpty())
                continue;
            QPainterPath path(at(piece.ref(0)));
            for (int i = 1; i < piece.size(); ++i)
                path.lineTo(at(piece.ref(i)));
            painter.drawPath(path);
        }
    }
}

// Each position as the moving frame's axes: x along theta, y a little shorter, and its number.
void MechanismSvgExport::drawPositions(QPainter &painter) const {
    const double a = 2.5 * glyphSize();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen(positionColour, lineWidth()));
    for (size_t i = 0; i < positions.size(); ++i) {
        const Point &p = positions[i];
        const QPointF origin = at(p);
        painter.drawLine(origin, along(origin, p[2], a));
        painter.drawLine(origin, along(origin, p[2] + 90.0, 0.6 * a));
        painter.drawEllipse(origin, 0.3 * glyphSize(), 0.3 * glyphSize());
        drawLabel(painter, along(origin, p[2] - 45.0, 0.9 * a), QString::number(i + 1),
                  1.6 * glyphSize());
    }
}

void MechanismSvgExport::drawMechanism(QPainter &painter) const {
    if (!mechanism.isSet())
        return;
    drawDyad(painter, *mechanism.getInputDyad());
    drawDyad(painter, *mechanism.getOutputDyad());
    drawCoupler(painter);
}

// RR: crank between the pivots. PR: the ground line through the slider's start and a block at
// the moving pivot. RP: the offset arm and the coupler's line with the block on it.
void MechanismSvgExport::drawDyad(QPainter &painter, const Dyad &dyad) const {
    const double g = glyphSize();
    const QPointF fixed = at(dyad.fixedPivotCopy());
    const QPointF moving = at(dyad.movingPivotCopy());
    if (!finitePoint(fixed) || !finitePoint(moving))
        return;
    const QString kind = dyad.typeName();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen(linkColour, lineWidth()));
    if (kind == QLatin1String("PR")) {
        const double slideDeg = dyad.getLinkAngle();
        const QPointF u = along(QPointF(), slideDeg, 1.0);
        const double reach = QPointF::dotProduct(moving - fixed, u);
        const double from = std::min(0.0, reach) - 4.0 * g, to = std::max(0.0, reach) + 4.0 * g;
        painter.drawLine(fixed + u * from, fixed + u * to);
        painter.drawPolyline(blockOutline(moving, slideDeg, 1.5 * g, 0.8 * g));
    } else if (kind == QLatin1String("RP")) {
        const double lineDeg = (Vec2(moving.x(), moving.y()) - Vec2(fixed.x(), fixed.y()))
                                   .angleDeg() + 90.0;
        painter.drawLine(fixed, moving);
        painter.drawLine(along(moving, lineDeg, -6.0 * g), along(moving, lineDeg, 6.0 * g));
        painter.drawPolyline(blockOutline(moving, lineDeg, 1.5 * g, 0.8 * g));
    } else {
        painter.drawLine(fixed, moving);
    }
    // Ground symbol: a triangle under the fixed pivot with a hatched base.
    QPolygonF ground;
    ground << fixed << fixed + QPointF(-g, -1.6 * g) << fixed + QPointF(g, -1.6 * g) << fixed;
    painter.drawPolyline(ground);
    for (int k = 0; k < 4; ++k) {
        const QPointF base = fixed + QPointF(-g + k * 0.66 * g, -1.6 * g);
        painter.drawLine(base, base + QPointF(-0.5 * g, -0.5 * g));
    }
    painter.setBrush(Qt::white);
    painter.drawEllipse(fixed, 0.5 * g, 0.5 * g);
    painter.drawEllipse(moving, 0.5 * g, 0.5 * g);
}

// The coupler as the outline through both moving pivots and the coupler point, and the
// coupler point's frame at its current pose.
void MechanismSvgExport::drawCoupler(QPainter &painter) const {
    const QPointF m1 = at(mechanism.getInputDyad()->movingPivotCopy());
    const QPointF m2 = at(mechanism.getOutputDyad()->movingPivotCopy());
    if (!finitePoint(m1) || !finitePoint(m2))
        return;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen(linkColour, 1.4 * lineWidth()));
    QPolygonF body;
    body << m1 << m2;
    if (mechanism.hasCouplerPoint())
        body << at(mechanism.couplerPoint());
    body << m1;
    painter.drawPolyline(body);
    if (!mechanism.hasCouplerPoint())
        return;
    const Point c = mechanism.couplerPoint();
    const double a = 3.0 * glyphSize();
    painter.setPen(pen(linkColour, lineWidth()));
    painter.drawLine(at(c), along(at(c), c[2], a));
    painter.drawLine(at(c), along(at(c), c[2] + 90.0, 0.6 * a));
    painter.setBrush(linkColour);
    painter.drawEllipse(at(c), 0.35 * glyphSize(), 0.35 * glyphSize());
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
