// mechsynth-cli: the batch face of the synthesis engine. It reads a position file, runs the
// operation the main window would run, leaves the same output files and prints the dyads.
#include "Branch.h"
#include "CouplerCurveExport.h"
#include "DesignFile.h"
#include "Dyad.h"
#include "LineConstraint.h"
#include "MechanismSynthesis.h"
#include "Mechanism.h"
#include "MechanismDxfExport.h"
#include "MechanismSketch.h"
#include "Motion.h"
#include "OutputStaging.h"
#include "PairRanking.h"
#include "PairSummary.h"
#include "PositionFileReader.h"
#include "ProcessValues.h"
#include "Tolerances.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

namespace {

// FilesNotWritten: the run succeeded and printed its result, but its output files could not be
// written (a full disk, a protected folder); none of them was, so the earlier ones stand.
enum ExitStatus { Success = 0, BadInput = 1, UsageError = 2, FilesNotWritten = 3 };

// Beyond this every sweep of three or more positions is refused for its size anyway; the bound
// keeps the grid's arithmetic far from overflow.
constexpr int maximumResolution = 1000;

const char *const usageText =
    "Usage:\n"
    "  mechsynth-cli synthesize FILE [--json] [--pair I J] [--threshold N]\n"
    "                                [--link-ratio L] [--workspace W H]\n"
    "                                [--line X1 Y1 X2 Y2] [--pivots X1 Y1 X2 Y2]\n"
    "                                [--tolerance T --resolution R]\n"
    "  mechsynth-cli rank FILE [--json] [the options of synthesize but --pair and\n"
    "                          --tolerance]\n"
    "  mechsynth-cli trace FILE [--pair I J] [--circuit open|crossed] [--csv]\n"
    "                           [--dxf OUT] [the options of synthesize but --json\n"
    "                           and --tolerance]\n"
    "\n"
    "  FILE            position file: a count, then x y theta(degrees) per position\n"
    "                  (a fourth number per record, the time parameter, is accepted too),\n"
    "                  or a design file saved by the window (.msyn.json): its positions,\n"
    "                  line, pivots and settings apply, and for synthesize and trace its\n"
    "                  chosen pair, for synthesize its tolerance sweep; options override\n"
    "  --json          print one JSON object instead of text\n"
    "  --pair I J      form the mechanism from dyads I and J (from 1; default 1 2)\n"
    "  --threshold N   coefficient threshold 10^-|N| of the dyad-type decision (default 5,\n"
    "                  |N| at most 20),\n"
    "                  on the task scaled to unit size, so the same in any unit\n"
    "  --link-ratio L  longest link in tens of task sizes (default 2); a task size is the\n"
    "                  RMS distance of the positions from their centroid\n"
    "  --workspace W H drawing workspace width and height (default 20 10); the dyads found\n"
    "                  do not depend on it\n"
    "  --line X1 Y1 X2 Y2    the line through two points the fixed pivot must lie on\n"
    "                        (four positions)\n"
    "  --pivots X1 Y1 X2 Y2  two fixed pivots, one dyad each (three positions)\n"
    "  --tolerance T --resolution R\n"
    "                  sweep every orientation over theta - T ... theta + T degrees in\n"
    "                  2R + 1 steps and list each grid point's solution with its best\n"
    "                  pair, as rank judges it (0 < T <= 180, 0 <= R <= 1000; a grid\n"
    "                  too large for time or memory is refused)\n"
    "  --circuit C     trace only the open or only the crossed circuit (default both)\n"
    "  --csv           print the traced poses as rows circuit,input,x,y,theta (theta\n"
    "                  in degrees; the input is the crank angle in degrees or the slide)\n"
    "  --dxf OUT       also write the drawing of the mechanism to OUT as DXF (release 12)\n"
    "                  for CAD programs, in metres: links, pivots, ground marks, sliders,\n"
    "                  the positions as small frames and each coupler curve piece as a\n"
    "                  polyline, one layer per kind (COUPLER_OPEN, COUPLER_CROSSED, ...);\n"
    "                  --circuit limits its curves too\n"
    "\n"
    "The operation is the one the main window would choose: four positions with --line\n"
    "run the four-position fit, three with --pivots the three-position fit, five or more\n"
    "the n-position fit; --tolerance sweeps that operation. trace runs the same synthesis,\n"
    "forms the pair, traces its coupler curves and prints the mechanism's type, class,\n"
    "input limits and traced poses per circuit, or with --csv the poses themselves. rank\n"
    "runs the same synthesis and judges every pair of its dyads (both driving choices of\n"
    "a pair of one kind) against the task: defects, transmission angle, pose errors; best\n"
    "first.\n"
    "Output files are written to the working directory, all of a run's together and only\n"
    "when it succeeds. Exit status: 0 success; 1 bad input (nothing written, earlier files\n"
    "untouched); 2 usage error (likewise); 3 the result was printed but its output files\n"
    "could not be written (none were; the earlier ones stand).\n";

void printLine(std::FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

// Why a command stops early, and with which status; empty while all is well. Failures travel
// back as values: the engine and the reader never throw, and neither does this program.
struct Failure {
    ExitStatus status = Success;
    QString why;
    bool failed() const { return status != Success; }
};

Failure usage(const QString &why) { return {UsageError, why}; }
Failure badInput(const QString &why) { return {BadInput, why}; }

// ---- Options ---------------------------------------------------------------------------------

struct SynthesizeOptions {
    QString file;
    bool json = false;
    bool pairGiven = false;
    int pairI = 1, pairJ = 2;
    bool thresholdGiven = false;
    int thresholdExponent = 5;
    bool linkRatioGiven = false;
    double linkRatio = 2.0;
    bool workspaceGiven = false;
    double width = 20.0, height = 10.0;
    bool lineGiven = false;
    double line[4] = {0.0, 0.0, 0.0, 0.0};
    bool pivotsGiven = false;
    double pivots[4] = {0.0, 0.0, 0.0, 0.0};
    bool toleranceGiven = false;
    double tolerance = 0.0;
    bool resolutionGiven = false;
    int resolution = 0;
};

Failure wholeNumber(const QString &option, const QString &text, int &v) {
    bool ok = false;
    v = text.toInt(&ok);
    if (!ok)
        return usage(QStringLiteral("%1 wants a whole number, not '%2'").arg(option, text));
    return {};
}

// Every number of an option enters the task or its settings, so it is bounded here as the
// position file's numbers are: no larger than the largest task magnitude.
Failure positiveNumber(const QString &option, const QString &text, double &v,
                       double largest = tol::largestTaskMagnitude) {
    bool ok = false;
    v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v <= 0.0 || v > largest)
        return usage(QStringLiteral("%1 wants a positive number up to %2, not '%3'")
                         .arg(option)
                         .arg(largest)
                         .arg(text));
    return {};
}

Failure finiteNumber(const QString &option, const QString &text, double &v) {
    bool ok = false;
    v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > tol::largestTaskMagnitude)
        return usage(QStringLiteral("%1 wants a number of magnitude up to %2, not '%3'")
                         .arg(option)
                         .arg(tol::largestTaskMagnitude)
                         .arg(text));
    return {};
}

