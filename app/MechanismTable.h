// MechanismTable: the "Mechanisms" dock's table. After every synthesis it lists each pair of
// synthesized dyads judged against the task and ranked, and makes a chosen row the mechanism
// through the panel's dyad boxes.
#pragma once

#include "PairEvaluation.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

class Branch;
class QLabel;
class QTableWidget;
class Synthesis_Widget;

// Lifetime rule: a pair names its dyads by their place in the branch's synthesized list, never
// by pointer, since a re-run or a reset frees them; the rows go as soon as the list's length
// changes (every run starts by clearing it), and come back when the run is done.
class MechanismTable : public QObject {
    Q_OBJECT
public:
    struct Pair {
        int input = -1;   // place in the synthesized list (0-based; the panel's D1 is 0)
        int output = -1;
        QString type;     // input kind then output kind, "RRPR"
        // Why the branch forms no mechanism of this pair (RP + RP); empty when it does.
        QString refusal;
        PairEvaluation evaluation;
        int rank = 0;     // 1 = best; 0 for a refused pair
    };

    // The widgets belong to the window's form; the table takes them over for its rows.
    MechanismTable(QTableWidget *table, QLabel *emptyNote, Branch *branch,
                   Synthesis_Widget *panel, QObject *parent = nullptr);

    const std::vector<Pair> &pairs() const { return pairList; }
    // Every pair among the first dyadLimit synthesized dyads against the task the branch
    // holds, both drivers for a pair of one kind, ranked. No widget is involved.
    static std::vector<Pair> judgePairs(const Branch &b, int dyadLimit);

public slots:
    // The branch's dyads judged again and shown; the user's sort column stays.
    void refresh();
    // Makes pair k (an index into pairs()) the mechanism as ticking its two boxes would, then
    // puts its input dyad first with the "Swap Input Dyad" command; false for a refused pair.
    bool choose(int k);

private slots:
    void forgetIfStale();
    void showChosenPair();
    void chooseRow(int row);

private:
    void clearRows();
    void addRow(int k);
    int pairOfRow(int row) const;
    bool isChosen(const Pair &p) const;

    QTableWidget *table;  // the form's, observed
    QLabel *emptyNote;    // the form's, observed
    QPointer<Branch> branch;
    QPointer<Synthesis_Widget> panel;
    std::vector<Pair> pairList;
    // The length of the synthesized list the rows were made from.
    int judgedDyadCount = 0;
    // Set while choose() forms the pair, so the row is not moved under the user's click.
    bool choosing = false;
};
