// The files of one five-position run, line by line, against text built from the known mechanism;
// numbers that depend on the null space basis are checked against what they must satisfy.
#include "Branch.h"
#include "DiagnosticFiles.h"
#include "Dyad.h"
#include "KnownMechanisms.h"
#include "MechanismSynthesis.h"
#include "Motion.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>
#include "TestSupport.h"
#include <cmath>
#include <sstream>

using known::Pose;
using known::RevoluteSide;

namespace {
using known::crankSide;
using known::rockerSide;

// Six significant digits, as the standard stream writes by default.
std::string g6(double v) {
    std::ostringstream out;
    out << v;
    return out.str();
}

QStringList fileLines(const char *name) {
    QFile f(QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("<missing %1>").arg(QLatin1String(name))};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
}

arma::vec quadricOf(const RevoluteSide &s) {
    return known::rrQuadric(s.fixedPivot.x, s.fixedPivot.y, s.movingLocal.x, s.movingLocal.y, s.radius);
}

arma::vec normalisedByLargest(const arma::vec &p) {
    arma::uword j = std::fabs(p(1)) >= std::fabs(p(0)) ? 1 : 0;
    for (arma::uword k = 2; k < 8; ++k)
        if (std::fabs(p(k)) > std::fabs(p(j)))
            j = k;
    return p / p(j);
}

// Walks the lines of a file: exact lines, numbers read back, and a failure text naming the line.
class LineWalker {
public:
    explicit LineWalker(QStringList l) : lines(std::move(l)) {}
    bool exact(const QString &want) {
        const QString got = next();
        if (got != want)
            fail(QStringLiteral("line %1: '%2', want '%3'").arg(index).arg(got, want));
        return got == want;
    }
    double number() {
        bool ok = false;
        const QString got = next();
        const double v = got.toDouble(&ok);
        if (!ok)
            fail(QStringLiteral("line %1: '%2' is no number").arg(index).arg(got));
        return v;
    }
    arma::vec numbers(int n) {
        arma::vec v(static_cast<arma::uword>(n));
        for (int i = 0; i < n; ++i)
            v(static_cast<arma::uword>(i)) = number();
        return v;
    }
    QString next() { return index < lines.size() ? lines[index++] : QStringLiteral("<end>"); }
    QString peek() const { return index < lines.size() ? lines[index] : QString(); }
    bool atEnd() const { return index == lines.size(); }
    QString failure;

private:
    void fail(const QString &why) {
        if (failure.isEmpty())
            failure = why;
    }
    QStringList lines;
    int index = 0;
};

struct Rig : known::Session {
    // The known sides in the order the run produced their roots.
    std::vector<RevoluteSide> sides;
    QString listing;  // what the report view was sent
    Rig() : Session(known::crankRockerPoses(5, 0.25)) {
        QObject::connect(&engine, &MechanismSynthesis::updateOutfile,
                         [this](const QString &text) { listing = text; });
        engine.synthesize();
        for (Dyad *d : branch.getDyadListCpy())
            sides.push_back(std::fabs(d->fixedPivotCopy().x() - 1.0) < 1e-6 ? crankSide : rockerSide);
        // The fit works on the task moved to the centroid of its points and scaled to unit RMS
        // distance from it; its matrices, vectors and listing are of that task and those sides.
        double cx = 0.0, cy = 0.0, sum = 0.0;
        for (const Pose &p : task)
            cx += p.x / task.size(), cy += p.y / task.size();
        for (const Pose &p : task)
            sum += (p.x - cx) * (p.x - cx) + (p.y - cy) * (p.y - cy);
        const double size = std::sqrt(sum / task.size());
        for (const Pose &p : task)
            fitPoses.push_back({(p.x - cx) / size, (p.y - cy) / size, p.thetaDeg});
        for (const RevoluteSide &s : sides)
            fitSides.push_back({{(s.fixedPivot.x - cx) / size, (s.fixedPivot.y - cy) / size},
                                {s.movingLocal.x / size, s.movingLocal.y / size}, s.radius / size});
    }
    std::vector<Pose> fitPoses;
    std::vector<RevoluteSide> fitSides;
};
} // namespace

class DiagnosticFilesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void filesOfTheTaskHoldTheirLines_data();
    void filesOfTheTaskHoldTheirLines();
    void parametersHoldTheRRThenThePRLineOfEveryRoot();
    void outputReportsEverySectionInOrder();
    void theReportViewGetsTheDyadListing();
    void solStatsSummarisesTheFirstTwoDyads();

private:
    std::unique_ptr<Rig> rig;
};

void DiagnosticFilesTest::initTestCase() {
    rig = std::make_unique<Rig>();
    // This task has exactly the two dyads of its mechanism (no further real root).
    QCOMPARE(rig->sides.size(), size_t(2));
    QVERIFY(rig->sides[0].fixedPivot.x != rig->sides[1].fixedPivot.x);
}

// The task as read, D (to three digits) and K = D^T D (to fourteen) as the library prints
// them, and the last step marker.
void DiagnosticFilesTest::filesOfTheTaskHoldTheirLines_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("lines");
    QStringList datamat;
    arma::mat d(5, 8);
    for (arma::uword i = 0; i < 5; ++i) {
        const Pose &p = rig->task[i];
        datamat << QString::fromStdString(g6(p.x) + '\t' + g6(p.y) + '\t' + g6(p.thetaDeg) + '\t');
        d.row(i) = known::dataRow(rig->fitPoses[i]);
    }
    std::ostringstream a, b;
    a.precision(3);
    a << d;
    b.precision(14);
    b << arma::mat(d.t() * d);
    QTest::newRow("datamat") << "datamat.txt" << datamat + QStringList{QString()};
    QTest::newRow("mata") << "mata.txt" << QString::fromStdString(a.str()).split(QLatin1Char('\n'));
    QTest::newRow("matb") << "matb.txt" << QString::fromStdString(b.str()).split(QLatin1Char('\n'));
    QTest::newRow("steps") << "steps.txt" << QStringList{QStringLiteral("Step 2 "), QString()};
}

void DiagnosticFilesTest::filesOfTheTaskHoldTheirLines() {
    QFETCH(QString, file);
    QFETCH(QStringList, lines);
    QCOMPARE(fileLines(qPrintable(file)), lines);
}

// The PR line's p4, p5, 4 p8 come from the unit vector, whose sign the decomposition picks.
void DiagnosticFilesTest::parametersHoldTheRRThenThePRLineOfEveryRoot() {
    const QStringList lines = fileLines("Parameters.txt");
    QCOMPARE(lines.size(), 5);
    for (size_t i = 0; i < 2; ++i) {
        const RevoluteSide &s = rig->sides[i];
        const std::string rr = g6(s.fixedPivot.x) + ' ' + g6(s.fixedPivot.y) + ' ' + g6(s.radius)
                               + ' ' + g6(s.movingLocal.x) + ' ' + g6(s.movingLocal.y);
        QCOMPARE(lines[static_cast<int>(i)], QString::fromStdString(rr));
        const arma::vec unit = arma::normalise(quadricOf(s));
        QStringList either;
        for (double sign : {1.0, -1.0})
            either << QString::fromStdString(g6(sign * unit(3)) + ' ' + g6(sign * unit(4)) + ' '
                                             + g6(sign * 4 * unit(7)) + ' ' + g6(s.movingLocal.x)
                                             + ' ' + g6(s.movingLocal.y));
        QVERIFY2(either.contains(lines[static_cast<int>(i) + 2]), qPrintable(lines[static_cast<int>(i) + 2]));
    }
    QCOMPARE(lines.last(), QString());
}

