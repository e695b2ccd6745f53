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
    written = overwrite(path, QByteArray(text.data(), static_cast<int>(text.size())), &why);
    if (!written) {
        const QString line = QStringLiteral("%1: %2").arg(path, why);
        failures() << line;
        std::fprintf(stderr, "Could not write %s; the file keeps its earlier content.\n",
                     line.toLocal8Bit().constData());
    }
    return written;
}

// Writing over the old content and cutting the file to length costs no new file, no rename and
// no forced flush (ext4 flushes a file renamed over another, some milliseconds per file; the
// window rewrites a dozen files on every drag of a pivot). The old content is read first, so a
// write that fails half way (a full disk) can put it back: the blocks it held are still the
// file's, so that needs no space. A file that cannot be opened so goes the way of replaceFile.
bool TextFileWriter::overwrite(const QString &path, const QByteArray &text, QString *why) {
    const QFileInfo info(path);
    if (!info.exists() || info.isSymLink())
        return replaceFile(path, text, why);
    if (!info.isFile())
        return fail(why, QStringLiteral("it is not a regular file"));
    if (!info.permission(QFileDevice::WriteOwner))
        return fail(why, QStringLiteral("the file is write-protected"));
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return replaceFile(path, text, why);
    const QByteArray earlier = file.readAll();
    const qint64 length = text.size();
    if (file.seek(0) && file.write(text) == length
        && (file.size() == length || file.resize(length)))
        return true;
    // A write cut short by a full disk returns its count without an error of its own: the
    // system's last error then says why.
    const int lastError = errno;
    const QString reason = file.error() != QFileDevice::NoError
                               ? file.errorString()
                               : QString::fromLocal8Bit(std::strerror(lastError));
    const bool restored = file.seek(0) && file.write(earlier) == earlier.size()
                          && file.resize(earlier.size());
    file.close();
    if (restored)
        return fail(why, reason);
    // Neither content could be written whole: no file is better than one that looks whole.
    QFile::remove(path);
    return fail(why, reason + QStringLiteral("; the file was removed, as its earlier content "
                                             "could not be put back"));
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
