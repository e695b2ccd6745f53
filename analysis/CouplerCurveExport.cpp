// Coupler curves as CSV rows: each traced pose with its circuit and the input that reaches it.
// The curves store poses only, so the input is read back from the pose through the coupler's
// own frame (the coupler point is rigid in it), exactly as the solver placed it.
#include "CouplerCurveExport.h"

#include "Mechanism.h"

#include <QSaveFile>

namespace {

bool wanted(CouplerCurveExport::Circuits which, bool open) {
    switch (which) {
    case CouplerCurveExport::Circuits::Open:
        return open;
    case CouplerCurveExport::Circuits::Crossed:
        return !open;
    case CouplerCurveExport::Circuits::Both:
        break;
    }
    return true;
}

bool sliderInput(PairKind kind) { return kind == PairKind::PRPR || kind == PairKind::PRRP; }

QString number(double v) { return QString::number(v, 'g', CouplerCurveExport::significantDigits); }

} // namespace

CouplerCurveExport::CouplerCurveExport(const Mechanism &m) : mechanism(m) {}

std::vector<TracedPose> CouplerCurveExport::poses(Circuits which) const {
    std::vector<TracedPose> rows;
    for (bool open : {true, false}) {
        if (!wanted(which, open))
            continue;
        for (int piece = 0; piece < 3; ++piece)
            appendPiece(open, piece, rows);
    }
    return rows;
}

int CouplerCurveExport::poseCount(bool open) const {
    int n = 0;
    for (int piece = 0; piece < 3; ++piece)
        n += open ? mechanism.openCurve(piece).size() : mechanism.crossedCurve(piece).size();
    return n;
}

void CouplerCurveExport::appendPiece(bool open, int piece, std::vector<TracedPose> &rows) const {
    const PointList &curve = open ? mechanism.openCurve(piece) : mechanism.crossedCurve(piece);
    const bool angular = !sliderInput(mechanism.pairKind());
    double previous = 0.0;
    for (int i = 0; i < curve.size(); ++i) {
        const Point &p = curve.ref(i);
        TracedPose row;
        row.open = open;
        row.piece = piece;
        row.x = p[0];
        row.y = p[1];
        row.thetaDeg = p[2];
        row.input = inputAt(row.x, row.y, row.thetaDeg);
        // An angle read back lies in (-180, 180]; along a piece it is carried on by the turn
        // since the previous pose, so a crank's sweep past 180 reads 181, 182, ... as it ran.
        if (angular)
            row.input = i == 0 ? wrapDeg180(row.input)
                               : previous + wrapDeg180(row.input - previous);
        previous = row.input;
        rows.push_back(row);
    }
}

double CouplerCurveExport::inputAt(double x, double y, double thetaDeg) const {
    const CouplerLink &coupler = mechanism.getCoupler();
    const FourBarGeometry &g = mechanism.getGeometry();
    // The coupler line (first end -> second end) turns with the coupler point's orientation;
    // the first end sits at the point's recorded distance and angle back along that frame.
    const double pointDirectionDeg = coupler.pointAngle();
    const double lineDeg = thetaDeg - (coupler.frameAngle() + pointDirectionDeg);
    const Vec2 start =
        Vec2(x, y) - Vec2::unitDeg(lineDeg + pointDirectionDeg) * coupler.pointDistance();
    switch (g.kind) {
    case PairKind::PRPR:
    case PairKind::PRRP:
        // The first end is the slider's moving pivot; the input is its displacement.
        return (start - g.inputFixedPivot).dot(g.inputSlideDir);
    case PairKind::RPRP:
        // Anchored at the lines' crossing and running along the input line, a quarter turn
        // from the line's normal, which is the input.
        return lineDeg - 90.0;
    default:
        // The first end is the crank's moving pivot.
        return (start - g.inputFixedPivot).angleDeg();
    }
}

QString CouplerCurveExport::header() { return QStringLiteral("circuit,input,x,y,theta"); }

QString CouplerCurveExport::csv(Circuits which) const {
    QString text = header() + QLatin1Char('\n');
    for (const TracedPose &r : poses(which)) {
        text += (r.open ? QLatin1String("open") : QLatin1String("crossed")) + QLatin1Char(',') +
                number(r.input) + QLatin1Char(',') + number(r.x) + QLatin1Char(',') +
                number(r.y) + QLatin1Char(',') + number(r.thetaDeg) + QLatin1Char('\n');
    }
    return text;
}

bool CouplerCurveExport::writeCsv(const QString &path, Circuits which) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QByteArray bytes = csv(which).toUtf8();
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}