Failure boundedWholeNumber(const QString &option, const QString &text, int lowest, int highest,
                           int &v) {
    const Failure f = wholeNumber(option, text, v);
    if (!f.failed() && (v < lowest || v > highest))
        return usage(QStringLiteral("%1 wants a whole number from %2 to %3, not '%4'")
                         .arg(option)
                         .arg(lowest)
                         .arg(highest)
                         .arg(text));
    return f;
}

// Two points X1 Y1 X2 Y2 in the fixed frame.
Failure twoPoints(const QString &option, const QStringList &v, double (&out)[4]) {
    for (int k = 0; k < 4; ++k) {
        const Failure f = finiteNumber(option, v[k], out[k]);
        if (f.failed())
            return f;
    }
    return {};
}

Failure firstFailure(const Failure &a, const Failure &b) { return a.failed() ? a : b; }

// Each option: how many values it takes and what it does with them. New options of the
// synthesis variants join this table.
using OptionHandler = std::function<Failure(SynthesizeOptions &, const QStringList &)>;
struct OptionSpec {
    int values;
    OptionHandler apply;
};

const std::map<QString, OptionSpec> &synthesizeOptionTable() {
    static const std::map<QString, OptionSpec> table = {
        {"--json", {0, [](SynthesizeOptions &o, const QStringList &) {
             o.json = true;
             return Failure{};
         }}},
        {"--pair", {2, [](SynthesizeOptions &o, const QStringList &v) {
             o.pairGiven = true;
             const Failure f = firstFailure(wholeNumber("--pair", v[0], o.pairI),
                                            wholeNumber("--pair", v[1], o.pairJ));
             if (!f.failed() && (o.pairI < 1 || o.pairJ < 1 || o.pairI == o.pairJ))
                 return usage("--pair wants two different dyad numbers from 1");
             return f;
         }}},
        {"--threshold", {1, [](SynthesizeOptions &o, const QStringList &v) {
             o.thresholdGiven = true;
             const int most = MechanismSynthesis::maximumThresholdExponent;
             return boundedWholeNumber("--threshold", v[0], -most, most, o.thresholdExponent);
         }}},
        {"--link-ratio", {1, [](SynthesizeOptions &o, const QStringList &v) {
             o.linkRatioGiven = true;
             return positiveNumber("--link-ratio", v[0], o.linkRatio);
         }}},
        {"--workspace", {2, [](SynthesizeOptions &o, const QStringList &v) {
             o.workspaceGiven = true;
             return firstFailure(positiveNumber("--workspace", v[0], o.width),
                                 positiveNumber("--workspace", v[1], o.height));
         }}},
        {"--line", {4, [](SynthesizeOptions &o, const QStringList &v) {
             o.lineGiven = true;
             return twoPoints("--line", v, o.line);
         }}},
        {"--pivots", {4, [](SynthesizeOptions &o, const QStringList &v) {
             o.pivotsGiven = true;
             return twoPoints("--pivots", v, o.pivots);
         }}},
        {"--tolerance", {1, [](SynthesizeOptions &o, const QStringList &v) {
             o.toleranceGiven = true;
             return positiveNumber("--tolerance", v[0], o.tolerance,
                                   MechanismSynthesis::maximumToleranceDeg);
         }}},
        {"--resolution", {1, [](SynthesizeOptions &o, const QStringList &v) {
             o.resolutionGiven = true;
             return boundedWholeNumber("--resolution", v[0], 0, maximumResolution, o.resolution);
         }}},
    };
    return table;
}

// What a design file given as FILE may bring besides its task, line, pivots and settings: the
// sweep for synthesize, the chosen pair for synthesize and trace. rank judges every pair of one
// synthesis and takes neither.
enum DesignTakes : unsigned { TakeNothingMore = 0, TakeSweep = 1, TakePair = 2 };

