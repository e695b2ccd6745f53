// Writing a file the user chose so that it is either the complete new file or the untouched old
// one, and telling the user when it could not be written.
#include "UserFileSave.h"

#include <QDir>
#include <QMessageBox>
#include <QSaveFile>
#include <cstdio>
#include <memory>

bool UserFileSave::write(const std::vector<File> &files, QString &failedPath, QString &why) {
    // Every file is written and flushed before any of them replaces its old one, so a refusal
    // found on the second file leaves the first one old too.
    std::vector<std::unique_ptr<QSaveFile>> staged;
    for (const File &f : files) {
        auto out = std::make_unique<QSaveFile>(f.path);
        const bool whole = out->open(QIODevice::WriteOnly) &&
                           out->write(f.bytes) == f.bytes.size() && out->flush();
        if (!whole) {
            failedPath = f.path;
            why = out->errorString();
            return false;  // the unfinished temporary files are removed with their QSaveFile
        }
        staged.push_back(std::move(out));
    }
    for (size_t i = 0; i < staged.size(); ++i) {
        if (!staged[i]->commit()) {
            failedPath = files[i].path;
            why = staged[i]->errorString();
            if (i > 0)
                why += QStringLiteral(" (the files before it were already replaced)");
            return false;
        }
    }
    return true;
}

bool UserFileSave::write(const QString &path, const QByteArray &bytes, QString &why) {
    QString failedPath;
    return write({File{path, bytes}}, failedPath, why);
}

void UserFileSave::report(QWidget *parent, const QString &title, const QString &path,
                          const QString &why) {
    const QString shown = QDir::toNativeSeparators(path);
    const QString line = QStringLiteral("Could not write \"%1\": %2").arg(shown, why);
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    QMessageBox::warning(parent, title,
                         QObject::tr("Could not write \"%1\": %2.\nAn earlier file of that name was left as it was.")
                             .arg(shown, why));
}
