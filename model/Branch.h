// Branch: every dyad of the running program (synthesized and drawn), the candidate solutions,
// the pivot handles and the four-bar mechanism formed from a chosen pair.
#pragma once

#include "Point.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class Dyad;
class Mechanism;

// Ownership: the branch owns its dyads through shared pointers, so a record that must outlive
// the next run (a tolerance solution) can keep some alive; everyone else observes raw pointers
// and is told by dyadListChanged() whenever the lists change. Dyads the branch forgets are
// released only after that signal has been delivered, and after both mechanisms let go of them.
class Branch : public QObject {
    Q_OBJECT
public:
    using DyadHandle = std::shared_ptr<Dyad>;
    using DyadHandles = std::vector<DyadHandle>;

    explicit Branch(QObject *parent = nullptr);
    ~Branch() override;

    // --- The dyad lists -----------------------------------------------------------------------
    // Synthesized dyads in the order the engine created them (owning view of the list).
    const DyadHandles &getDyadList() const { return dyadList; }
    const DyadHandles &getUserInputDyads() const { return userInputDyads; }
    const DyadHandles &getFirstPassDyads() const { return firstPassDyads; }
    // Observing copies.
    std::vector<Dyad *> getDyadListCpy() const;
    std::vector<Dyad *> getUserInputDyadsCpy() const;
    std::vector<Dyad *> getFirstPassDyadsCpy() const;
    // Shares ownership of the synthesized dyads with the caller (records that outlive a run).
    DyadHandles getSharedDyadList() const { return dyadList; }
    // Synthesized dyad i, or null outside the list.
    Dyad *dyadAt(int i) const;
    int synthesizedDyadCount() const { return static_cast<int>(dyadList.size()); }
    Dyad *getCurrentDyad() const { return currentDyad; }

    const std::vector<std::vector<int>> &getsolutionList() const { return solutionList; }
    const std::vector<bool> &getDyadStates() const { return dyadStates; }
    const std::vector<bool> &getKindStates() const { return kindStates; }
    const std::vector<Point> &getPointList() const { return pointList; }
    int getDyadCount() const { return dyadCount; }
    int getSolutionIndex() const { return solutionIndex; }
    int getCurrentDyadIndex() const { return currentDyadIndex; }
    int getCurrentPointIndex() const { return currentPointIndex; }
    double getTodraw() const { return todraw; }
    bool isMovingFrameSet() const { return movingFrameSet; }
    Point getMovingFramePose() const { return movingFramePose; }
    Dyad *getDrawPrototype() const { return drawPrototype; }
    // The index last given to setCurrentDyad, shared by every branch of the process.
    static int lastSetDyadIndex();

    // --- Mechanism --------------------------------------------------------------------------
    Mechanism *getMechanism() const { return mechanismB.get(); }
    Mechanism *getMechanismA() const { return mechanismA.get(); }
    bool hasMechanism() const;
    bool hasMechanismA() const;
    bool hasCouplerPoint() const;
    Point movingFramePoint() const;
    // The five pair types the analysis solves ("RRRR", "RRRP", "RRPR", "PRRP", "PRPR").
    static bool isAnalysedType(const QString &typeName);
    // Why the two chosen dyads form no mechanism (a pair no analysis solves); empty otherwise.
    const QString &pairProblem() const { return refusedPair; }
    // "Invalid" with no synthesized dyad; the first two dyads' kinds joined ("RRPR"); with a
    // single dyad its kind alone.
    QString getMechanismType() const;
    double getMechanismCounter() const;
    Point getMechanismMFPoint() const;
    double getMechanismgroundLinkLength() const;
    double getMechanismfloatingLinkLength() const;
    double getMechanismdyad1LinkLength() const;
    double getMechanismdyad2LinkLength() const;
    double getMechanismgroundLinkAngle() const;
    double getMechanismfloatingLinkAngle() const;
    double getMechanismdyad1LinkAngle() const;
    double getMechanismdyad2LinkAngle() const;

    // --- Pivot handles ------------------------------------------------------------------------
    // Rebuilt after every change of the dyads or of the coupler point.
    const std::vector<Point *> &getPivotList() const { return pivotList; }
    void buildPivotList();
    bool pickPivot(double x, double y);
    bool isNearPivot(double x, double y) const;
    // True only while an existing coupler point is the selected handle.
    bool isCouplerPointSelected() const;
    int getSelectedPivot() const { return selectedPivot; }
    void refreshAfterEdit();

