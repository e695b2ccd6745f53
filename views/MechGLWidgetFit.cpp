// Cartesian view framing: what the task occupies, fitting the view to it, zooming about a point
// and the grid spacing that suits the zoom.
#include "MechGLWidget.h"

#include "Branch.h"
#include "Dyad.h"
#include "Mechanism.h"
#include "Motion.h"
#include "PointList.h"
#include "ProcessValues.h"

#include <QEvent>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// A position is drawn as a frame glyph reaching about one unit from its origin (axes of 0.9
// plus arrow heads and the number); a pivot as a pin and ground symbol of about half a unit.
constexpr double positionGlyphReach = 1.0;
constexpr double pivotGlyphReach = 0.5;

// Grows a box point by point, skipping points that are not finite (an unsolved pose).
struct BoxGrower {
    double x0 = std::numeric_limits<double>::infinity();
    double y0 = std::numeric_limits<double>::infinity();
    double x1 = -std::numeric_limits<double>::infinity();
    double y1 = -std::numeric_limits<double>::infinity();

    void add(double x, double y, double reach) {
        if (!std::isfinite(x) || !std::isfinite(y))
            return;
        x0 = std::min(x0, x - reach);
        y0 = std::min(y0, y - reach);
        x1 = std::max(x1, x + reach);
        y1 = std::max(y1, y + reach);
    }
    void addDyad(const Dyad *d) {
        if (!d)
            return;
        const Point f = d->fixedPivotCopy();
        const Point m = d->movingPivotCopy();
        add(f.x(), f.y(), pivotGlyphReach);
        add(m.x(), m.y(), pivotGlyphReach);
    }
    // A curve counts where it runs near the rest: a slider's coupler curve can run on for many
    // task sizes, and framing all of it would shrink the positions to a dot. Only the points
    // within one span of the core box (positions, pivots, coupler point) on every side count.
    void addCurve(const PointList &curve, const BoxGrower &core) {
        const double margin = std::max(core.x1 - core.x0, core.y1 - core.y0);
        for (int i = 0; i < curve.size(); ++i) {
            const Point &p = curve.ref(i);
            if (p.dimension() >= 2 && p[0] >= core.x0 - margin && p[0] <= core.x1 + margin &&
                p[1] >= core.y0 - margin && p[1] <= core.y1 + margin)
                add(p[0], p[1], 0.0);
        }
    }
    bool empty() const { return !(x0 <= x1 && y0 <= y1); }
};
} // namespace

// What the user has to see of the task: the positions, the dyads the view draws (the chosen
// synthesized ones and the ones drawn by hand) and the formed mechanism with its curves.
bool MechGLWidget::contentBounds(QRectF &box) const {
    BoxGrower grow;
    if (motion) {
        const PointList &list = motion->positions();
        for (int i = 0; i < list.size(); ++i) {
            const Point pose = toCartesian(list.ref(i));
            grow.add(pose.x(), pose.y(), positionGlyphReach);
        }
    } else {
        for (const Point &p : positions)
            grow.add(p.x(), p.y(), positionGlyphReach);
    }
    if (branch) {
        const Branch::DyadHandles &synthesized = branch->getDyadList();
        const std::vector<bool> &chosen = branch->getDyadStates();
        for (size_t i = 0; i < synthesized.size() && i < chosen.size(); ++i)
            if (chosen[i])
                grow.addDyad(synthesized[i].get());
        for (const Branch::DyadHandle &d : branch->getUserInputDyads())
            grow.addDyad(d.get());
        const Mechanism *m = branch->getMechanism();
        if (m && m->isSet()) {
            grow.addDyad(m->getInputDyad());
            grow.addDyad(m->getOutputDyad());
            if (m->hasCouplerPoint()) {
                const Point c = m->couplerPoint();
                grow.add(c[0], c[1], pivotGlyphReach);
            }
            const BoxGrower core = grow;
            for (int k = 0; k < 3; ++k) {
                grow.addCurve(m->openCurve(k), core);
                grow.addCurve(m->crossedCurve(k), core);
            }
        }
    }
    if (grow.empty())
        return false;
    box = QRectF(QPointF(grow.x0, grow.y0), QPointF(grow.x1, grow.y1));
    return true;
}

