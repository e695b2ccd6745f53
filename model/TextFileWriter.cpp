// Replacing a text file whole: a temporary file beside it, checked at every step, renamed over it.
#include "TextFileWriter.h"

#include "OutputStaging.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace {
QStringList &failures() {
    static QStringList list;
    return list;
}

// The temporary file's name: beside the target, so the rename stays within one file system,
// and visible, so a crash in between leaves nothing hidden.
QString temporaryName(const QString &target) {
    return target + QStringLiteral(".new-%1").arg(QCoreApplication::applicationPid());
}

bool fail(QString *why, const QString &reason) {
    if (why)
        *why = reason;
    return false;
}
} // namespace

TextFileWriter::TextFileWriter(QString p) : path(std::move(p)) {}

TextFileWriter::~TextFileWriter() { commit(); }

bool TextFileWriter::commit() {
    if (committed)
        return written;
    committed = true;
    const std::string text = buffer.str();
    if (OutputStaging *staging = OutputStaging::active()) {
        staging->stage(path, QByteArray(text.data(), static_cast<int>(text.size())));
        written = true;
        return written;
    }
    QString why;
    written = replaceFile(path, QByteArray(text.data(), static_cast<int>(text.size())), &why);
    if (!written) {
        const QString line = QStringLiteral("%1: %2").arg(path, why);
        failures() << line;
        std::fprintf(stderr, "Could not write %s; the file keeps its earlier content.\n",
                     line.toLocal8Bit().constData());
    }
    return written;
}

bool TextFileWriter::replaceFile(const QString &path, const QByteArray &text, QString *why) {
    Replacement r;
    return writeReplacement(path, text, r, why) && moveIntoPlace(r, why);
}

bool TextFileWriter::writeReplacement(const QString &path, const QByteArray &text, Replacement &r,
                                      QString *why) {
    const QFileInfo info(path);
    // A link is followed, so the file it names gets the content and the link stays a link.
    r.target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    if (info.exists() && !info.isFile())
        return fail(why, QStringLiteral("it is not a regular file"));
    // A protected file stays protected, as it did when files were rewritten in place; by its
    // mode, so that root is held by it too and a read-only disk is named by the system.
    if (info.exists() && !info.permission(QFileDevice::WriteOwner))
        return fail(why, QStringLiteral("the file is write-protected"));
    r.temporary = temporaryName(r.target);
    QFile::remove(r.temporary);  // a leftover of an earlier process that had the same id
    QFile file(r.temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(why, file.errorString());
    const bool complete = file.write(text) == text.size() && file.flush();
    file.close();
    if (complete && file.error() == QFileDevice::NoError)
        return true;
    const QString reason = file.errorString();
    QFile::remove(r.temporary);
    return fail(why, reason);
}

bool TextFileWriter::moveIntoPlace(const Replacement &r, QString *why) {
    if (std::rename(QFile::encodeName(r.temporary).constData(),
                    QFile::encodeName(r.target).constData())
        == 0)
        return true;
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    discard(r);
    return fail(why, reason);
}

void TextFileWriter::discard(const Replacement &r) { QFile::remove(r.temporary); }

QStringList TextFileWriter::takeFailures() { return std::exchange(failures(), {}); }
