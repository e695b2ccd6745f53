// The synthesis engine: keeps the task as a data matrix, fits dyads to it and hands them to the
// branch, leaving a trail of diagnostic files and announcing its results.
#pragma once

#include "FitResult.h"
#include "LineConstraint.h"
#include "Point.h"
#include "ToleranceSolution.h"
#include "TypeDecision.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <armadillo>
#include <cstdio>
#include <vector>

class Branch;
class Motion;
class SweepRanking;
class TextFileWriter;
class ToleranceGrid;

class MechanismSynthesis : public QObject {
    Q_OBJECT
public:
    explicit MechanismSynthesis(QObject *parent = nullptr);
    ~MechanismSynthesis() override;

    // Fewest positions the n-position fit can work with: five rows leave the three-dimensional
    // family of quadrics the two conics are solved in.
    static constexpr int minimumPositions = 5;
    // The variants: a line through the fixed pivot makes four positions enough, two chosen
    // fixed pivots three.
    static constexpr int fourPositions = 4;
    static constexpr int threePositions = 3;
    // The threshold box's exponent goes from -20 to 0; 10^-20 is already far below any
    // coefficient the type decision meets, so larger exponents are taken as 20.
    static constexpr int maximumThresholdExponent = 20;
    // A sweep turns each orientation at most half a turn either way; beyond, the grid repeats
    // orientations and only costs time.
    static constexpr double maximumToleranceDeg = 180.0;

    // Row operations of the position editors; each rewrites "data_value matrix.txt".
    void appendDataRow(double x, double y, double thetaDeg);
    void setDataRow(int i, double x, double y, double thetaDeg);
    void removeDataRow(int i);

    const arma::mat &getData() const { return data; }
    double getThreshold() const { return threshold; }
    double getLinkRatio() const { return linkRatio; }
    // Number of positions a run works on: the motion's, or the data rows without a motion.
    int positionCount() const;
    // The settings of the type decision as they are now (threshold, link ratio); the workspace
    // only frames the drawing and is not among them.
    TypeDecision::Settings decisionSettings() const;
    // The fit of the last n-position run (empty before the first).
    const FitResult &lastFit() const { return fit; }

    // The diagnostic files are written by default; off, a run computes and hands over the
    // dyads only (for measurements and for sweeps that keep only the last run's files).
    void setFileOutput(bool on) { fileOutput = on; }
    bool isFileOutputOn() const { return fileOutput; }
    // Where a run that stops says why (standard output by default; the command line sends it
    // to standard error so its own output stays clean, or to null, to say it in its own words).
    void setMessageOutput(std::FILE *stream) { messages = stream; }
    // Why synthesizeWithTol(tol, res, n) would be refused (its settings, the task, the size of
    // its grid and of its records); empty when it would run.
    QString sweepRefusal(double tol, int res, int n) const;
    // Announces the output files that could not be written since the last call (a full disk, a
    // protected folder), with outputFilesNotWritten; every run calls it at its end. The window
    // may call it after writes of its own (the mechanism's limits when a pair is ticked).
    void reportUnwrittenFiles();
    // The link ratio as any positive number (the slot takes the whole numbers of its box).
    void setLinkRatioValue(double ratio);
    // The line of updateLineParams as the four-position fit reads it.
    LineConstraint lineConstraint() const { return {lineA, lineB, lineC}; }

    // --- Tolerance sweep records, in the order of the grid points of the last sweep ----------
    const std::vector<ToleranceSolution> &getTolSolutions() const { return tolSolutions; }
    int tolSolutionCount() const { return static_cast<int>(tolSolutions.size()); }
    // Null outside the list.
    const ToleranceSolution *tolSolutionAt(int i) const;
    void setTolSolutionFlag(int i, bool on);
    bool isTolSynthesisRunning() const { return sweepRunning; }
    // Whether the last sweep ended by cancelTolSynthesis() before its last grid point.
    bool wasTolSynthesisCancelled() const { return sweepCancelled; }
    // On (the default), a sweep writes the per-run files and announces its results for the
    // last grid point only, which leaves the same files and branch; off, every grid point's
    // run writes and announces, as a sequence of ordinary runs would.
    void setFastSweep(bool on) { fastSweep = on; }
    // The threads that judge a sweep's records (their best pairs); 0, the default, takes one
    // per core. The records are the same for any count.
    void setSweepThreads(int threads) { sweepThreads = threads; }

