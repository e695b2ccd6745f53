// Saving files the user asked for (dyads, screenshots, exports): whole or not at all, and a save
// that fails is said in the window and on standard error.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

class QWidget;

class UserFileSave {
public:
    struct File {
        QString path;
        QByteArray bytes;
    };

    // Writes every file through a temporary file beside it, which replaces the old file only
    // once all of the files were written and flushed; a full disk or a folder that refuses new
    // files leaves every old file as it was and no stray file. On failure, failedPath and why
    // name the file and the reason.
    static bool write(const std::vector<File> &files, QString &failedPath, QString &why);
    static bool write(const QString &path, const QByteArray &bytes, QString &why);

    // A failed save: a warning box over parent and the same line on standard error.
    static void report(QWidget *parent, const QString &title, const QString &path,
                       const QString &why);
};
