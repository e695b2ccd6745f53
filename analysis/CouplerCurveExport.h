// The traced coupler curves of a four-bar as rows of poses with the input that reaches each,
// for the CSV export of the main window and of mechsynth-cli.
#pragma once

#include <QString>
#include <vector>

class Mechanism;

// One traced pose of the coupler point: which circuit and curve piece it belongs to, the input
// that puts it there (crank or RP line direction in degrees, slide displacement for a slider
// input) and the pose itself (x, y in workspace units, theta in degrees), all in the fixed frame.
struct TracedPose {
    bool open = true;
    int piece = 0;
    double input = 0.0;
    double x = 0.0;
    double y = 0.0;
    double thetaDeg = 0.0;
};

// Reads the curves the mechanism traced; it never traces or moves the mechanism itself.
class CouplerCurveExport {
public:
    enum class Circuits { Both, Open, Crossed };

    explicit CouplerCurveExport(const Mechanism &mechanism);

    // Open pieces 0, 1, 2 first, then crossed pieces 0, 1, 2, each in the order it was traced.
    std::vector<TracedPose> poses(Circuits which = Circuits::Both) const;
    int poseCount(bool open) const;

    // "circuit,input,x,y,theta" and one row per pose; the circuit is "open" or "crossed".
    static QString header();
    QString csv(Circuits which = Circuits::Both) const;
    // Writes csv() to path; false (and the file untouched) when it cannot be opened.
    bool writeCsv(const QString &path, Circuits which = Circuits::Both) const;

    // Digits of every number in the CSV: enough that a pose read back closes the loop to far
    // better than a nanometre of a metre-sized linkage.
    static constexpr int significantDigits = 15;

private:
    void appendPiece(bool open, int piece, std::vector<TracedPose> &rows) const;
    // The input that places the coupler at a traced pose, read back through the coupler frame.
    double inputAt(double x, double y, double thetaDeg) const;

    const Mechanism &mechanism;
};
