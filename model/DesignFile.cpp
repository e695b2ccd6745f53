// Writing and reading design files. The reader trusts nothing: every member must be present with
// its type, every number finite and within the bounds the window's own boxes have, and counts
// small enough to be a task; the first fault found is named and nothing is taken over.
#include "DesignFile.h"

#include "Tolerances.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <cmath>

namespace {

QString number(double v) {
    // Shortest form that reads back to the same double; -0 is written as 0 so a sign that no
    // one can see does not make two equal designs differ.
    if (v == 0.0)
        v = 0.0;
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

// A writer of indented JSON that keeps members in the order they are written.
class JsonText {
public:
    void open(const char *key, char bracket) {
        member(key);
        text += bracket;
        ++depth;
        first = true;
    }
    void close(char bracket) {
        --depth;
        text += '\n';
        indent();
        text += bracket;
        first = false;
    }
    void value(const char *key, const QString &raw) {
        member(key);
        text += raw.toUtf8();
    }
    void numbers(const char *key, const double *v, size_t n) {
        QString list = QStringLiteral("[");
        for (size_t i = 0; i < n; ++i)
            list += (i ? QStringLiteral(", ") : QString()) + number(v[i]);
        value(key, list + QLatin1Char(']'));
    }
    QByteArray text = "{";

private:
    void member(const char *key) {
        if (!first)
            text += ',';
        text += '\n';
        indent();
        if (key)
            text += '"' + QByteArray(key) + "\": ";
        first = false;
    }
    void indent() { text += QByteArray(2 * depth, ' '); }
    int depth = 1;
    bool first = true;
};

QString quoted(const QString &s) { return QLatin1Char('"') + s + QLatin1Char('"'); }
QString flag(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }

void writeDyads(JsonText &out, const char *key, const std::vector<DesignFile::Dyad> &dyads) {
    out.open(key, '[');
    for (const DesignFile::Dyad &d : dyads) {
        out.open(nullptr, '{');
        out.value("kind", quoted(d.kind));
        out.numbers("fixedPivot", d.fixedPivot.data(), 2);
        out.numbers("movingPivot", d.movingPivot.data(), 2);
        out.numbers("pose", d.pose.data(), 3);
        out.numbers("parameters", d.parameters.data(), 5);
        out.close('}');
    }
    out.close(']');
}

// Reads members of one JSON object, remembering the first fault with the member's path.
class Reader {
public:
    QString fault;

    bool ok() const { return fault.isEmpty(); }
    bool fail(const QString &path, const QString &why) {
        if (ok())
            fault = path.isEmpty() ? why : QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    bool member(const QJsonObject &o, const QString &path, const char *key, QJsonValue &v) {
        v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return fail(path, QStringLiteral("the member \"%1\" is missing").arg(key));
        return true;
    }
    static QString at(const QString &path, const char *key) {
        return path.isEmpty() ? QString::fromLatin1(key) : path + QLatin1Char('.') + key;
    }
    bool real(const QJsonObject &o, const QString &path, const char *key, double &out,
              double low = -tol::largestTaskMagnitude, double high = tol::largestTaskMagnitude) {
        QJsonValue v;
        return member(o, path, key, v) && realValue(v, at(path, key), out, low, high);
    }
    bool realValue(const QJsonValue &v, const QString &path, double &out, double low,
                   double high) {
        if (!v.isDouble())
            return fail(path, QStringLiteral("a number is expected"));
        const double d = v.toDouble();
        if (!std::isfinite(d))
            return fail(path, QStringLiteral("the number is not finite"));
        if (d < low || d > high)
            return fail(path, QStringLiteral("%1 lies outside %2 to %3")
                                  .arg(number(d), number(low), number(high)));
        out = d;
        return true;
    }
    bool integer(const QJsonObject &o, const QString &path, const char *key, int &out, int low,
                 int high) {
        double d = 0.0;
        if (!real(o, path, key, d, low, high))
            return false;
        if (d != std::floor(d))
            return fail(at(path, key), QStringLiteral("a whole number is expected"));
        out = static_cast<int>(d);
        return true;
    }
    bool boolean(const QJsonObject &o, const QString &path, const char *key, bool &out) {
        QJsonValue v;
        if (!member(o, path, key, v))
            return false;
        if (!v.isBool())
            return fail(at(path, key), QStringLiteral("true or false is expected"));
        out = v.toBool();
        return true;
    }
    bool text(const QJsonObject &o, const QString &path, const char *key, QString &out) {
        QJsonValue v;
        if (!member(o, path, key, v))
            return false;
        if (!v.isString())
            return fail(at(path, key), QStringLiteral("a text is expected"));
        out = v.toString();
        return true;
    }
    bool object(const QJsonObject &o, const QString &path, const char *key, QJsonObject &out) {
        QJsonValue v;
        if (!member(o, path, key, v))
            return false;
        if (!v.isObject())
            return fail(at(path, key), QStringLiteral("an object is expected"));
        out = v.toObject();
        return true;
    }
    bool array(const QJsonObject &o, const QString &path, const char *key, QJsonArray &out,
               int most) {
        QJsonValue v;
        if (!member(o, path, key, v))
            return false;
        if (!v.isArray())
            return fail(at(path, key), QStringLiteral("a list is expected"));
        out = v.toArray();
        if (out.size() > most)
            return fail(at(path, key), QStringLiteral("%1 entries, at most %2 are read")
                                           .arg(out.size())
                                           .arg(most));
        return true;
    }
    template <size_t N>
    bool numbers(const QJsonObject &o, const QString &path, const char *key,
                 std::array<double, N> &out) {
        QJsonArray a;
        if (!array(o, path, key, a, static_cast<int>(N)))
            return false;
        if (a.size() != static_cast<qsizetype>(N))
            return fail(at(path, key), QStringLiteral("%1 numbers are expected").arg(N));
        for (size_t i = 0; i < N; ++i)
            if (!realValue(a.at(static_cast<qsizetype>(i)),
                           QStringLiteral("%1[%2]").arg(at(path, key)).arg(i), out[i],
                           -tol::largestTaskMagnitude, tol::largestTaskMagnitude))
                return false;
        return true;
    }
    bool dyads(const QJsonObject &o, const char *key, int most,
               std::vector<DesignFile::Dyad> &out) {
        QJsonArray a;
        if (!array(o, QString(), key, a, most))
            return false;
        for (qsizetype i = 0; i < a.size(); ++i) {
            const QString path = QStringLiteral("%1[%2]").arg(key).arg(i);
            if (!a.at(i).isObject())
                return fail(path, QStringLiteral("an object is expected"));
            const QJsonObject d = a.at(i).toObject();
            DesignFile::Dyad dyad;
            if (!text(d, path, "kind", dyad.kind))
                return false;
            if (dyad.kind != QLatin1String("RR") && dyad.kind != QLatin1String("PR") &&
                dyad.kind != QLatin1String("RP"))
                return fail(at(path, "kind"), QStringLiteral("\"RR\", \"PR\" or \"RP\" is expected"));
            if (!numbers(d, path, "fixedPivot", dyad.fixedPivot) ||
                !numbers(d, path, "movingPivot", dyad.movingPivot) ||
                !numbers(d, path, "pose", dyad.pose) ||
                !numbers(d, path, "parameters", dyad.parameters))
                return false;
            out.push_back(dyad);
        }
        return true;
    }
};

}  // namespace

bool DesignFile::Position::operator==(const Position &o) const {
    return x == o.x && y == o.y && thetaDeg == o.thetaDeg && parameter == o.parameter;
}

bool DesignFile::Dyad::operator==(const Dyad &o) const {
    return kind == o.kind && fixedPivot == o.fixedPivot && movingPivot == o.movingPivot &&
           pose == o.pose && parameters == o.parameters;
}

bool DesignFile::operator==(const DesignFile &o) const {
    return toJson() == o.toJson();
}

QByteArray DesignFile::toJson() const {
    JsonText out;
    out.value("format", quoted(QLatin1String(formatName)));
    out.value("version", QString::number(currentVersion));
    out.open("positions", '[');
    for (const Position &p : positions) {
        const double v[] = {p.x, p.y, p.thetaDeg, p.parameter};
        out.numbers(nullptr, v, 4);
    }
    out.close(']');
    out.open("line", '{');
    out.value("defined", flag(lineDefined));
    out.numbers("ends", lineEnds.data(), 4);
    out.close('}');
    out.open("points", '[');
    for (size_t i = 0; i < 2; ++i) {
        out.open(nullptr, '{');
        out.value("defined", flag(pointDefined[i]));
        out.numbers("xy", points[i].data(), 2);
        out.close('}');
    }
    out.close(']');
    out.open("variant", '{');
    out.value("fourPosition", flag(fourPosition));
    out.value("threePosition", flag(threePosition));
    out.value("smartSynthesis", flag(smartSynthesis));
    out.value("toleranceDeg", number(toleranceDeg));
    out.value("resolution", QString::number(resolution));
    out.value("positionTolerance", number(positionTolerance));
    out.close('}');
    out.open("synthesis", '{');
    out.value("thresholdExponent", QString::number(thresholdExponent));
    out.value("linkRatio", QString::number(linkRatio));
    out.close('}');
    out.open("workspace", '{');
    out.value("width", number(workspaceWidth));
    out.value("height", number(workspaceHeight));
    out.value("unit", quoted(unit == 'i' ? QStringLiteral("in") : QStringLiteral("m")));
    out.value("digits", QString::number(digits));
    out.close('}');
    writeDyads(out, "dyads", dyads);
    writeDyads(out, "alternatives", alternatives);
    QString chosenList = QStringLiteral("[");
    for (size_t i = 0; i < chosen.size(); ++i)
        chosenList += (i ? QStringLiteral(", ") : QString()) + QString::number(chosen[i] + 1);
    out.value("chosen", chosenList + QLatin1Char(']'));
    writeDyads(out, "userDyads", userDyads);
    out.open("movingFrame", '{');
    out.value("defined", flag(movingFrameDefined));
    out.numbers("pose", movingFrame.data(), 3);
    out.close('}');
    out.value("circuit", quoted(circuitOpen ? QStringLiteral("open") : QStringLiteral("crossed")));
    out.value("input", number(input));
    out.close('}');
    return out.text + '\n';
}

bool DesignFile::readJson(const QByteArray &text, QString &why) {
    if (text.size() > maximumFileBytes) {
        why = QStringLiteral("The file is larger than %1 MB.").arg(maximumFileBytes >> 20);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        why = QStringLiteral("The file is not whole JSON (%1 at byte %2).")
                  .arg(parseError.errorString())
                  .arg(parseError.offset);
        return false;
    }
    if (!document.isObject()) {
        why = QStringLiteral("The file holds no design object.");
        return false;
    }
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("format")).toString() != QLatin1String(formatName)) {
        why = QStringLiteral("The file is not a Mechanism Synthesis design (its \"format\" is "
                             "not \"%1\").")
                  .arg(QLatin1String(formatName));
        return false;
    }
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() != std::floor(version.toDouble()) ||
        version.toDouble() < 1) {
        why = QStringLiteral("The design's \"version\" is not a whole number from 1.");
        return false;
    }
    if (version.toDouble() > currentVersion) {
        why = QStringLiteral("The design was written by a newer version of the program (file "
                             "version %1; this program reads version %2).")
                  .arg(version.toDouble())
                  .arg(currentVersion);
        return false;
    }

    Reader r;
    DesignFile d;
    QJsonArray list;
    if (r.array(root, QString(), "positions", list, maximumPositions)) {
        for (qsizetype i = 0; i < list.size() && r.ok(); ++i) {
            const QString path = QStringLiteral("positions[%1]").arg(i);
            const QJsonArray p = list.at(i).toArray();
            if (!list.at(i).isArray() || p.size() != 4) {
                r.fail(path, QStringLiteral("four numbers (x, y, theta, parameter) are expected"));
                break;
            }
            Position pos;
            double *fields[] = {&pos.x, &pos.y, &pos.thetaDeg, &pos.parameter};
            for (int k = 0; k < 4 && r.ok(); ++k)
                r.realValue(p.at(k), QStringLiteral("%1[%2]").arg(path).arg(k), *fields[k],
                            -tol::largestTaskMagnitude, tol::largestTaskMagnitude);
            d.positions.push_back(pos);
        }
    }
    QJsonObject o;
    if (r.ok() && r.object(root, QString(), "line", o))
        r.boolean(o, "line", "defined", d.lineDefined) && r.numbers(o, "line", "ends", d.lineEnds);
    if (r.ok() && r.array(root, QString(), "points", list, 2)) {
        if (list.size() != 2)
            r.fail("points", QStringLiteral("two points are expected"));
        for (qsizetype i = 0; i < list.size() && r.ok(); ++i) {
            const QString path = QStringLiteral("points[%1]").arg(i);
            if (!list.at(i).isObject()) {
                r.fail(path, QStringLiteral("an object is expected"));
                break;
            }
            const QJsonObject p = list.at(i).toObject();
            const size_t k = static_cast<size_t>(i);
            bool defined = false;
            r.boolean(p, path, "defined", defined) && r.numbers(p, path, "xy", d.points[k]);
            d.pointDefined[k] = defined;
        }
    }
    if (r.ok() && r.object(root, QString(), "variant", o)) {
        r.boolean(o, "variant", "fourPosition", d.fourPosition) &&
            r.boolean(o, "variant", "threePosition", d.threePosition) &&
            r.boolean(o, "variant", "smartSynthesis", d.smartSynthesis) &&
            r.real(o, "variant", "toleranceDeg", d.toleranceDeg, 0.0, 180.0) &&
            r.integer(o, "variant", "resolution", d.resolution, 1, 99) &&
            r.real(o, "variant", "positionTolerance", d.positionTolerance, 0.0,
                   tol::largestTaskMagnitude);
    }
    if (r.ok() && r.object(root, QString(), "synthesis", o)) {
        r.integer(o, "synthesis", "thresholdExponent", d.thresholdExponent, -20, 0) &&
            r.integer(o, "synthesis", "linkRatio", d.linkRatio, 0, 99);
    }
    if (r.ok() && r.object(root, QString(), "workspace", o)) {
        QString unit;
        // The settings dialog's own bounds.
        if (r.real(o, "workspace", "width", d.workspaceWidth, tol::minWorkspaceSize, 1000.0) &&
            r.real(o, "workspace", "height", d.workspaceHeight, tol::minWorkspaceSize, 1000.0) &&
            r.text(o, "workspace", "unit", unit) &&
            r.integer(o, "workspace", "digits", d.digits, 1, 10)) {
            if (unit == QLatin1String("m") || unit == QLatin1String("in"))
                d.unit = unit == QLatin1String("in") ? 'i' : 'm';
            else
                r.fail("workspace.unit", QStringLiteral("\"m\" or \"in\" is expected"));
        }
    }
    if (r.ok())
        r.dyads(root, "dyads", maximumDyads, d.dyads);
    if (r.ok())
        r.dyads(root, "alternatives", maximumDyads, d.alternatives);
    if (r.ok() && r.array(root, QString(), "chosen", list, 2)) {
        if (list.size() == 1)
            r.fail("chosen", QStringLiteral("two dyads or none are expected"));
        for (qsizetype i = 0; i < list.size() && r.ok(); ++i) {
            double v = 0.0;
            if (r.realValue(list.at(i), QStringLiteral("chosen[%1]").arg(i), v, 1,
                            static_cast<double>(d.dyads.size() + d.alternatives.size())) &&
                v == std::floor(v))
                d.chosen.push_back(static_cast<int>(v) - 1);
            else
                r.fail(QStringLiteral("chosen[%1]").arg(i),
                       QStringLiteral("the number of a saved dyad is expected"));
        }
        if (r.ok() && d.chosen.size() == 2 && d.chosen[0] == d.chosen[1])
            r.fail("chosen", QStringLiteral("two different dyads are expected"));
    }
    if (r.ok())
        r.dyads(root, "userDyads", maximumUserDyads, d.userDyads);
    if (r.ok() && r.object(root, QString(), "movingFrame", o))
        r.boolean(o, "movingFrame", "defined", d.movingFrameDefined) &&
            r.numbers(o, "movingFrame", "pose", d.movingFrame);
    QString circuit;
    if (r.ok() && r.text(root, QString(), "circuit", circuit)) {
        if (circuit == QLatin1String("open") || circuit == QLatin1String("crossed"))
            d.circuitOpen = circuit == QLatin1String("open");
        else
            r.fail("circuit", QStringLiteral("\"open\" or \"crossed\" is expected"));
    }
    if (r.ok())
        r.real(root, QString(), "input", d.input);
    if (!r.ok()) {
        why = QStringLiteral("The design is damaged: %1.").arg(r.fault);
        return false;
    }
    *this = std::move(d);
    return true;
}

bool DesignFile::readFile(const QString &path, QString &why) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        why = info.exists() ? QStringLiteral("It is not a regular file.")
                            : QStringLiteral("The file does not exist.");
        return false;
    }
    if (info.size() > maximumFileBytes) {
        why = QStringLiteral("The file is larger than %1 MB.").arg(maximumFileBytes >> 20);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = QStringLiteral("Cannot open the file (%1).").arg(file.errorString());
        return false;
    }
    // Bounded even when the file grew after the size was taken.
    return readJson(file.read(maximumFileBytes + 1), why);
}

bool DesignFile::looksLikeDesign(const QByteArray &head) {
    return head.trimmed().startsWith('{');
}

bool DesignFile::looksLikeDesignFile(const QString &path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    return looksLikeDesign(file.read(4096));
}
