// Branch: the dyad lists and their lifetime, the candidate solutions and the pair selection.
#include "Branch.h"

#include "Dyad.h"
#include "DyadFileWriter.h"
#include "Mechanism.h"
#include "PR.h"
#include "RP.h"
#include "RR.h"

#include <algorithm>

namespace {
int lastDyadIndex = -1;

std::vector<Dyad *> observers(const Branch::DyadHandles &handles) {
    std::vector<Dyad *> raw;
    raw.reserve(handles.size());
    for (const Branch::DyadHandle &h : handles)
        raw.push_back(h.get());
    return raw;
}

bool contains(const Branch::DyadHandles &handles, const Dyad *d) {
    return std::any_of(handles.begin(), handles.end(),
                       [d](const Branch::DyadHandle &h) { return h.get() == d; });
}
} // namespace

Branch::Branch(QObject *parent)
    : QObject(parent), rrPrototype(std::make_unique<RR>()), rpPrototype(std::make_unique<RP>()),
      prPrototype(std::make_unique<PR>()), mechanismA(std::make_unique<Mechanism>()),
      mechanismB(std::make_unique<Mechanism>()) {}

// The mechanisms observe dyads the lists own: they let go first.
Branch::~Branch() {
    mechanismA->clear();
    mechanismB->clear();
}

int Branch::lastSetDyadIndex() { return lastDyadIndex; }

std::vector<Dyad *> Branch::getDyadListCpy() const { return observers(dyadList); }
std::vector<Dyad *> Branch::getUserInputDyadsCpy() const { return observers(userInputDyads); }
std::vector<Dyad *> Branch::getFirstPassDyadsCpy() const { return observers(firstPassDyads); }

Dyad *Branch::dyadAt(int i) const {
    if (i < 0 || i >= synthesizedDyadCount())
        return nullptr;
    return dyadList[static_cast<size_t>(i)].get();
}

void Branch::createDyad(std::shared_ptr<Dyad> d) {
    if (!d)
        return;
    dyadList.push_back(std::move(d));
    currentDyad = dyadList.back().get();
    buildPivotList();
    emit dyadListChanged();
    emit dyadChanged(currentDyad);
}

void Branch::setSynthesizedDyads(std::vector<std::shared_ptr<Dyad>> dyads) {
    DyadHandles leaving;
    leaving.swap(firstPassDyads);
    // A mechanism built on an alternative must not keep it past this point, unless the same
    // dyad stays in one of the lists.
    DyadHandles released;
    for (const DyadHandle &h : leaving)
        if (!contains(dyads, h.get()) && !contains(dyadList, h.get()))
            released.push_back(h);
    releaseMechanismsUsing(released);
    firstPassDyads = std::move(dyads);
    emit dyadListChanged();
    // `leaving` is released here, after every observer has been told.
}

void Branch::setCurrentDyad(int i) {
    if (dyadList.empty() || i < 0 || i >= synthesizedDyadCount())
        return;
    lastDyadIndex = i;
    currentDyad = dyadList[static_cast<size_t>(i)].get();
    emit dyadChanged(currentDyad);
}

void Branch::releaseMechanismsUsing(const DyadHandles &leaving) {
    for (Mechanism *m : {mechanismA.get(), mechanismB.get()}) {
        if (contains(leaving, m->getInputDyad()) || contains(leaving, m->getOutputDyad()))
            m->clear();
    }
}

void Branch::clearBranch() {
    mechanismA->clear();
    mechanismB->clear();
    // Keep the forgotten dyads alive until the observers have heard of it.
    DyadHandles forgotten;
    forgotten.swap(dyadList);
    forgotten.insert(forgotten.end(), userInputDyads.begin(), userInputDyads.end());
    forgotten.insert(forgotten.end(), firstPassDyads.begin(), firstPassDyads.end());
    userInputDyads.clear();
    firstPassDyads.clear();
    movingFrameSet = false;
    selectedPivot = -1;
    currentDyad = nullptr;
    currentDyadIndex = -1;
    currentPointIndex = -1;
    solutionIndex = -1;
    pivotList.clear();
    solutionList.clear();
    refusedPair.clear();
    dyadCount = 0;
    emit dyadListChanged();
    // The type label and the moving-frame readout described the mechanism that just went.
    announceMechanism();
}

void Branch::setsolutionindex(int n) {
    if (n >= 0)
        solutionIndex = n;
    emit updateObject();
}

// The remainder as the integer % gives it (negative for a negative k).
void Branch::settodraw(int k) { todraw = static_cast<double>(k % 4); }

void Branch::setupPointList(std::vector<Point> points) { pointList = std::move(points); }

void Branch::setResults() {
    solutionList.clear();
    const int n = synthesizedDyadCount();
    for (int i = 1; i < n; ++i)
        for (int j = i + 1; j <= n; ++j)
            solutionList.push_back({i, j});
}

double Branch::fact(int n) { return n <= 1 ? 1.0 : n * fact(n - 1); }

