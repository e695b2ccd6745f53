// Holds back the output files of one run, so that they are written together or not at all.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>

// The command line opens one for a run: every TextFileWriter of the process then hands its file
// here instead of writing it (the last content given for a name wins, as the last write would).
// A run that fails simply drops the staging, and every earlier file stays as it was; a run that
// succeeds commits, which writes each file to a temporary name beside it and renames them all
// into place only when every one was written. Only one staging is open at a time.
class OutputStaging {
public:
    OutputStaging();
    ~OutputStaging();
    OutputStaging(const OutputStaging &) = delete;
    OutputStaging &operator=(const OutputStaging &) = delete;

    // The open staging, or null when files are written at once.
    static OutputStaging *active();

    void stage(const QString &path, const QByteArray &text);
    // The files held, in name order.
    QStringList paths() const;
    // Writes every file held. False when any could not be written: then none was changed, and
    // failures() names each that failed and why ("name: reason"). Closes the staging either way.
    bool commit();
    const QStringList &failures() const { return failed; }

private:
    std::map<QString, QByteArray> files;
    QStringList failed;
};
