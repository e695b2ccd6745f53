// The synthesis engine: keeps the task as a data matrix, fits dyads to it and hands them to the
// branch, leaving a trail of diagnostic files and announcing its results.
#pragma once

#include "FitResult.h"
#include "Point.h"
#include "TypeDecision.h"

#include <QObject>
#include <QString>
#include <armadillo>
#include <cstdio>
#include <vector>

class Branch;
class Motion;

class MechanismSynthesis : public QObject {
    Q_OBJECT
public:
    explicit MechanismSynthesis(QObject *parent = nullptr);
    ~MechanismSynthesis() override;

    // Fewest positions the n-position fit can work with: five rows leave the three-dimensional
    // family of quadrics the two conics are solved in.
    static constexpr int minimumPositions = 5;

    // Row operations of the position editors; each rewrites "data_value matrix.txt".
    void appendDataRow(double x, double y, double thetaDeg);
    void setDataRow(int i, double x, double y, double thetaDeg);
    void removeDataRow(int i);

    const arma::mat &getData() const { return data; }
    double getThreshold() const { return threshold; }
    double getLinkRatio() const { return linkRatio; }
    // Number of positions a run works on: the motion's, or the data rows without a motion.
    int positionCount() const;
    // The settings of the type decision as they are now (threshold, workspace, link ratio).
    TypeDecision::Settings decisionSettings() const;
    // The fit of the last n-position run (empty before the first).
    const FitResult &lastFit() const { return fit; }

    // The diagnostic files are written by default; off, a run computes and hands over the
    // dyads only (for measurements and for sweeps that keep only the last run's files).
    void setFileOutput(bool on) { fileOutput = on; }
    bool isFileOutputOn() const { return fileOutput; }
    // Where a run that stops says why (standard output by default; the command line sends it
    // to standard error so its own output stays clean).
    void setMessageOutput(std::FILE *stream) { messages = stream; }
    // The link ratio as any positive number (the slot takes the whole numbers of its box).
    void setLinkRatioValue(double ratio);

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

signals:
    void synthesisdone();
    void synthesisdone(int, int);
    void synthesisdone(int);
    void synthesisdone(int, int, int);
    void tolSynthesisDone();
    void tolSynthesisInProgress(int);
    void updateCFE(QString);
    void updateOutfile(QString);

protected:
    // Pieces the other synthesis operations share.
    void rebuildPointList();
    Point firstPose() const;
    // Reports a run that cannot go on on standard output and in the report view.
    void reportStop(const QString &message);
    void writeDataFile() const;

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

private:
    bool checkTask(int n);
    void handOverDyads(const Point &pose0);
    void writeReport();
};