namespace {
// 1. The basis: three unit vectors of the null space of D, printed to six digits.
arma::mat checkBasis(LineWalker &w, const arma::mat &d) {
    w.exact("Right Singular Vectors");
    arma::mat e(8, 3);
    for (arma::uword k = 0; k < 3; ++k) {
        e.col(k) = w.numbers(8);
        w.exact("");
    }
    [&]() {
        QVERIFY(arma::norm(e.t() * e - arma::eye(3, 3), "inf") < 1e-5);
        QVERIFY(arma::norm(d * e, "inf") < 1e-4);
    }();
    return e;
}

// The two constraints of a dyad's quadric p, written out by hand.
double c1(const arma::vec &p) { return p(0) * p(5) + p(1) * p(4) - p(2) * p(3); }
double c2(const arma::vec &p) { return 2 * p(0) * p(6) - p(1) * p(3) - p(2) * p(4); }

// The conic coefficients K and M: C1 and C2 and their polar forms on the basis e.
void checkCoefficients(LineWalker &w, const arma::mat &e) {
    w.exact(" Values of K and M");
    w.exact("");
    using Form = double (*)(const arma::vec &);
    for (const Form c : {Form(c1), Form(c2)}) {
        auto polar = [c](const arma::vec &x, const arma::vec &y) { return c(x + y) - c(x) - c(y); };
        const double want[6] = {c(e.col(0)), c(e.col(1)), polar(e.col(0), e.col(1)),
                                polar(e.col(0), e.col(2)), polar(e.col(1), e.col(2)), c(e.col(2))};
        for (int k = 0; k < 6; ++k) {
            const QString line = w.next();
            const QString label =
                QStringLiteral("%1%2 :").arg(QLatin1Char(c == c1 ? 'k' : 'm')).arg(k + 1);
            QVERIFY2(line.startsWith(label), qPrintable(line));
            QVERIFY2(std::fabs(line.mid(label.size()).toDouble() - want[k]) < 1e-4, qPrintable(line));
        }
        w.exact("");
    }
}

// 7 to 10. The real pairs, each giving the quadric of one known side, and both residuals.
void checkRealPairs(LineWalker &w, const arma::mat &e, const std::vector<RevoluteSide> &sides) {
    w.exact("");
    const arma::vec a = w.numbers(2);
    w.exact("");
    w.exact("");
    w.exact("Real Roots of b ");
    const arma::vec b = w.numbers(2);
    for (arma::uword i = 0; i < 2; ++i) {
        const arma::vec p = arma::normalise(a(i) * e.col(0) + b(i) * e.col(1) + e.col(2));
        const arma::vec want = arma::normalise(quadricOf(sides[i]));
        QVERIFY(std::min(arma::norm(p - want), arma::norm(p + want)) < 1e-3);
    }
    for (const char *title : {"Equation A = k1*a^2+k2*b^2+k3*a*b+k4*a+k5*b+k6",
                              "Equation B = m1*a^2+m2*b^2+m3*a*b+m4*a+m5*b+m6"}) {
        w.exact("");
        w.exact(QLatin1String(title));
        w.exact("");
        for (int i = 0; i < 2; ++i)
            QVERIFY(std::fabs(w.number()) < 1e-9);
        if (title[9] == 'A')
            w.exact("");
    }
}

// 11, 12. The unit vectors (sign left to the decomposition) and the normalised ones (exact).
void checkVectorBlocks(LineWalker &w, const std::vector<RevoluteSide> &sides) {
    const QRegularExpression header(QStringLiteral("^(n?vr)(\\d+)  CFE (\\S+) SFE (\\S+)$"));
    for (const char *label : {"vr", "nvr"}) {
        const bool unit = label[0] == 'v';
        w.exact("");
        w.exact(QLatin1String(unit ? "ALLL the vr vrctors" : "ALLL the normalised vr vrctors"));
        w.exact("");
        for (size_t i = 0; i < 2; ++i) {
            const QRegularExpressionMatch m = header.match(w.next());
            QVERIFY(m.hasMatch());
            QCOMPARE(m.captured(1), QLatin1String(label));
            QCOMPARE(m.captured(2).toInt(), static_cast<int>(i) + 1);
            QVERIFY(std::fabs(m.captured(3).toDouble()) < 1e-12);
            w.exact("");
            const arma::vec p = quadricOf(sides[i]);
            if (unit) {
                const arma::vec got = w.numbers(8), want = arma::normalise(p);
                QVERIFY(std::min(arma::norm(got - want), arma::norm(got + want)) < 1e-5);
            } else {
                const arma::vec q = normalisedByLargest(p);
                for (arma::uword k = 0; k < 8; ++k)
                    w.exact(QString::fromStdString(g6(q(k))));
            }
            w.exact("");
            w.exact("");
        }
    }
}

// 13. The dyad listing: "Dyad i", the normalised vector to six digits, an empty line.
QString expectedListing(const std::vector<RevoluteSide> &sides) {
    QString listing;
    for (size_t i = 0; i < sides.size(); ++i) {
        listing += QStringLiteral("Dyad %1\n").arg(i + 1);
        const arma::vec q = normalisedByLargest(quadricOf(sides[i]));
        for (arma::uword k = 0; k < 8; ++k)
            listing += QString::number(q(k), 'g', 6) + QLatin1Char('\n');
        listing += QLatin1Char('\n');
    }
    return listing;
}
} // namespace