// A design file brings the line, the pivots and the settings it was saved with; an option
// given on the command line overrides the design's.
Failure takeDesignSettings(SynthesizeOptions &o, unsigned takes) {
    if (!DesignFile::looksLikeDesignFile(o.file))
        return {};
    DesignFile d;
    QString why;
    if (!d.readFile(o.file, why))
        return badInput(QStringLiteral("%1: %2").arg(o.file, why));
    if (!o.lineGiven && d.lineDefined) {
        o.lineGiven = true;
        std::copy(d.lineEnds.begin(), d.lineEnds.end(), o.line);
    }
    if (!o.pivotsGiven && d.pointDefined[0] && d.pointDefined[1]) {
        o.pivotsGiven = true;
        const double pivots[4] = {d.points[0][0], d.points[0][1], d.points[1][0], d.points[1][1]};
        std::copy(pivots, pivots + 4, o.pivots);
    }
    if (!o.thresholdGiven) {
        o.thresholdGiven = true;
        o.thresholdExponent = d.thresholdExponent;
    }
    // The window's box allows 0, which the engine takes as no bound on the links at all.
    if (!o.linkRatioGiven && d.linkRatio > 0) {
        o.linkRatioGiven = true;
        o.linkRatio = d.linkRatio;
    }
    if (!o.workspaceGiven) {
        o.workspaceGiven = true;
        o.width = d.workspaceWidth;
        o.height = d.workspaceHeight;
    }
    unitLetter = d.unit;
    if ((takes & TakeSweep) && d.smartSynthesis && !o.toleranceGiven && !o.pairGiven &&
        d.toleranceDeg > 0.0) {
        o.toleranceGiven = o.resolutionGiven = true;
        o.tolerance = d.toleranceDeg;
        o.resolution = d.resolution;
    }
    if ((takes & TakePair) && !o.pairGiven && !o.toleranceGiven && d.chosen.size() == 2) {
        o.pairGiven = true;
        o.pairI = d.chosen[0] + 1;
        o.pairJ = d.chosen[1] + 1;
    }
    return {};
}

Failure parseSynthesizeOptions(const QStringList &args, SynthesizeOptions &options,
                               unsigned designTakes = TakeNothingMore) {
    const auto &table = synthesizeOptionTable();
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg.startsWith(QLatin1String("--"))) {
            const auto option = table.find(arg);
            if (option == table.end())
                return usage(QStringLiteral("unknown option %1").arg(arg));
            const int values = option->second.values;
            if (i + values >= args.size())
                return usage(QStringLiteral("%1 wants %2 value(s)").arg(arg).arg(values));
            const Failure f = option->second.apply(options, args.mid(i + 1, values));
            if (f.failed())
                return f;
            i += values;
        } else if (options.file.isEmpty()) {
            options.file = arg;
        } else {
            return usage(QStringLiteral("more than one file given ('%1')").arg(arg));
        }
    }
    if (options.file.isEmpty())
        return usage(QStringLiteral("no position file given"));
    if (const Failure f = takeDesignSettings(options, designTakes); f.failed())
        return f;
    if (options.toleranceGiven != options.resolutionGiven)
        return usage(QStringLiteral("--tolerance and --resolution go together"));
    if (options.toleranceGiven && options.pairGiven)
        return usage(QStringLiteral("--pair does not apply to a tolerance sweep"));
    return {};
}

// ---- The run -----------------------------------------------------------------------------------

// The objects the main window would own, wired the same way, and the task loaded into both
// copies (the motion in radians, the engine's rows in degrees).
// The engine's own messages are collected rather than printed: a run that fails says one line,
// and the notes of one that succeeds (a solution left out) follow its result.
struct Session {
    Motion motion;
    Branch branch;
    MechanismSynthesis engine;
    const int positions;
    std::vector<Point> task;  // x, y, theta in degrees, in the file's order
    QStringList notes;

    explicit Session(const std::vector<PositionFileReader::Record> &records)
        : positions(static_cast<int>(records.size())) {
        engine.setMotion(&motion);
        engine.setBranch(&branch);
        engine.setMessageOutput(nullptr);
        QObject::connect(&engine, &MechanismSynthesis::runStopped,
                         [this](const QString &why) { notes << why; });
        engine.setData(static_cast<int>(records.size()));
        for (size_t i = 0; i < records.size(); ++i) {
            const PositionFileReader::Record &r = records[i];
            const int row = static_cast<int>(i);
            engine.setDataValue(row, 0, r.x);
            engine.setDataValue(row, 1, r.y);
            engine.setDataValue(row, 2, r.thetaDeg);
            task.push_back(Point(r.x, r.y, r.thetaDeg));
            motion.currentPose = Point(r.x, r.y, r.thetaDeg * INPUT_DEG_TO_RAD);
            motion.currentPose.parameter = r.parameter;
            motion.currentImage = toImage(motion.currentPose);
            motion.addPosition();
        }
    }
};

Failure readTask(const QString &file, std::vector<PositionFileReader::Record> &records) {
    if (DesignFile::looksLikeDesignFile(file)) {
        DesignFile design;
        QString why;
        if (!design.readFile(file, why))
            return badInput(QStringLiteral("%1: %2").arg(file, why));
        records.clear();
        for (const DesignFile::Position &p : design.positions)
            records.push_back({p.x, p.y, p.thetaDeg, p.parameter});
        return {};
    }
    PositionFileReader reader(3);
    if (!reader.readFile(file))
        return badInput(QStringLiteral("%1: %2").arg(file, reader.error()));
    records = reader.records();
    return {};
}

