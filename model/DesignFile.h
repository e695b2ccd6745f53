// A design file: everything a designer set up, so that the next day's window (or the command
// line) starts exactly where they stopped. The file is JSON whose first two members, "format"
// and "version", say what it is before anything else is read, so that a later version can read
// an older file and an older version refuses a newer one by name instead of misreading it.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

class DesignFile {
public:
    static constexpr const char *formatName = "mechsynth-design";
    static constexpr int currentVersion = 1;
    // The suffix the file dialogs offer; ".json" at the end lets other tools show it as JSON.
    static constexpr const char *suffix = ".msyn.json";
    // A design of the largest task, every number at full precision, stays far below this; a
    // larger file is refused unread.
    static constexpr qint64 maximumFileBytes = 16 * 1024 * 1024;
    static constexpr int maximumPositions = 100000;
    // Synthesis gives at most a handful of dyads; a file claiming more is not ours.
    static constexpr int maximumDyads = 64;
    static constexpr int maximumUserDyads = 2;

    struct Position {
        double x = 0.0;
        double y = 0.0;
        double thetaDeg = 0.0;
        double parameter = 0.0;
        bool operator==(const Position &o) const;
    };
    // A dyad as the window shows it: its kind, its pivots in the fixed frame, the pose it was
    // built in (x, y, theta degrees) and its five parameters, so that a version that
    // synthesizes differently still shows the saved mechanism.
    struct Dyad {
        QString kind;  // "RR", "PR" or "RP"
        std::array<double, 2> fixedPivot{};
        std::array<double, 2> movingPivot{};
        std::array<double, 3> pose{};
        std::array<double, 5> parameters{};
        bool operator==(const Dyad &o) const;
    };

    std::vector<Position> positions;
    bool lineDefined = false;
    std::array<double, 4> lineEnds{};  // the two points the line was drawn through: x1 y1 x2 y2
    std::array<bool, 2> pointDefined{};
    std::array<std::array<double, 2>, 2> points{};
    bool fourPosition = false;
    bool threePosition = false;
    bool smartSynthesis = false;
    double toleranceDeg = 15.0;
    int resolution = 1;
    double positionTolerance = 0.0;
    int thresholdExponent = -5;
    int linkRatio = 2;
    double workspaceWidth = 20.0;
    double workspaceHeight = 10.0;
    char unit = 'm';
    int digits = 4;
    std::vector<Dyad> dyads;
    // The first-pass RR dyads of the last run: the exact RR offered beside an approximate
    // slider dyad is one of them, and may be ticked instead of it.
    std::vector<Dyad> alternatives;
    // The ticked pair, the input dyad first; empty or two. 0-based indices into dyads followed
    // by alternatives (index dyads.size() + k is alternative k).
    std::vector<int> chosen;
    std::vector<Dyad> userDyads;
    bool movingFrameDefined = false;
    std::array<double, 3> movingFrame{};  // x, y, theta degrees
    bool circuitOpen = true;
    double input = 0.0;  // the mechanism's input value (degrees, or a length for a slider)

    bool operator==(const DesignFile &o) const;
    bool operator!=(const DesignFile &o) const { return !(*this == o); }

    // The file's text: members in a fixed order, numbers in their shortest exact form, so that
    // saving an opened design again gives the same bytes.
    QByteArray toJson() const;
    // True when text is a whole, valid design; then it replaces this one. Otherwise this one is
    // left as it was and why names what is wrong.
    bool readJson(const QByteArray &text, QString &why);
    // The same for a file: only regular files up to maximumFileBytes are read.
    bool readFile(const QString &path, QString &why);
    // Whether the first bytes of a file look like a design (a JSON object) rather than a
    // position file (numbers).
    static bool looksLikeDesign(const QByteArray &head);
    static bool looksLikeDesignFile(const QString &path);
};
