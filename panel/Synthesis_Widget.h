// Synthesis_Widget: the strip under the views. It shows where the mouse and the coupler's moving
// frame are, the current mechanism type, and offers the dyad check boxes that choose which
// synthesized dyads form the mechanism, the mechanism counter and the maximum link length.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

class Branch;
class Dyad;
class MechanismSynthesis;
class QButtonGroup;
class QCheckBox;
class QLabel;

// The slots' argument types must be complete where the meta-object code is generated.
Q_MOC_INCLUDE("Branch.h")
Q_MOC_INCLUDE("Dyad.h")
Q_MOC_INCLUDE("MechanismSynthesis.h")

namespace Ui {
class Synthesis_Widget;
}

// Lifetime rule: the panel owns no model object. It keeps, per dyad box, the dyad the box stands
// for only as an observer, and drops it whenever the branch announces that its lists changed,
// after every synthesis (updateWidget) and on clearWidget; a box never refers to a freed dyad.
class Synthesis_Widget : public QWidget {
    Q_OBJECT
public:
    static constexpr int boxCount = 4;

    explicit Synthesis_Widget(QWidget *parent = nullptr);
    ~Synthesis_Widget() override;

    // The engine whose position list the position slots show (a plain setter, not owned).
    void setSynthesis(MechanismSynthesis *s);
    MechanismSynthesis *getSynthesis() const;
    Branch *getBranch() const;

    // The box states last collected (and handed to the branch), in box order.
    const std::vector<bool> &getDyadStates() const { return dyadStates; }
    const std::vector<bool> &getAlternativeStates() const { return alternativeStates; }
    const std::vector<bool> &getKindStates() const { return kindStates; }
    // The dyad box i (0-based) stands for, or null when it stands for none.
    Dyad *dyadShownBy(int i) const;
    Dyad *alternativeShownBy(int i) const;
    int getCurrentDyad() const { return currentDyad; }
    int getCurrentPoint() const { return currentPoint; }

    int getHeight() const { return panelHeight; }
    void setWidth(int w) { panelWidth = w; }

    // The readout format: "+" or "-", and |v| with 3, 2 or 1 decimals below 10, below 100 and
    // from 100 on.
    static QString signText(double v);
    static QString magnitudeText(double v);

public slots:
    void setBranch(Branch *b);
    void setSlider();
    void setSolutionList(const std::vector<std::vector<int>> *list) { solutionList = list; }
    void showTypeofMechanism(QString type);
    void setTypeofMechanism(std::string) {}
    void displaymouselocation(double x, double y);
    void displaytheta(double t);
    void displayMFlocation(double x, double y, double t);
    void setModeSynthesis();
    void setModeAnalysis();
    // r times the length a ratio of 1 allows, shown without being sent back (it came from the
    // engine's side).
    void setLinkRatio(int r);
    // A length the user typed, sent on as the nearest whole ratio.
    void emitLinkRatio(double length);
    void LinkDimEditVisibility(bool visible);
    void PositionDimEditVisibility(bool visible);
    void updatetabPositions();
    void displayCurrentPosition(int i);
    void editPositions();
    void sendPositionEditData(double);
    void updateValuesLineEdits();
    // Shows the branch's synthesized dyads (at most four) and the highlighted first-pass RR
    // alternatives; ticks D1, and D2 when a second dyad exists. Hands nothing to the branch.
    void setDyadList(const std::vector<Dyad *> &synthesized, const std::vector<Dyad *> &firstPass);
    void updateWidget(int no, int no_of_points);
    void updateDisplay(int);
    void clearWidget();
    void resetWidget();
    // The three boxes of the point editor back to zero (the main window's reset).
    void clearPositionBoxes();
    // A new task: the next run ticks its first two dyads again, whatever the user chose before.
    void forgetChosenPair();
    // Ticks exactly the dyad boxes first and second (0-based) and hands them to the branch as a
    // click of the user's would; false when either box stands for no dyad. A number from
    // boxCount on names the alternative box (number - boxCount), the exact RR offered beside an
    // approximate slider dyad.
    bool choosePair(int first, int second);

signals:
    void emitupdatetobranch(int);
    void updatedyaddisplay(int);
    void dataChanged();
    void positionupdate(double, double, double, int, int);
    void positionEdited(double, double, double, int);
    void linkRatioChanged(int);

private slots:
    // The branch's lists changed: boxes whose dyad left the lists stop standing for it.
    void dropStaleDyads();

private:
    void rebuildBoxLists();
    void collectStates();
    void handStatesToBranch();
    bool keepsChosenPair(size_t dyadCount) const;
    bool isChosen(int i) const;
    void forgetDyads();
    void installValidators();
    void connectBoxes();
    static void showValue(QLabel *signLabel, QLabel *valueLabel, double v);
    double linkLengthPerRatio() const;

    std::unique_ptr<Ui::Synthesis_Widget> ui;

    int currentDyad = -1;
    int currentPoint = -1;
    // Observers of the dyads the boxes stand for, index = box; null where a box stands for none.
    std::array<Dyad *, boxCount> shownDyads{};
    std::array<Dyad *, boxCount> shownAlternatives{};
    bool dyadListGiven = false;
    const std::vector<std::vector<int>> *solutionList = nullptr;  // read by nobody, kept
    QPointer<Branch> branch;
    // The slider -> branch counter, branch redraw -> slider, and list-change connections.
    std::array<QMetaObject::Connection, 3> branchConnections;
    int panelWidth = 0;
    int panelHeight = 0;
    std::vector<QCheckBox *> dyadBoxes;
    std::vector<bool> dyadStates;
    std::vector<QCheckBox *> alternativeBoxes;
    std::vector<bool> alternativeStates;
    std::vector<QCheckBox *> kindBoxes;
    std::vector<bool> kindStates;
    QButtonGroup *kindGroup = nullptr;  // child of the panel
    QPointer<MechanismSynthesis> synthesis;
    // The dyad boxes (0-based) the user last ticked, when exactly two.
    std::vector<int> chosenPair;
};