enum class Operation { NPosition, FourPosition, ThreePosition };

QString operationName(Operation op) {
    switch (op) {
    case Operation::FourPosition:
        return QStringLiteral("four-position");
    case Operation::ThreePosition:
        return QStringLiteral("three-position");
    default:
        return QStringLiteral("n-position");
    }
}

// The main window's choice: four positions with a line, three with two pivots, five or more
// alone; a task that fits none is told what it lacks.
Failure chooseOperation(const SynthesizeOptions &o, int n, Operation &op) {
    const QString file = o.file;
    if (n == MechanismSynthesis::fourPositions && o.lineGiven) {
        LineConstraint line;
        if (!line.setThrough(o.line[0], o.line[1], o.line[2], o.line[3]))
            return badInput(QStringLiteral("%1: 4 positions need a line, and --line gave two equal "
                                           "points").arg(file));
        op = Operation::FourPosition;
    } else if (n == MechanismSynthesis::threePositions && o.pivotsGiven) {
        op = Operation::ThreePosition;
    } else if (n >= MechanismSynthesis::minimumPositions) {
        op = Operation::NPosition;
    } else if (n == MechanismSynthesis::fourPositions) {
        return badInput(QStringLiteral("%1: 4 positions need --line X1 Y1 X2 Y2 for the fixed "
                                       "pivot; without it synthesis needs at least 5").arg(file));
    } else if (n == MechanismSynthesis::threePositions) {
        return badInput(QStringLiteral("%1: 3 positions need --pivots X1 Y1 X2 Y2 (two fixed "
                                       "pivots); without them synthesis needs at least 5").arg(file));
    } else {
        return badInput(QStringLiteral("%1: %2 positions; synthesis needs at least 3 (with "
                                       "--pivots), 4 (with --line) or 5").arg(file).arg(n));
    }
    return {};
}

void applySettings(const SynthesizeOptions &o, MechanismSynthesis &engine) {
    if (o.workspaceGiven) {
        workspaceWidth = o.width;
        workspaceHeight = o.height;
    }
    if (o.thresholdGiven)
        engine.setThreshold(o.thresholdExponent);
    if (o.linkRatioGiven)
        engine.setLinkRatioValue(o.linkRatio);
    if (o.lineGiven)
        engine.updateLineParams(o.line[0], o.line[1], o.line[2], o.line[3]);
    if (o.pivotsGiven) {
        engine.setUDP(o.pivots[0], o.pivots[1]);
        engine.setUDP(o.pivots[2], o.pivots[3]);
    }
}

void runOperation(MechanismSynthesis &engine, Operation op) {
    switch (op) {
    case Operation::FourPosition:
        engine.synthesize4pos();
        break;
    case Operation::ThreePosition:
        engine.synthesize3pos();
        break;
    case Operation::NPosition:
        engine.synthesize();
        break;
    }
}

QJsonValue number(double v) { return std::isfinite(v) ? QJsonValue(v) : QJsonValue(); }

QJsonArray pointArray(const Point &p) { return QJsonArray{number(p.x()), number(p.y())}; }

QJsonObject dyadObject(int index, const Dyad &d, const FitResult::Root &root) {
    const double values[5] = {d.parameter1(), d.parameter2(), d.parameter3(), d.parameter4(),
                              d.parameter5()};
    QJsonArray parameters;
    for (double v : values)
        parameters.append(number(v));
    return QJsonObject{
        {"index", index},
        {"type", d.typeName()},
        {"name", d.getName()},
        {"parameters", parameters},
        {"parameterNames", QJsonArray{d.parameterName1(), d.parameterName2(), d.parameterName3(),
                                      d.parameterName4(), d.parameterName5()}},
        {"fixedPivot", pointArray(d.fixedPivotCopy())},
        {"movingPivot", pointArray(d.movingPivotCopy())},
        {"movingPivotLocal", pointArray(d.movingPivotLocalCopy())},
        {"cfe", number(root.cfe)},
        {"sfe", number(root.sfe)},
    };
}

QString dyadText(int index, const Dyad &d, const FitResult::Root &root) {
    const double values[5] = {d.parameter1(), d.parameter2(), d.parameter3(), d.parameter4(),
                              d.parameter5()};
    const QString names[5] = {d.parameterName1(), d.parameterName2(), d.parameterName3(),
                              d.parameterName4(), d.parameterName5()};
    QString text = QStringLiteral("Dyad %1: %2 (%3)\n").arg(index).arg(d.typeName(), d.getName());
    for (int k = 0; k < 5; ++k)
        text += QStringLiteral("  %1 = %2\n").arg(names[k]).arg(values[k], 0, 'g', 10);
    // Three-position dyads meet their positions exactly and carry no SFE.
    text += QStringLiteral("  CFE %1").arg(root.cfe, 0, 'g', 6);
    if (std::isfinite(root.sfe))
        text += QStringLiteral("  SFE %1").arg(root.sfe, 0, 'g', 6);
    return text + QLatin1Char('\n');
}

QString limitText(bool has, double v) {
    return has ? QString::number(v, 'g', 10) : QStringLiteral("none");
}

// The four-bar's type as the window names it: the two dyads' kinds, the input first.
QString pairType(const Session &s, const PairRanking::Row &r) {
    return s.branch.dyadAt(r.input)->typeName() + s.branch.dyadAt(r.output)->typeName();
}

