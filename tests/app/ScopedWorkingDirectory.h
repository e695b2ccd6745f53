// A fresh temporary working directory for one test, left again (and removed) at its end, so the
// output files of a run never land in the source tree or another test's folder.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class ScopedWorkingDirectory {
public:
    ScopedWorkingDirectory() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~ScopedWorkingDirectory() { QDir::setCurrent(previous); }
    ScopedWorkingDirectory(const ScopedWorkingDirectory &) = delete;
    ScopedWorkingDirectory &operator=(const ScopedWorkingDirectory &) = delete;

    QString path() const { return dir.path(); }
    QString filePath(const QString &name) const { return dir.filePath(name); }

    // Writes a file into the directory; returns its path.
    QString write(const QString &name, const QByteArray &contents) const {
        QFile f(filePath(name));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(contents);
        return f.fileName();
    }

    // Copies the given files of folder `from` here.
    void copyFrom(const QString &from, const QStringList &names) const {
        for (const QString &n : names)
            QFile::copy(QDir(from).filePath(n), filePath(n));
    }

private:
    QTemporaryDir dir;
    QString previous;
};
