// The position file reader shared by the main window and the command line: whitespace-separated
// numbers in any line layout, validated whole before a task is built from them.
#include "PositionFileReader.h"

#include "Tolerances.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <cmath>

namespace {
// Numbers past the longest record form that are still counted for the message.
constexpr size_t extraNumbersCounted = 1024;
const char *const fieldNames[4] = {"x", "y", "theta", "t"};
} // namespace

PositionFileReader::PositionFileReader(int defaultRecordSize)
    : defaultSize(defaultRecordSize == 4 ? 4 : 3), size(defaultSize) {}

bool PositionFileReader::fail(const QString &why) {
    parsed.clear();
    message = why;
    return false;
}

// Only a regular file of bounded size is read, and no more than the bound: a device, a pipe or
// a huge file would otherwise hang the program or exhaust its memory before being rejected.
bool PositionFileReader::readFile(const QString &path) {
    const QFileInfo info(path);
    // Before opening: opening a pipe waits for a writer, and a device never ends.
    if (!path.isEmpty() && info.exists() && !info.isFile())
        return fail(QStringLiteral("it is not a regular file"));
    QFile file(path);
    if (path.isEmpty() || !info.exists() || !file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Cannot open the file."));
    if (info.size() > maximumFileBytes)
        return fail(QStringLiteral("the file holds %1 bytes; a position file holds at most %2")
                        .arg(info.size())
                        .arg(maximumFileBytes));
    const QByteArray text = file.read(maximumFileBytes + 1);
    if (text.size() > maximumFileBytes)
        return fail(QStringLiteral("the file holds more than %1 bytes").arg(maximumFileBytes));
    return readText(text);
}

// Splits at white space, stopping after `limit` tokens; `more` tells whether text was left.
std::vector<PositionFileReader::Token> PositionFileReader::tokenize(const QByteArray &text,
                                                                    size_t limit, bool &more) {
    std::vector<Token> tokens;
    more = false;
    int line = 1;
    int start = -1;
    for (int i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v'
                           || c == '\f';
        if (!blank && start < 0) {
            if (tokens.size() == limit) {
                more = true;
                break;
            }
            start = i;
        }
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

// The record form whose size matches the numbers after the count (the command's own form
// first), or 0 when neither does.
int PositionFileReader::matchingRecordSize(long long count, size_t numbers) const {
    const long long other = defaultSize == 3 ? 4 : 3;
    const long long n = static_cast<long long>(numbers);
    if (n == defaultSize * count)
        return defaultSize;
    if (n == other * count)
        return static_cast<int>(other);
    return 0;
}

bool PositionFileReader::failOnCount(long long count, size_t numbers, bool more) {
    const long long n = static_cast<long long>(numbers);
    if (!more && n < 3 * count)
        return fail(QStringLiteral("the count says %1 positions, but the file holds only %2 "
                                   "complete records of three numbers (record %3 is missing "
                                   "or incomplete)")
                        .arg(count)
                        .arg(n / 3)
                        .arg(n / 3 + 1));
    return fail(QStringLiteral("the count says %1 positions, but %2%3 numbers follow it: "
                               "%4 records need %5 (x y theta) or %6 (x y theta t)")
                    .arg(count)
                    .arg(more ? QStringLiteral("more than ") : QString())
                    .arg(n)
                    .arg(count)
                    .arg(3 * count)
                    .arg(4 * count));
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
    if (std::fabs(value) > tol::largestTaskMagnitude)
        return fail(QStringLiteral("%1: %2 is beyond %3, the largest magnitude a position may have")
                        .arg(where, QString::fromLatin1(token.text.left(40)))
                        .arg(tol::largestTaskMagnitude));
    return true;
}

bool PositionFileReader::readText(const QByteArray &text) {
    parsed.clear();
    message.clear();
    bool more = false;
    const std::vector<Token> first = tokenize(text, 1, more);
    if (first.empty())
        return fail(QStringLiteral("the file is empty: it holds no count"));
    long long count = 0;
    if (!readCount(first[0], count))
        return false;
    // The count bounds what is worth reading: the longest form and a margin, so that a file
    // with a few numbers too many is told how many, and a huge one is not tokenised whole.
    const std::vector<Token> tokens =
        tokenize(text, 1 + 4 * static_cast<size_t>(count) + extraNumbersCounted, more);
    const size_t numbers = tokens.size() - 1;
    const int matching = matchingRecordSize(count, numbers);
    // Every number is checked before the count of numbers: a word in record 3 is reported as
    // what it is, not as a record missing at the end.
    size = matching != 0 ? matching : defaultSize;
    std::vector<double> values(numbers, 0.0);
    for (size_t k = 0; k < numbers; ++k) {
        const long long record = static_cast<long long>(k / static_cast<size_t>(size)) + 1;
        const int field = static_cast<int>(k % static_cast<size_t>(size));
        if (!readNumber(tokens[1 + k], record, field, values[k]))
            return false;
    }
    if (matching == 0)
        return failOnCount(count, numbers, more);
    std::vector<Record> records(static_cast<size_t>(count));
    for (size_t i = 0; i < records.size(); ++i) {
        const double *v = values.data() + i * static_cast<size_t>(size);
        records[i] = {v[0], v[1], v[2], size == 4 ? v[3] : 0.0};
    }
    parsed = std::move(records);
    return true;
}