// The judgement of a pair against the task, as the "mechanisms" rows and the "mechanism" object
// carry it.
void addEvaluation(const PairEvaluation &e, QJsonObject &json) {
    const PairEvaluation::TransmissionAngle &mu = e.transmissionAngle;
    json.insert("evaluated", e.evaluated);
    json.insert("circuitDefect", e.circuitDefect);
    json.insert("branchDefect", e.branchDefect);
    json.insert("orderDefect", e.orderDefect);
    json.insert("defectFree", e.defectFree);
    json.insert("transmissionAngle",
                QJsonObject{{"taskMin", number(mu.taskMinDeg)}, {"taskMax", number(mu.taskMaxDeg)},
                            {"cycleMin", number(mu.cycleMinDeg)}, {"cycleMax", number(mu.cycleMaxDeg)}});
    json.insert("positionError", number(e.maxPositionError));
    json.insert("angleError", number(e.maxAngleErrorDeg));
    json.insert("linkRatio", number(e.linkRatio));
}

QString defectText(bool evaluated, bool defectFree, const QStringList &defects) {
    if (!evaluated)
        return QStringLiteral("not judged");
    if (defectFree)
        return QStringLiteral("defect-free");
    return defects.join(QLatin1Char('+'));
}

QString defectText(const PairEvaluation &e) {
    return defectText(e.evaluated, e.defectFree, defectNames(e));
}

// A sweep record's best pair, as the "mechanisms" rows of rank name and judge a pair.
QJsonValue bestPairObject(const PairSummary &b) {
    if (!b.hasPair())
        return QJsonValue();
    return QJsonObject{{"dyads", QJsonArray{b.input + 1, b.output + 1}},
                       {"evaluated", b.evaluated},
                       {"circuitDefect", b.circuitDefect},
                       {"branchDefect", b.branchDefect},
                       {"orderDefect", b.orderDefect},
                       {"defectFree", b.defectFree},
                       {"transmissionDeviation", number(b.transmissionDeviationDeg)},
                       {"positionError", number(b.maxPositionError)},
                       {"angleError", number(b.maxAngleErrorDeg)},
                       {"linkRatio", number(b.linkRatio)}};
}

QString bestPairText(const PairSummary &b) {
    if (!b.hasPair())
        return QStringLiteral("no pair");
    return QStringLiteral("best %1->%2 %3, worst |mu-90| %4 deg, errors %5 (position) %6 deg "
                          "(angle), link ratio %7")
        .arg(b.input + 1)
        .arg(b.output + 1)
        .arg(defectText(b.evaluated, b.defectFree, b.defectNames()))
        .arg(b.transmissionDeviationDeg, 0, 'f', 1)
        .arg(b.maxPositionError, 0, 'g', 3)
        .arg(b.maxAngleErrorDeg, 0, 'g', 3)
        .arg(b.linkRatio, 0, 'g', 4);
}

// Forms the pair the way the panel does (its two boxes ticked) and describes the mechanism.
Failure formMechanism(Session &s, int i, int j, QJsonValue &json, QString &text) {
    const int count = s.branch.synthesizedDyadCount();
    if (i > count || j > count)
        return badInput(
            QStringLiteral("--pair %1 %2: the run gave %3 dyad(s)").arg(i).arg(j).arg(count));
    std::vector<bool> states(static_cast<size_t>(count), false);
    states[static_cast<size_t>(i - 1)] = true;
    states[static_cast<size_t>(j - 1)] = true;
    s.branch.setcurrentdyadstate(states, std::vector<bool>(4, false),
                                 std::vector<bool>(static_cast<size_t>(count), false));
    const Mechanism &m = *s.branch.getMechanism();
    const QJsonArray limits{m.hasLowerLimit() ? number(m.getLowerLimit()) : QJsonValue(),
                            m.hasUpperLimit() ? number(m.getUpperLimit()) : QJsonValue()};
    const int first = std::min(i, j), second = std::max(i, j);
    // A Grashof input crank is stored with the limits 0 and 180 although it turns fully; say so,
    // or the summary reads as a crank that stops at half a turn.
    const QString crankNote = m.className().startsWith(QLatin1String("Grashoff crank-"))
                                  ? QStringLiteral(" (the input crank turns fully)")
                                  : QString();
    text = QStringLiteral("Mechanism of dyads %1 and %2: %3\n  Class: %4\n  Input limits: %5 to %6%7\n")
               .arg(first)
               .arg(second)
               .arg(m.typeName(), m.className(), limitText(m.hasLowerLimit(), m.getLowerLimit()),
                    limitText(m.hasUpperLimit(), m.getUpperLimit()), crankNote);
    QJsonObject object{{"dyads", QJsonArray{first, second}},
                       {"type", m.typeName()},
                       {"class", m.className()},
                       {"inputLimits", limits}};
    const PairEvaluation e = evaluatePair(m, s.task);
    addEvaluation(e, object);
    json = object;
    text += QStringLiteral("  Against the task: %1; transmission angle %2 to %3 degrees; "
                           "largest errors %4 (position), %5 degrees (angle)\n")
                .arg(defectText(e))
                .arg(e.transmissionAngle.taskMinDeg, 0, 'f', 1)
                .arg(e.transmissionAngle.taskMaxDeg, 0, 'f', 1)
                .arg(e.maxPositionError, 0, 'g', 3)
                .arg(e.maxAngleErrorDeg, 0, 'g', 3);
    return {};
}

// The run's result in both forms: JSON values and the text block of each dyad.
struct Report {
    QJsonArray dyads;
    QJsonValue mechanism;  // null unless a pair was formed
    QString text;
};

