// Replacing a text file's content in place: write over it, then cut it to length.
#include "TextFileWriter.h"

#include <QFile>
#include <string>
#include <utility>

TextFileWriter::TextFileWriter(QString p) : path(std::move(p)) {}

TextFileWriter::~TextFileWriter() { commit(); }

bool TextFileWriter::commit() {
    if (committed)
        return written;
    committed = true;
    const std::string text = buffer.str();
    QFile file(path);
    // Read-write opens without truncating; a file we may only write is replaced the plain way.
    if (!file.open(QIODevice::ReadWrite) && !file.open(QIODevice::WriteOnly))
        return false;
    const qint64 length = static_cast<qint64>(text.size());
    written = file.write(text.data(), length) == length;
    if (written && file.size() != length)
        written = file.resize(length);
    file.close();
    return written;
}
