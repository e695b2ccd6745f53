// A table cell that sorts by a number instead of by its text.
#pragma once

#include <QString>
#include <QTableWidgetItem>

// "10" follows "9", and a dash carried with an infinite key comes last. Tables keep their own
// data in Qt::UserRole; the key lives in the role after it.
class NumericItem : public QTableWidgetItem {
public:
    static constexpr int sortRole = Qt::UserRole + 1;

    NumericItem(const QString &text, double key) : QTableWidgetItem(text) {
        setData(sortRole, key);
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem &other) const override {
        return data(sortRole).toDouble() < other.data(sortRole).toDouble();
    }
};
