// Collects a text file's content in memory and replaces the file with it whole, or not at all.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <sstream>

// Text goes through a standard stream, so numbers keep the stream's default format (six
// significant digits). commit() writes over an existing file and cuts it to length, checking
// every step; when a step fails (a full disk) the earlier content is put back, so the file is
// never left at some length with a hole in it. A new file is written beside its name and renamed
// into place. While an OutputStaging is open the content goes to it instead, to be written with
// the rest of its run. A file that could not be written is said on standard error and remembered until
// takeFailures() (the engine turns them into a warning for the window).
class TextFileWriter {
public:
    explicit TextFileWriter(QString path);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter &) = delete;
    TextFileWriter &operator=(const TextFileWriter &) = delete;

    std::ostream &stream() { return buffer; }
    // Replaces the file's content (or stages it); false when it cannot be written. Called by
    // the destructor when not called before.
    bool commit();

    // Writes `text` over the content of `path` (see above); false, with the earlier content in
    // place and `why`, when it cannot.
    static bool overwrite(const QString &path, const QByteArray &text, QString *why);
    // Writes `text` as the whole new content of `path` through a temporary file in the same
    // folder; on failure the old file stays, the temporary is removed and `why` says what failed.
    static bool replaceFile(const QString &path, const QByteArray &text, QString *why);

    // The two halves of replaceFile, for a set of files replaced together. A replacement holds
    // the file the content is meant for (a link's target) and the temporary that holds it.
    struct Replacement {
        QString target;
        QString temporary;
    };
    // Writes the temporary; false (nothing left behind) with `why` when it cannot be.
    static bool writeReplacement(const QString &path, const QByteArray &text, Replacement &r,
                                 QString *why);
    // Renames the temporary over the target; on failure removes the temporary.
    static bool moveIntoPlace(const Replacement &r, QString *why);
    // Removes a temporary that is not wanted after all.
    static void discard(const Replacement &r);
    // The files not written since the last call, each as "name: reason"; empties the list.
    static QStringList takeFailures();

private:
    QString path;
    std::ostringstream buffer;
    bool committed = false;
    bool written = false;
};