Failure describeRun(Session &s, const SynthesizeOptions &options, Operation op, int positions,
                    Report &report) {
    const FitResult &fit = s.engine.lastFit();
    const QString counted = op == Operation::NPosition ? QStringLiteral("real root(s)")
                                                       : QStringLiteral("dyad(s)");
    report.text = QStringLiteral("%1 positions, %2 synthesis, %3 %4\n\n")
                      .arg(positions)
                      .arg(operationName(op))
                      .arg(fit.realRoots.size())
                      .arg(counted);
    for (int k = 0; k < s.branch.synthesizedDyadCount(); ++k) {
        const Dyad &d = *s.branch.dyadAt(k);
        const FitResult::Root &root = fit.realRoots[static_cast<size_t>(k)];
        report.dyads.append(dyadObject(k + 1, d, root));
        report.text += dyadText(k + 1, d, root) + QLatin1Char('\n');
    }
    if (!options.pairGiven && s.branch.synthesizedDyadCount() < 2)
        return {};
    QString mechanismText;
    const Failure f = formMechanism(s, options.pairI, options.pairJ, report.mechanism, mechanismText);
    report.text += mechanismText;
    return f;
}

// One record of the sweep: the orientations its grid point gave the positions, the kinds of
// its dyads, the mechanism type they make and its best pair; only the form asked for is built,
// as a sweep may hold a million records.
void describeSolution(int index, const ToleranceSolution &t, QJsonArray *json, QString *text) {
    QJsonArray angles, kinds;
    QStringList angleText, kindText;
    for (const Point &p : t.positions) {
        if (json)
            angles.append(number(p.z()));
        else
            angleText << QString::number(p.z(), 'g', 10);
    }
    for (int k = 0; k < t.dyadCount(); ++k) {
        kinds.append(t.dyadKind(k));
        kindText << t.dyadKind(k);
    }
    if (json)
        json->append(
            QJsonObject{{"angles", angles}, {"dyads", kinds}, {"mechanismType", t.mechanismType()},
                        {"bestPair", bestPairObject(t.best)}});
    else
        *text += QStringLiteral("Solution %1: angles %2 | dyads %3 | %4 | %5\n")
                     .arg(index)
                     .arg(angleText.join(QLatin1Char(' ')), kindText.join(QLatin1Char(' ')),
                          t.mechanismType(), bestPairText(t.best));
}

QString jsonText(const QJsonObject &result) {
    return QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented));
}

// Runs the chosen operation; a fit that stopped is bad input, with the engine's reason, and so
// is a variant that left every solution out (its chosen pivots or line single out no dyad).
Failure runFit(Session &s, const SynthesizeOptions &o, Operation op) {
    runOperation(s.engine, op);
    const FitResult &fit = s.engine.lastFit();
    if (!fit.ok)
        return badInput(QStringLiteral("%1: synthesis stopped: %2").arg(o.file, fit.failure));
    if (op != Operation::NPosition && s.branch.synthesizedDyadCount() == 0 && !s.notes.isEmpty())
        return badInput(QStringLiteral("%1: no dyad: %2").arg(o.file, s.notes.join(QLatin1Char(' '))));
    return {};
}

// The main window's tolerance mode: a variant runs first, then the sweep of its operation;
// five or more positions get the sweep alone, six or more the n-position run it falls back to.
Failure runSweep(Session &s, const SynthesizeOptions &o, Operation op, int positions,
                 QString &out) {
    // A refused sweep is found before anything runs, the variant's own first run included.
    if (positions <= MechanismSynthesis::minimumPositions) {
        const QString why = s.engine.sweepRefusal(o.tolerance, o.resolution, positions);
        if (!why.isEmpty())
            return badInput(QStringLiteral("%1: %2").arg(o.file, why));
    }
    if (op != Operation::NPosition) {
        const Failure f = runFit(s, o, op);
        if (f.failed())
            return f;
    }
    s.engine.synthesizeWithTol(o.tolerance, o.resolution, positions);
    QJsonObject result{{"positions", positions},
                       {"operation", "tolerance"},
                       {"sweptOperation", operationName(op)},
                       {"tolerance", o.tolerance},
                       {"resolution", o.resolution}};
    QString text;
    if (positions > MechanismSynthesis::minimumPositions) {
        Report report;
        const Failure f = describeRun(s, o, op, positions, report);
        if (f.failed())
            return f;
        result.insert("dyads", report.dyads);
        text = report.text + QStringLiteral("Tolerance sweep: not run; it takes three to five "
                                            "positions\n");
    } else {
        text = QStringLiteral("%1 positions, tolerance sweep of %2 synthesis (+-%3 degrees, "
                              "resolution %4), %5 solution(s)\n\n")
                   .arg(positions)
                   .arg(operationName(op))
                   .arg(o.tolerance)
                   .arg(o.resolution)
                   .arg(s.engine.tolSolutionCount());
    }
    QJsonArray solutions;
    for (int k = 0; k < s.engine.tolSolutionCount(); ++k)
        describeSolution(k + 1, *s.engine.tolSolutionAt(k), o.json ? &solutions : nullptr, &text);
    result.insert("toleranceSolutions", solutions);
    out = o.json ? jsonText(result) : text;
    return {};
}

// Reads the task, picks its operation and loads the task into a fresh session with the
// options' settings. Everything is checked before anything runs, so a rejected file leaves
// earlier output intact.
Failure openSession(const SynthesizeOptions &o, std::unique_ptr<Session> &s, Operation &op) {
    std::vector<PositionFileReader::Record> records;
    Failure f = readTask(o.file, records);
    if (!f.failed())
        f = chooseOperation(o, static_cast<int>(records.size()), op);
    if (f.failed())
        return f;
    s = std::make_unique<Session>(records);
    applySettings(o, s->engine);
    return {};
}