void DiagnosticFilesTest::outputReportsEverySectionInOrder() {
    LineWalker w(fileLines("output.txt"));
    arma::mat d(5, 8);
    for (arma::uword i = 0; i < 5; ++i)
        d.row(i) = known::dataRow(rig->fitPoses[i]);
    const arma::mat e = checkBasis(w, d);
    // The fitting errors and eigenvalues lie between; the complex roots after the coefficients.
    while (!w.atEnd() && w.peek() != QLatin1String(" Values of K and M"))
        w.next();
    checkCoefficients(w, e);
    while (!w.atEnd() && w.next() != QLatin1String("Real Roots of a ")) {
    }
    checkRealPairs(w, e, rig->fitSides);
    checkVectorBlocks(w, rig->fitSides);
    if (QTest::currentTestFailed())
        return;
    // The threshold with no line end, then the listing.
    for (const QString &line : (QStringLiteral("1e-05") + expectedListing(rig->fitSides)).split(QLatin1Char('\n')))
        w.exact(line);
    QVERIFY2(w.failure.isEmpty(), qPrintable(w.failure));
    QVERIFY(w.atEnd());
}

void DiagnosticFilesTest::theReportViewGetsTheDyadListing() {
    QCOMPARE(rig->listing, expectedListing(rig->fitSides));
}

void DiagnosticFilesTest::solStatsSummarisesTheFirstTwoDyads() {
    const Pose &pose0 = rig->task[0];
    const known::Vec f1 = rig->sides[0].fixedPivot, f2 = rig->sides[1].fixedPivot;
    const known::Vec m1 = known::toFixed(pose0, rig->sides[0].movingLocal);
    const known::Vec m2 = known::toFixed(pose0, rig->sides[1].movingLocal);
    auto dist = [](known::Vec a, known::Vec b) { return std::hypot(a.x - b.x, a.y - b.y); };
    const double lengths[4] = {dist(f1, f2), dist(m1, m2), dist(f1, m1), dist(f2, m2)};
    const double sum = lengths[0] + lengths[1] + lengths[2] + lengths[3];
    const double shortest = *std::min_element(lengths, lengths + 4);
    const double longest = *std::max_element(lengths, lengths + 4);
    QStringList want;
    for (known::Vec v : {f1, f2, m1, m2})
        want << QString::fromStdString(g6(v.x) + ',' + g6(v.y));
    for (double l : lengths)
        want << QString::fromStdString(g6(l));
    want << QString::fromStdString(g6(sum)) << QString::fromStdString(g6(shortest))
         << QString::fromStdString(g6(longest));
    want << (sum - (shortest + longest) < shortest + longest ? QStringLiteral("YES") : QStringLiteral("NO"));
    QCOMPARE(fileLines("SolStats.txt"), want);
}

MS_REGISTER_TEST(DiagnosticFilesTest)
#include "DiagnosticFilesTest.moc"