// The world rectangle the widget shows, from its bottom-left to its top-right corner.
QRectF MechGLWidget::visibleWorld() const {
    const QPointF topLeft = pixelToWorld(QPointF(0.0, 0.0));
    const QPointF bottomRight = pixelToWorld(QPointF(width(), height()));
    return QRectF(QPointF(topLeft.x(), bottomRight.y()), QPointF(bottomRight.x(), topLeft.y()));
}

bool MechGLWidget::contentOutsideView() const {
    QRectF box;
    if (!contentBounds(box) || width() <= 0 || height() <= 0)
        return false;
    const QRectF seen = visibleWorld();
    // A hair of slack, so a box fitted exactly to the edge does not count as cut off.
    const double slack = 1e-9 * std::max(seen.width(), seen.height());
    return box.left() < seen.left() - slack || box.right() > seen.right() + slack ||
           box.top() < seen.top() - slack || box.bottom() > seen.bottom() + slack;
}

// The content's box is centred and scaled to fill fitFill of the tighter widget direction. The
// square viewport maps 10/scale world units onto the longer side, so a widget side of s pixels
// shows 10*s/(scale*longer side) units.
void MechGLWidget::fitToTask() {
    QRectF box;
    if (!contentBounds(box))
        return;
    const double w = width();
    const double h = height();
    if (w <= 0.0 || h <= 0.0) {
        // Not laid out yet: fit once it has a size.
        fitPending = true;
        return;
    }
    fitPending = false;
    const double side = std::max(w, h);
    const double tiny = 1e-9;
    const double spanX = std::max(box.width(), tiny);
    const double spanY = std::max(box.height(), tiny);
    const double fit = fitFill * 10.0 * std::min(w / (side * spanX), h / (side * spanY));
    scale = std::clamp(fit, minScale, maxScale);
    panX = -box.center().x();
    panY = -box.center().y();
    emit scaleChanged(scale);
    update();
}

// The world point under the pixel stays there: after the new scale, the pan is corrected by
// how far that point would otherwise have slid.
void MechGLWidget::zoomAbout(const QPointF &pixel, double newScale) {
    const QPointF before = pixelToWorld(pixel);
    scale = std::clamp(newScale, minScale, maxScale);
    const QPointF after = pixelToWorld(pixel);
    panX += after.x() - before.x();
    panY += after.y() - before.y();
    emit scaleChanged(scale);
    update();
}

QPointF MechGLWidget::keyZoomCentre() const {
    if (cursorInside && rect().contains(cursorPixel.toPoint()))
        return cursorPixel;
    return QPointF(width() / 2.0, height() / 2.0);
}

void MechGLWidget::leaveEvent(QEvent *event) {
    cursorInside = false;
    QOpenGLWidget::leaveEvent(event);
}

// The smallest of 1, 2, 5 x 10^k not below a twentieth of the span: at most 20 cells, and
// since neighbouring steps differ by at most 2.5, at least 8.
double MechGLWidget::gridSpacingFor(double visibleSpan) {
    if (!std::isfinite(visibleSpan) || visibleSpan <= 0.0)
        return 1.0;
    const double least = visibleSpan / 20.0;
    const double decade = std::pow(10.0, std::floor(std::log10(least)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * decade >= least * (1.0 - 1e-12))
            return m * decade;
    return 10.0 * decade;
}

// Counted along the view's shorter side, so a wide view is not left with a handful of rows;
// the longer side then holds proportionally more cells.
double MechGLWidget::gridSpacing() const {
    const double w = std::max(1, width());
    const double h = std::max(1, height());
    return gridSpacingFor(10.0 * std::min(w, h) / (scale * std::max(w, h)));
}

QString MechGLWidget::gridLabelText() const {
    const QString unit = unitLetter == 'i' ? QStringLiteral("in") : QStringLiteral("m");
    return QStringLiteral("grid %1 %2").arg(QString::number(gridSpacing(), 'g', 6), unit);
}
