// Reads a position file: a count, then that many records of x, y, theta in degrees and,
// optionally, a time parameter. Checks everything before anything is handed on.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

class PositionFileReader {
public:
    struct Record {
        double x = 0.0;
        double y = 0.0;
        double thetaDeg = 0.0;
        double parameter = 0.0;  // the fourth number, 0 in the three-number form
    };

    // A count above this is taken for a corrupt file, not a task.
    static constexpr long long maximumCount = 100000;
    // The largest file read: the longest task (four numbers per position) written with every
    // number at full precision and a comment's worth of room. Anything larger is refused unread.
    static constexpr qint64 maximumFileBytes = 16 * 1024 * 1024;

    // defaultRecordSize (3 or 4) is the form the command names; the file's own count of
    // numbers (1 + 3N or 1 + 4N) decides, the default only when both would fit (N = 0).
    explicit PositionFileReader(int defaultRecordSize = 3);

    // True when the whole file is a valid task; otherwise records() stays empty and error()
    // names the problem and the record. "Cannot open the file." when it cannot be read; only
    // regular files up to maximumFileBytes are read.
    bool readFile(const QString &path);
    bool readText(const QByteArray &text);

    const std::vector<Record> &records() const { return parsed; }
    int recordSize() const { return size; }
    const QString &error() const { return message; }

private:
    struct Token {
        QByteArray text;
        int line;
    };
    static std::vector<Token> tokenize(const QByteArray &text, size_t limit, bool &more);
    bool fail(const QString &why);
    bool readCount(const Token &token, long long &count);
    int matchingRecordSize(long long count, size_t numbers) const;
    bool failOnCount(long long count, size_t numbers, bool more);
    bool readNumber(const Token &token, long long record, int field, double &value);

    int defaultSize;
    int size;
    std::vector<Record> parsed;
    QString message;
};
