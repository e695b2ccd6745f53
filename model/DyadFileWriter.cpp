// Writing dyad parameters for the user to read: plain text, six significant digits.
#include "DyadFileWriter.h"

#include "Dyad.h"
#include "TextFileWriter.h"

#include <ostream>

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
    TextFileWriter file(path);
    for (const Dyad *d : dyads)
        writeBlock(file.stream(), *d, false);
    return file.commit();
}

bool DyadFileWriter::writeChosen(const QString &path, const std::vector<Dyad *> &dyads,
                                 const std::vector<bool> &states) {
    TextFileWriter file(path);
    for (size_t i = 0; i < states.size() && i < dyads.size(); ++i)
        if (states[i])
            writeBlock(file.stream(), *dyads[i], true);
    return file.commit();
}

bool DyadFileWriter::writeUserDyads(const QString &path, const std::vector<Dyad *> &dyads,
                                    bool hasMechanism) {
    TextFileWriter file(path);
    if (!hasMechanism)
        file.stream() << " No Mechanism set ";
    else
        for (const Dyad *d : dyads)
            writeBlock(file.stream(), *d, false);
    return file.commit();
}
