// The position file reader shared by the main window and the command line: whitespace-separated
// numbers in any line layout, validated whole before a task is built from them.
#include "PositionFileReader.h"

#include <QFile>
#include <QLocale>
#include <cmath>

namespace {
const char *const fieldNames[4] = {"x", "y", "theta", "t"};
} // namespace

PositionFileReader::PositionFileReader(int defaultRecordSize)
    : defaultSize(defaultRecordSize == 4 ? 4 : 3), size(defaultSize) {}

bool PositionFileReader::fail(const QString &why) {
    parsed.clear();
    message = why;
    return false;
}

bool PositionFileReader::readFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Cannot open the file."));
    return readText(file.readAll());
}

std::vector<PositionFileReader::Token> PositionFileReader::tokenize(const QByteArray &text) {
    std::vector<Token> tokens;
    int line = 1;
    int start = -1;
    for (int i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v'
                           || c == '\f';
        if (!blank && start < 0)
            start = i;
        if (blank && start >= 0) {
            tokens.push_back({text.mid(start, i - start), line});
            start = -1;
        }
        if (c == '\n')
            ++line;
    }
    return tokens;
}

// A whole number, nothing else: "5.0" or "5x" is no count.
bool PositionFileReader::readCount(const Token &token, long long &count) {
    bool ok = false;
    count = token.text.toLongLong(&ok);
    if (!ok)
        return fail(QStringLiteral("line %1: the count '%2' is not a whole number")
                        .arg(token.line)
                        .arg(QString::fromLatin1(token.text.left(40))));
    if (count < 0)
        return fail(QStringLiteral("line %1: the count %2 is negative").arg(token.line).arg(count));
    if (count > maximumCount)
        return fail(QStringLiteral("line %1: the count %2 is more than %3 positions")
                        .arg(token.line)
                        .arg(count)
                        .arg(maximumCount));
    return true;
}

bool PositionFileReader::chooseRecordSize(long long count, size_t numbers) {
    const long long other = defaultSize == 3 ? 4 : 3;
    const long long n = static_cast<long long>(numbers);
    if (n == defaultSize * count)
        size = defaultSize;
    else if (n == other * count)
        size = static_cast<int>(other);
    else if (n < 3 * count)
        return fail(QStringLiteral("the count says %1 positions, but the file holds only %2 "
                                   "complete records of three numbers (record %3 is missing "
                                   "or incomplete)")
                        .arg(count)
                        .arg(n / 3)
                        .arg(n / 3 + 1));
    else
        return fail(QStringLiteral("the count says %1 positions, but %2 numbers follow it: "
                                   "%3 records need %4 (x y theta) or %5 (x y theta t)")
                        .arg(count)
                        .arg(n)
                        .arg(count)
                        .arg(3 * count)
                        .arg(4 * count));
    return true;
}

bool PositionFileReader::readNumber(const Token &token, long long record, int field,
                                    double &value) {
    bool ok = false;
    value = QLocale::c().toDouble(QString::fromLatin1(token.text), &ok);
    const QString where = QStringLiteral("line %1, record %2, %3")
                              .arg(token.line)
                              .arg(record)
                              .arg(QLatin1String(fieldNames[field]));
    if (!ok && !std::isinf(value))
        return fail(QStringLiteral("%1: '%2' is not a number")
                        .arg(where, QString::fromLatin1(token.text.left(40))));
    if (!ok || !std::isfinite(value))
        return fail(QStringLiteral("%1: '%2' is not a finite value")
                        .arg(where, QString::fromLatin1(token.text.left(40))));
    return true;
}

bool PositionFileReader::readText(const QByteArray &text) {
    parsed.clear();
    message.clear();
    const std::vector<Token> tokens = tokenize(text);
    if (tokens.empty())
        return fail(QStringLiteral("the file is empty: it holds no count"));
    long long count = 0;
    if (!readCount(tokens[0], count) || !chooseRecordSize(count, tokens.size() - 1))
        return false;
    std::vector<Record> records(static_cast<size_t>(count));
    for (size_t i = 0; i < records.size(); ++i) {
        double values[4] = {0.0, 0.0, 0.0, 0.0};
        for (int f = 0; f < size; ++f) {
            const Token &token = tokens[1 + i * static_cast<size_t>(size) + static_cast<size_t>(f)];
            if (!readNumber(token, static_cast<long long>(i) + 1, f, values[f]))
                return false;
        }
        records[i] = {values[0], values[1], values[2], values[3]};
    }
    parsed = std::move(records);
    return true;
}
