// LabelPainter: the views' labels in Qt's text rendering, placed where the GL drawing put them.
#include "LabelPainter.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <algorithm>
#include <cmath>

namespace {
// Capital height over pixel size of the view font, measured once on a large size where the
// rounding of the metrics does not matter.
double capHeightPerPixelSize() {
    static const double ratio = [] {
        QFont probe(QStringLiteral("Sans Serif"));
        probe.setStyleHint(QFont::SansSerif);
        probe.setPixelSize(200);
        const double cap = QFontMetricsF(probe).capHeight();
        return cap > 0.0 ? cap / 200.0 : 0.72;  // 0.72: the usual sans-serif proportion
    }();
    return ratio;
}
} // namespace

QFont LabelPainter::fontWithCapHeight(double capHeight) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    // Qt sizes a font by whole pixels; a label never shrinks to no size at all.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(capHeight /
                                                               capHeightPerPixelSize()))));
    return font;
}

void LabelPainter::paint(QPainter &painter, const std::vector<ScreenLabels::Label> &labels,
                         int framebufferHeight, double devicePixelRatio) {
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const ScreenLabels::Label &label : labels) {
        painter.save();
        // GL's window y runs up from the bottom, the painter's down from the top.
        painter.translate(label.x / devicePixelRatio,
                          (framebufferHeight - label.y) / devicePixelRatio);
        painter.rotate(-label.angleDeg);
        painter.setFont(fontWithCapHeight(label.capHeight / devicePixelRatio));
        painter.setPen(QColor::fromRgbF(label.rgba[0], label.rgba[1], label.rgba[2],
                                        label.rgba[3]));
        const QString text = QString::fromStdString(label.text);
        const QFontMetricsF metrics(painter.font(), painter.device());
        const double start = -label.alongAnchor * metrics.horizontalAdvance(text);
        painter.drawText(QPointF(start, label.hangs ? metrics.capHeight() : 0.0), text);
        painter.restore();
    }
}
