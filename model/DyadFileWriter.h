// The three dyad parameter files: blocks of kind, five parameters and their names.
#pragma once

#include <QString>
#include <iosfwd>
#include <vector>

class Dyad;

class DyadFileWriter {
public:
    // One block: kind, empty line, [pose x, pose y,] the five parameters, empty line,
    // " where above values are in order", empty line, the five names, empty line.
    static void writeBlock(std::ostream &out, const Dyad &dyad, bool withPose);

    // Every dyad, in order ("dyad parameters.txt"). False when the file cannot be written.
    static bool writeAll(const QString &path, const std::vector<Dyad *> &dyads);
    // The dyads whose state is true, with their pose lines ("synthesized dyad parameters.txt");
    // states past the list are ignored.
    static bool writeChosen(const QString &path, const std::vector<Dyad *> &dyads,
                            const std::vector<bool> &states);
    // The drawn dyads when a mechanism exists, else " No Mechanism set " alone
    // ("user input dyad parameters.txt").
    static bool writeUserDyads(const QString &path, const std::vector<Dyad *> &dyads,
                               bool hasMechanism);
};