QString Branch::getMechanismType() const {
    if (dyadList.empty())
        return QStringLiteral("Invalid");
    if (dyadList.size() == 1)
        return dyadList[0]->typeName();
    return dyadList[0]->typeName() + dyadList[1]->typeName();
}

bool Branch::printallsynthesizeddyads() const {
    return DyadFileWriter::writeAll(QStringLiteral("dyad parameters.txt"), getDyadListCpy());
}

QStringList Branch::printdyads() {
    QStringList failed;
    const QString chosen = QStringLiteral("synthesized dyad parameters.txt");
    if (!DyadFileWriter::writeChosen(chosen, getDyadListCpy(), dyadStates))
        failed << chosen;
    // The drawn dyads' moving-frame numbers refer to the coupler pose as it is now.
    if (hasMechanism() && hasCouplerPoint()) {
        const Point coupler = mechanismB->couplerPoint();
        for (const DyadHandle &d : userInputDyads)
            d->setPose(coupler);
    }
    const QString user = QStringLiteral("user input dyad parameters.txt");
    if (!DyadFileWriter::writeUserDyads(user, getUserInputDyadsCpy(), hasMechanism()))
        failed << user;
    return failed;
}

// Step 3 of the pair selection: for each index the selected dyad, then its alternative.
std::vector<Dyad *> Branch::chosenDyads(const std::vector<bool> &synth,
                                        const std::vector<bool> &alternatives) const {
    std::vector<Dyad *> chosen;
    for (size_t i = 0; i < synth.size(); ++i) {
        if (synth[i] && i < dyadList.size())
            chosen.push_back(dyadList[i].get());
        if (i < alternatives.size() && alternatives[i] && i < firstPassDyads.size())
            chosen.push_back(firstPassDyads[i].get());
    }
    return chosen;
}

void Branch::setcurrentdyadstate(const std::vector<bool> &synth, const std::vector<bool> &second,
                                 const std::vector<bool> &alternatives) {
    for (const DyadHandle &d : dyadList)
        d->resetToReference();
    if (mechanismB->isSet())
        mechanismB->assemble();
    dyadStates = synth;
    kindStates = second;
    refusedPair.clear();
    const std::vector<Dyad *> chosen = chosenDyads(synth, alternatives);
    if (chosen.size() == 2 && dyadList.size() >= 2) {
        dyadCount = synthesizedDyadCount();
        mechanismB->setDyads(chosen[0], chosen[1]);
        if (!pointList.empty())
            mechanismB->setCouplerPose(pointList.front());
        if (!isAnalysedType(mechanismB->typeName())) {
            const QString kinds = mechanismB->typeName();
            mechanismB->clear();
            refusedPair = QStringLiteral("%1 + %2 is not one of the four-bars this tool analyses "
                                         "(RRRR, RRRP, RRPR, PRRP, PRPR): choose another pair")
                              .arg(kinds.left(2), kinds.mid(2));
        }
    } else if (usesSynthesizedDyad(*mechanismB)) {
        // A mechanism exists only while exactly two chosen dyads form it.
        mechanismB->clear();
    }
    buildPivotList();
    announceMechanism();
    choosePreviewPrototype();
    emit updateObject();
}

bool Branch::isAnalysedType(const QString &typeName) {
    static const QStringList types = {QStringLiteral("RRRR"), QStringLiteral("RRRP"),
                                      QStringLiteral("RRPR"), QStringLiteral("PRRP"),
                                      QStringLiteral("PRPR")};
    return types.contains(typeName);
}

bool Branch::usesSynthesizedDyad(const Mechanism &m) const {
    for (const Dyad *d : {m.getInputDyad(), m.getOutputDyad()})
        if (d && (contains(dyadList, d) || contains(firstPassDyads, d)))
            return true;
    return false;
}

// The synthesized dyads and everything made of them go; the drawn dyads and their mechanism
// stay. Used when the task no longer has the positions its last result was made for.
void Branch::clearSynthesized() {
    if (dyadList.empty() && firstPassDyads.empty())
        return;
    if (usesSynthesizedDyad(*mechanismB))
        mechanismB->clear();
    if (usesSynthesizedDyad(*mechanismA))
        mechanismA->clear();
    DyadHandles forgotten;
    forgotten.swap(dyadList);
    forgotten.insert(forgotten.end(), firstPassDyads.begin(), firstPassDyads.end());
    firstPassDyads.clear();
    currentDyad = nullptr;
    selectedPivot = -1;
    solutionList.clear();
    refusedPair.clear();
    dyadStates.assign(dyadStates.size(), false);
    dyadCount = 0;
    buildPivotList();
    emit dyadListChanged();
    announceMechanism();
    emit updateObject();
}

void Branch::choosePreviewPrototype() {
    if (todraw == 0.0 || userInputDyads.size() >= 2)
        drawPrototype = nullptr;
    else if (todraw == 1.0)
        drawPrototype = rrPrototype.get();
    else if (todraw == 2.0)
        drawPrototype = rpPrototype.get();
    else if (todraw == 3.0)
        drawPrototype = prPrototype.get();
}