// The end of a run that succeeded: its files are written as one set, then its result and the
// engine's notes are printed. Files that could not be written leave the result standing, with
// their names and the status that says so.
Failure finishRun(OutputStaging &staging, const Session &s, const QString &out) {
    const bool written = staging.commit();
    std::fputs(out.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    for (const QString &note : s.notes)
        printLine(stderr, QStringLiteral("mechsynth-cli: note: ") + note);
    if (written)
        return {};
    return {FilesNotWritten,
            QStringLiteral("the result stands, but its output files were not written (the earlier "
                           "ones are as they were):\n  %1")
                .arg(staging.failures().join(QStringLiteral("\n  ")))};
}

// The run's files wait in the staging until everything, the pair included, has been checked.
Failure runSynthesize(const QStringList &args) {
    SynthesizeOptions options;
    std::unique_ptr<Session> s;
    Operation op = Operation::NPosition;
    Failure f = parseSynthesizeOptions(args, options, TakeSweep | TakePair);
    OutputStaging staging;
    if (!f.failed())
        f = openSession(options, s, op);
    if (f.failed())
        return f;
    const int positions = s->positions;
    QString out;
    if (options.toleranceGiven) {
        f = runSweep(*s, options, op, positions, out);
        return f.failed() ? f : finishRun(staging, *s, out);
    }
    Report report;
    f = runFit(*s, options, op);
    if (!f.failed())
        f = describeRun(*s, options, op, positions, report);
    if (f.failed())
        return f;
    out = options.json
              ? jsonText(QJsonObject{{"positions", positions},
                                     {"operation", operationName(op)},
                                     {"realRoots", static_cast<int>(s->engine.lastFit().realRoots.size())},
                                     {"dyads", report.dyads},
                                     {"mechanism", report.mechanism}})
              : report.text;
    return finishRun(staging, *s, out);
}

// ---- trace: the coupler curve of a synthesized pair -------------------------------------------

struct TraceOptions {
    SynthesizeOptions synthesis;
    bool csv = false;
    QString dxf;  // where the drawing goes; empty: no drawing
    CouplerCurveExport::Circuits circuits = CouplerCurveExport::Circuits::Both;
};

Failure parseCircuit(const QString &value, CouplerCurveExport::Circuits &circuits) {
    if (value == QLatin1String("open"))
        circuits = CouplerCurveExport::Circuits::Open;
    else if (value == QLatin1String("crossed"))
        circuits = CouplerCurveExport::Circuits::Crossed;
    else
        return usage(QStringLiteral("--circuit wants open or crossed, not '%1'").arg(value));
    return {};
}

// --csv, --dxf and --circuit are trace's own; every other option means what it means to
// synthesize.
Failure parseTraceOptions(const QStringList &args, TraceOptions &o) {
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--csv")) {
            o.csv = true;
        } else if (args[i] == QLatin1String("--dxf")) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty() ||
                args[i + 1].startsWith(QLatin1String("--")))
                return usage(QStringLiteral("--dxf wants the name of the file to write"));
            o.dxf = args[++i];
        } else if (args[i] == QLatin1String("--circuit")) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("--circuit wants open or crossed"));
            const Failure f = parseCircuit(args[++i], o.circuits);
            if (f.failed())
                return f;
        } else {
            rest << args[i];
        }
    }
    const Failure f = parseSynthesizeOptions(rest, o.synthesis, TakePair);
    if (!f.failed() && o.synthesis.json)
        return usage(
            QStringLiteral("trace prints a summary or, with --csv, CSV; it has no --json"));
    if (o.synthesis.toleranceGiven || o.synthesis.resolutionGiven)
        return usage(
            QStringLiteral("trace follows one mechanism; --tolerance belongs to synthesize"));
    return f;
}

QString traceSummary(const Mechanism &m, CouplerCurveExport::Circuits circuits,
                     const QString &mechanismText) {
    const CouplerCurveExport curve(m);
    QString text = mechanismText;
    if (circuits != CouplerCurveExport::Circuits::Crossed)
        text += QStringLiteral("  Traced poses, open circuit: %1\n").arg(curve.poseCount(true));
    if (circuits != CouplerCurveExport::Circuits::Open)
        text += QStringLiteral("  Traced poses, crossed circuit: %1\n").arg(curve.poseCount(false));
    return text;
}

// The synthesis trace and rank start from: synthesize's run, which must give two dyads at least.
Failure synthesizePairs(const SynthesizeOptions &o, std::unique_ptr<Session> &s, Operation &op) {
    Failure f = openSession(o, s, op);
    if (!f.failed())
        f = runFit(*s, o, op);
    if (f.failed())
        return f;
    const int count = s->branch.synthesizedDyadCount();
    if (count < 2)
        return badInput(QStringLiteral("%1: the run gave %2 dyad(s); a mechanism needs two")
                            .arg(o.file)
                            .arg(count));
    return {};
}

// The drawing joins the run's other files, so it is written with them or, like them, not at all.
void stageDrawing(OutputStaging &staging, const Session &s, const TraceOptions &o) {
    MechanismSketch sketch(*s.branch.getMechanism());
    sketch.setPositions(s.task);
    sketch.setCircuits(o.circuits);
    staging.stage(o.dxf, MechanismDxfExport(sketch).dxf());
}

