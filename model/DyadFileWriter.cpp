// Writing dyad parameters for the user to read: plain text, six significant digits.
#include "DyadFileWriter.h"

#include "Dyad.h"

#include <fstream>
#include <ostream>

namespace {
std::ofstream openForWriting(const QString &path) {
    return std::ofstream(path.toLocal8Bit().toStdString(), std::ios::out | std::ios::trunc);
}

bool finish(std::ofstream &out) {
    out.close();
    return !out.fail();
}
} // namespace

void DyadFileWriter::writeBlock(std::ostream &out, const Dyad &dyad, bool withPose) {
    out << dyad.typeName().toStdString() << '\n' << '\n';
    if (withPose) {
        const Point pose = dyad.poseCopy();
        out << pose.x() << '\n' << pose.y() << '\n';
    }
    out << dyad.parameter1() << '\n'
        << dyad.parameter2() << '\n'
        << dyad.parameter3() << '\n'
        << dyad.parameter4() << '\n'
        << dyad.parameter5() << '\n';
    out << '\n' << " where above values are in order" << '\n' << '\n';
    out << dyad.parameterName1().toStdString() << '\n'
        << dyad.parameterName2().toStdString() << '\n'
        << dyad.parameterName3().toStdString() << '\n'
        << dyad.parameterName4().toStdString() << '\n'
        << dyad.parameterName5().toStdString() << '\n';
    out << '\n';
}

bool DyadFileWriter::writeAll(const QString &path, const std::vector<Dyad *> &dyads) {
    std::ofstream out = openForWriting(path);
    if (!out)
        return false;
    for (const Dyad *d : dyads)
        writeBlock(out, *d, false);
    return finish(out);
}

bool DyadFileWriter::writeChosen(const QString &path, const std::vector<Dyad *> &dyads,
                                 const std::vector<bool> &states) {
    std::ofstream out = openForWriting(path);
    if (!out)
        return false;
    for (size_t i = 0; i < states.size() && i < dyads.size(); ++i)
        if (states[i])
            writeBlock(out, *dyads[i], true);
    return finish(out);
}

bool DyadFileWriter::writeUserDyads(const QString &path, const std::vector<Dyad *> &dyads,
                                    bool hasMechanism) {
    std::ofstream out = openForWriting(path);
    if (!out)
        return false;
    if (!hasMechanism) {
        out << " No Mechanism set ";
        return finish(out);
    }
    for (const Dyad *d : dyads)
        writeBlock(out, *d, false);
    return finish(out);
}