    bool lineDefined = false;
    bool udp1Defined = false;
    bool udp2Defined = false;
    double lineA = 0.0, lineB = -1.0, lineC = 0.0;
    Point udp1{0.0, 0.0, 0.0};
    Point udp2{0.0, 0.0, 0.0};

public slots:
    void setMotion(Motion *m) { motion = m; }
    void setBranch(Branch *b) { branch = b; }
    void setData(int n);
    void setDataValue(int i, int j, double v);
    void setThreshold(int n);
    void setLinkRatio(int n);
    void updateLineParams(double x1, double y1, double x2, double y2);
    void setUDP(double x, double y);
    std::vector<Point> *getPointList();
    std::vector<Point> getPointListCpy();
    QString getBranch1() const { return branch1; }
    QString getBranch2() const { return branch2; }
    // n-position synthesis, for five or more positions.
    void synthesize();
    // Four positions and a line for the fixed pivot (updateLineParams).
    void synthesize4pos();
    // Three positions and two chosen fixed pivots (setUDP, twice).
    void synthesize3pos();
    // The tolerance sweep over the orientations of n positions (3, 4 or 5), tol in degrees,
    // res steps on each side of every orientation.
    void synthesizeWithTol(double tol, int res, int n);
    // Stops a running sweep after the grid point in progress.
    void cancelTolSynthesis();
    // Forgets the records (the main window's "reset solutions").
    void clearTolSolutions();

signals:
    void synthesisdone();
    void synthesisdone(int, int);
    void synthesisdone(int);
    void synthesisdone(int, int, int);
    void tolSynthesisDone();
    // A sweep begins with this many grid points; then the grid points done so far.
    void tolSynthesisStarted(int);
    void tolSynthesisInProgress(int);
    void updateCFE(QString);
    void updateOutfile(QString);
    // A run that could not go on, or left solutions out, and why (in words for the user).
    void runStopped(QString why);
    // Output files of the run that could not be written (each "name: reason", one per line);
    // each keeps its earlier content. The run's result itself stands.
    void outputFilesNotWritten(QString which);

protected:
    // Pieces the other synthesis operations share.
    void rebuildPointList();
    Point firstPose() const;
    // Reports a run that cannot go on on standard output and in the report view.
    void reportStop(const QString &message);
    void writeDataFile();
    enum class Operation { NPosition, FourPosition, ThreePosition };

    Motion *motion = nullptr;
    Branch *branch = nullptr;
    arma::mat data;  // one row per position: x, y, theta in degrees
    double threshold = 1e-5;
    double linkRatio = 2.0;
    std::vector<Point> pointList;  // poses (x, y, theta in degrees)
    QString branch1;
    QString branch2;
    FitResult fit;
    bool fileOutput = true;
    std::FILE *messages = stdout;
    std::vector<ToleranceSolution> tolSolutions;

private:
    bool checkTask(int n, const QString &problem);
    bool startVariant(int n, int wanted, bool inputGiven, const QString &operation,
                      const QString &missing);
    bool handOverVariant(Operation op, const FitResult &result, const QStringList &skipped);
    bool decomposed(Operation op, const FitResult &result);
    void reportSkipped(const QStringList &why);
    void handOverDyads(const Point &pose0, Operation op);
    void writeParameterLines(Operation op) const;
    void writeReport();

    // The sweep's steps (MechanismSynthesisSweep.cpp).
    void synthesizeInsteadOfSweep(int n);
    void runOperation(Operation op);
    void runGridPoint(Operation op, bool quiet, bool files);
    void recordGridPoint(SweepRanking &ranking);
    void sweepGrid(const ToleranceGrid &grid, Operation op, TextFileWriter &file);
    void reportProgress(long long before, long long done, long long total);
    void reportHeldBack();

    bool fastSweep = true;
    int sweepThreads = 0;
    bool sweepRunning = false;
    bool sweepCancelRequested = false;
    bool sweepCancelled = false;
    // An intermediate run of the fast sweep: its results are replaced by the next grid
    // point's, so it neither announces them nor reports; what it would have said is counted.
    bool quietRun = false;
    int heldBackReports = 0;
    QString firstHeldBackReport;
};