// Synthesizes as synthesize does, forms the pair (which traces it) and prints its curves.
Failure runTrace(const QStringList &args) {
    TraceOptions o;
    Failure f = parseTraceOptions(args, o);
    if (f.failed())
        return f;
    std::unique_ptr<Session> s;
    Operation op = Operation::NPosition;
    OutputStaging staging;
    f = synthesizePairs(o.synthesis, s, op);
    if (f.failed())
        return f;
    QJsonValue json;
    QString mechanismText;
    f = formMechanism(*s, o.synthesis.pairI, o.synthesis.pairJ, json, mechanismText);
    if (f.failed())
        return f;
    const Mechanism &m = *s->branch.getMechanism();
    const QString out = o.csv ? CouplerCurveExport(m).csv(o.circuits)
                              : traceSummary(m, o.circuits, mechanismText);
    if (!o.dxf.isEmpty())
        stageDrawing(staging, *s, o);
    return finishRun(staging, *s, out);
}

// ---- rank: every pair of a synthesis judged against the task ---------------------------------

QString rankTable(const std::vector<PairRanking::Row> &rows, const Session &s) {
    QString text = QStringLiteral("%1 mechanism(s) of %2 dyad(s), best first\n\n")
                       .arg(rows.size())
                       .arg(s.branch.synthesizedDyadCount());
    text += QStringLiteral("%1  %2  %3  %4  %5  %6  %7  %8  %9\n")
                .arg(QStringLiteral("Rank"), -4)
                .arg(QStringLiteral("Dyads"), -6)
                .arg(QStringLiteral("Type"), -4)
                .arg(QStringLiteral("Class"), -34)
                .arg(QStringLiteral("Defects"), -20)
                .arg(QStringLiteral("mu over task (deg)"), -18)
                .arg(QStringLiteral("Pos. error"), -10)
                .arg(QStringLiteral("Angle err."), -10)
                .arg(QStringLiteral("Link ratio"));
    for (const PairRanking::Row &r : rows) {
        const PairEvaluation &e = r.evaluation;
        text += QStringLiteral("%1  %2  %3  %4  %5  %6  %7  %8  %9\n")
                    .arg(r.rank, -4)
                    .arg(QStringLiteral("%1->%2").arg(r.input + 1).arg(r.output + 1), -6)
                    .arg(pairType(s, r), -4)
                    .arg(e.className.left(34), -34)
                    .arg(defectText(e), -20)
                    .arg(QStringLiteral("%1..%2")
                             .arg(e.transmissionAngle.taskMinDeg, 0, 'f', 1)
                             .arg(e.transmissionAngle.taskMaxDeg, 0, 'f', 1),
                         -18)
                    .arg(QString::number(e.maxPositionError, 'g', 3), -10)
                    .arg(QString::number(e.maxAngleErrorDeg, 'g', 3), -10)
                    .arg(QString::number(e.linkRatio, 'g', 4));
    }
    return text;
}

Failure runRank(const QStringList &args) {
    SynthesizeOptions options;
    Failure f = parseSynthesizeOptions(args, options);
    if (f.failed())
        return f;
    if (options.pairGiven)
        return usage(QStringLiteral("rank judges every pair; --pair belongs to synthesize and trace"));
    if (options.toleranceGiven)
        return usage(QStringLiteral("rank judges one synthesis; --tolerance belongs to synthesize"));
    std::unique_ptr<Session> s;
    Operation op = Operation::NPosition;
    OutputStaging staging;
    f = synthesizePairs(options, s, op);
    Report report;
    if (!f.failed())
        f = describeRun(*s, options, op, s->positions, report);
    if (f.failed())
        return f;
    const int count = s->branch.synthesizedDyadCount();
    std::vector<const Dyad *> dyads;
    for (int k = 0; k < count; ++k)
        dyads.push_back(s->branch.dyadAt(k));
    const std::vector<PairRanking::Row> rows = PairRanking::rankAll(dyads, s->task);
    QJsonArray mechanisms;
    for (const PairRanking::Row &r : rows) {
        QJsonObject row{{"dyads", QJsonArray{r.input + 1, r.output + 1}},
                        {"type", pairType(*s, r)},
                        {"class", r.evaluation.className},
                        {"rank", r.rank}};
        addEvaluation(r.evaluation, row);
        mechanisms.append(row);
    }
    const QString out =
        options.json ? jsonText(QJsonObject{{"positions", s->positions},
                                            {"operation", operationName(op)},
                                            {"dyads", report.dyads},
                                            {"mechanisms", mechanisms}})
                     : rankTable(rows, *s);
    return finishRun(staging, *s, out);
}

// Subcommands by name.
using Command = std::function<Failure(const QStringList &)>;
const std::map<QString, Command> &commands() {
    static const std::map<QString, Command> table = {
        {"synthesize", runSynthesize},
        {"rank", runRank},
        {"trace", runTrace},
    };
    return table;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.value(0) == QLatin1String("--version")) {
        std::printf("mechsynth-cli (Mechanism Synthesis) %s\n", MS_VERSION);
        return Success;
    }
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        std::fputs(usageText, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? UsageError : Success;
    }
    const auto command = commands().find(args[0]);
    const Failure f = command == commands().end()
                          ? usage(QStringLiteral("unknown command '%1'").arg(args[0]))
                          : command->second(args.mid(1));
    if (f.failed()) {
        printLine(stderr, QStringLiteral("mechsynth-cli: ") + f.why);
        if (f.status == UsageError)
            std::fputs(usageText, stderr);
    }
    return f.status;
}
