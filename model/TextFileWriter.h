// Collects a text file's content in memory and replaces the file's content with one write.
#pragma once

#include <QString>
#include <sstream>

// Opening an existing file with truncation makes the file system flush the old blocks before
// the new ones (a millisecond or more per file on journalled disks); a run rewrites a dozen
// files. Writing over the old content and cutting the file to the new length gives the same
// file without that wait. Text goes through a standard stream, so numbers keep the stream's
// default format (six significant digits).
class TextFileWriter {
public:
    explicit TextFileWriter(QString path);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter &) = delete;
    TextFileWriter &operator=(const TextFileWriter &) = delete;

    std::ostream &stream() { return buffer; }
    // Replaces the file's content; false when it cannot be written. Called by the destructor
    // when not called before.
    bool commit();

private:
    QString path;
    std::ostringstream buffer;
    bool committed = false;
    bool written = false;
};