    // --- Mouse input and drawing ------------------------------------------------------------------
    void createUserDyad(double x1, double y1, double x2, double y2, double thetaDeg);
    // A dyad as the mouse draws it: kind 1 RR, 2 RP, 3 PR; (x1, y1) and (x2, y2) the two
    // clicked points, frame the moving frame's pose (x, y, theta degrees).
    static std::shared_ptr<Dyad> makeDrawnDyad(int kind, double x1, double y1, double x2,
                                               double y2, const Point &frame);
    void choosePreviewPrototype();
    void drawChosenDyads() const;
    // The dyads whose constraint surfaces the image-space view shows, each once.
    std::vector<Dyad *> surfaceDyads() const;
    void drawUserDyads() const;
    void drawPreview(double x1, double y1, double x2, double y2, double thetaDeg) const;

    static double fact(int n);

public slots:
    // Appends d to the synthesized dyads (the branch owns it from now on), makes it current.
    void createDyad(std::shared_ptr<Dyad> d);
    // The first-pass RR dyads of the last n-position run (replaces the whole list).
    void setSynthesizedDyads(std::vector<std::shared_ptr<Dyad>> dyads);
    void setCurrentDyad(int i);
    void clearBranch();
    void clearSynthesized();
    void setsolutionindex(int n);
    void settodraw(int k);
    void setcurrentdyadindex(int i) { currentDyadIndex = i; }
    void setcurrentpointindex(int i) { currentPointIndex = i; }
    void setupPointList(std::vector<Point> points);
    void setResults();
    void setMechanismCounter(int count);
    void editDyadList(double x, double y);
    // Writes "dyad parameters.txt"; false when it could not be written.
    bool printallsynthesizeddyads() const;
    // Writes "synthesized dyad parameters.txt" and "user input dyad parameters.txt"; returns
    // the names of the files that could not be written (empty on success).
    QStringList printdyads();
    void IncrementDyads();
    void DecrementDyads();
    void swapInputDyad();
    void resetMechanism();
    // The input value as a number (a design that is opened or taken back); the slider's slot
    // setMechanismCounter takes whole steps only.
    void setMechanismInput(double value);
    void setMechanismCircuitasopen();
    void setMechanismCircuitascrossed();
    // Pair selection from the panel's box states: synth (synthesized dyads), second (the kind
    // boxes, recorded only) and alternatives (first-pass dyads). Entries past a list are ignored.
    void setcurrentdyadstate(const std::vector<bool> &synth, const std::vector<bool> &second,
                             const std::vector<bool> &alternatives);

signals:
    void dyadChanged(Dyad *);
    void updateObject();
    void mechanismUpdated(QString);
    void displayMFlocation(double, double, double);
    // The dyad lists changed: every raw pointer taken from them before may be stale.
    void dyadListChanged();

private:
    void announceMechanism();
    void emitMFLocation();
    QString mechanismTypeOrBlank() const;
    // Lets go of the mechanisms' hold on dyads that are about to be released.
    void releaseMechanismsUsing(const DyadHandles &leaving);
    std::vector<Dyad *> chosenDyads(const std::vector<bool> &synth,
                                    const std::vector<bool> &alternatives) const;
    void commitAllDyads();
    bool usesSynthesizedDyad(const Mechanism &m) const;

    bool movingFrameSet = false;
    DyadHandles userInputDyads;
    Dyad *drawPrototype = nullptr;  // one of the three prototypes, not owned
    std::unique_ptr<Dyad> rrPrototype;
    std::unique_ptr<Dyad> rpPrototype;
    std::unique_ptr<Dyad> prPrototype;
    Dyad *currentDyad = nullptr;
    std::vector<Point *> pivotList;
    int selectedPivot = -1;
    DyadHandles dyadList;
    DyadHandles firstPassDyads;
    int dyadCount = 0;
    std::unique_ptr<Mechanism> mechanismA;
    std::unique_ptr<Mechanism> mechanismB;
    Point movingFramePose{0.0, 0.0, 0.0};  // x, y, theta in degrees
    double todraw = 0.0;
    int currentDyadIndex = -1;
    int currentPointIndex = -1;
    int solutionIndex = -1;
    std::vector<Point> pointList;  // poses (x, y, theta degrees) of the last run
    std::vector<std::vector<int>> solutionList;
    std::vector<bool> dyadStates = std::vector<bool>(4, false);
    std::vector<bool> kindStates = std::vector<bool>(4, false);
    QString refusedPair;
};
