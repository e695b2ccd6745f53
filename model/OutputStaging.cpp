// Staging a run's output files and writing them as one set.
#include "OutputStaging.h"

#include "TextFileWriter.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
OutputStaging *current = nullptr;
} // namespace

OutputStaging::OutputStaging() {
    if (current) {
        std::fputs("OutputStaging: a staging is open already\n", stderr);
        std::abort();
    }
    current = this;
}

OutputStaging::~OutputStaging() {
    if (current == this)
        current = nullptr;
}

OutputStaging *OutputStaging::active() { return current; }

void OutputStaging::stage(const QString &path, const QByteArray &text) { files[path] = text; }

QStringList OutputStaging::paths() const {
    QStringList names;
    for (const auto &file : files)
        names << file.first;
    return names;
}

// First every file goes to a temporary beside it; a failure there removes all temporaries again
// and nothing has changed. Then the renames, which only fail when the folder changes under the
// run (then the files renamed before it are new, the rest old, and failures() says which).
bool OutputStaging::commit() {
    if (current == this)
        current = nullptr;
    failed.clear();
    std::vector<TextFileWriter::Replacement> written;
    for (const auto &file : files) {
        TextFileWriter::Replacement r;
        QString why;
        if (TextFileWriter::writeReplacement(file.first, file.second, r, &why))
            written.push_back(r);
        else
            failed << QStringLiteral("%1: %2").arg(file.first, why);
    }
    if (!failed.isEmpty()) {
        for (const TextFileWriter::Replacement &r : written)
            TextFileWriter::discard(r);
        return false;
    }
    for (const TextFileWriter::Replacement &r : written) {
        QString why;
        if (!TextFileWriter::moveIntoPlace(r, &why))
            failed << QStringLiteral("%1: %2").arg(r.target, why);
    }
    return failed.isEmpty();
}
