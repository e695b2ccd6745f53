// The window's account of itself: the status bar names the task and what Synthesize will do with
// it, and the last result or the last refusal; a file that cannot be read also opens a message
// box naming the file and the record. Every message still goes to standard output as well.
#include "Vendrel.h"

#include "Branch.h"
#include "Mechanism.h"
#include "MechanismSynthesis.h"
#include "Motion.h"
#include "ui_Vendrel.h"

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <cstdio>

namespace {
void printLine(const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString positionsText(int n) {
    return n == 1 ? QStringLiteral("1 position") : QStringLiteral("%1 positions").arg(n);
}
} // namespace

void Vendrel::createStatusBar() {
    ui->statusBar->show();
    resultLabel = new QLabel(ui->statusBar);
    resultLabel->setObjectName(QStringLiteral("resultLabel"));
    taskLabel = new QLabel(ui->statusBar);
    taskLabel->setObjectName(QStringLiteral("taskLabel"));
    ui->statusBar->addWidget(resultLabel, 1);
    ui->statusBar->addPermanentWidget(taskLabel);
    connect(motion.get(), &Motion::pointChanged, this, &Vendrel::describeTask);
    connect(this, &Vendrel::dataChanged, this, &Vendrel::describeTask);
    connect(synthesis.get(), &MechanismSynthesis::runStopped, this, &Vendrel::noteRunStopped);
    connect(synthesis.get(), QOverload<int, int>::of(&MechanismSynthesis::synthesisdone), this,
            &Vendrel::showResult);
    connect(branch.get(), &Branch::mechanismUpdated, this, &Vendrel::showResult);
    connect(synthesis.get(), &MechanismSynthesis::outputFilesNotWritten, this,
            &Vendrel::noteFilesNotWritten);
    // Forming a pair writes the mechanism's limits and curves: those files are announced the
    // way a run's are.
    connect(branch.get(), &Branch::mechanismUpdated, synthesis.get(),
            &MechanismSynthesis::reportUnwrittenFiles);
    describeTask();
}

QString Vendrel::statusResultText() const { return resultLabel ? resultLabel->text() : QString(); }
QMessageBox *Vendrel::fileProblemBox() const { return problemBox.data(); }
QString Vendrel::statusTaskText() const { return taskLabel ? taskLabel->text() : QString(); }

// What Synthesize does with the task as it stands, or what it still needs.
QString Vendrel::whatSynthesizeNeeds() const {
    const int n = motion->size();
    switch (chooseSynthesisVariant()) {
    case SynthesisVariant::NPosition:
        return ui->actionSmartSynthesis->isChecked() && n <= MechanismSynthesis::minimumPositions
                   ? tr("Synthesize runs the tolerance sweep")
                   : tr("Synthesize runs the %1-position fit").arg(n);
    case SynthesisVariant::FourPosition:
        return tr("Synthesize runs the four-position fit with its line");
    case SynthesisVariant::ThreePosition:
        return tr("Synthesize runs the three-position fit with its two pivots");
    case SynthesisVariant::None:
        break;
    }
    if (n == MechanismSynthesis::fourPositions)
        return tr("Synthesize needs a line for a fixed pivot (Mode > 4 Position), or a fifth "
                  "position");
    if (n == MechanismSynthesis::threePositions)
        return tr("Synthesize needs two fixed pivots clicked in 3 Position mode, or more "
                  "positions");
    return tr("Synthesize needs at least five positions (three or four with the 3 or 4 Position "
              "mode)");
}

void Vendrel::describeTask() {
    if (!taskLabel)
        return;
    const int n = motion->size();
    if (n == 0)
        taskLabel->setText(tr("No positions: click and drag in the view, or read a file"));
    else
        taskLabel->setText(positionsText(n) + QStringLiteral(" \u2014 ") + whatSynthesizeNeeds());
}

// The last run's dyads and, when two of them form one, the mechanism; what the run had to stop
// for or leave out, and a chosen pair that forms no mechanism, follow in red.
void Vendrel::showResult() {
    const int dyads = branch->synthesizedDyadCount();
    QStringList parts;
    if (dyads > 0)
        parts << (dyads == 1 ? tr("1 dyad") : tr("%1 dyads").arg(dyads));
    // A run that found nothing says so, rather than leaving the last line blank.
    else if (chooseSynthesisVariant() != SynthesisVariant::None && runNote.isEmpty())
        parts << tr("no dyads: the fit has no real solution for these positions");
    const Mechanism *m = branch->getMechanism();
    if (m && m->isSet())
        parts << m->typeName() + QLatin1Char(' ') + m->className();
    else if (dyads >= 2 && branch->pairProblem().isEmpty())
        parts << tr("tick two of them to form a mechanism");
    QStringList problems;
    if (!runNote.isEmpty())
        problems << runNote;
    if (!filesNote.isEmpty())
        problems << filesNote;
    if (!branch->pairProblem().isEmpty())
        problems << branch->pairProblem();
    problems.prepend(parts.join(QStringLiteral(", ")));
    problems.removeAll(QString());
    setResultText(problems.join(QStringLiteral(" \u2014 ")),
                  !runNote.isEmpty() || !filesNote.isEmpty() || !branch->pairProblem().isEmpty());
}

// Shown until the next result: what was refused and why.
void Vendrel::showRefusal(const QString &why) {
    printLine(why);
    setResultText(why, true);
}

// A refusal or problem shows in dark red. The style is set only when it changes: a style sheet
// restyles the label, and a tolerance sweep announces thousands of results in a row.
void Vendrel::setResultText(const QString &text, bool problem) {
    if (!resultLabel)
        return;
    if (problem != resultShowsProblem) {
        resultLabel->setStyleSheet(problem ? QStringLiteral("color: #a00000;") : QString());
        resultShowsProblem = problem;
    }
    if (resultLabel->text() != text)
        resultLabel->setText(text);
}

// The engine's own account of a stop (it printed it already); shown with the result.
void Vendrel::noteRunStopped(const QString &why) {
    runNote = why;
    showResult();
}

// Output files the run or the formed pair could not write (a full disk, a protected folder): the
// result stands, the files keep their earlier content, and the status bar says which.
void Vendrel::noteFilesNotWritten(const QString &which) {
    filesNote = tr("output files not written, the earlier ones stand: %1")
                    .arg(which.split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QStringLiteral("; ")));
    showResult();
}

// A file that cannot be read: the box names the file and what is wrong with it; the task stays.
// Standard output keeps its own line for scripts that read it.
void Vendrel::showFileProblem(const QString &title, const QString &path, const QString &why,
                              const QString &printed) {
    printLine(printed);
    const QString text = tr("\"%1\" was not read: %2.").arg(path, why);
    setResultText(text, true);
    if (!problemBox) {
        problemBox = new QMessageBox(this);
        problemBox->setIcon(QMessageBox::Warning);
        problemBox->setObjectName(QStringLiteral("problemBox"));
    }
    problemBox->setWindowTitle(title);
    problemBox->setText(text);
    problemBox->open();
}

// Synthesize pressed: a task it cannot run on is answered in the window, not ignored.
void Vendrel::requestSynthesis() {
    if (chooseSynthesisVariant() == SynthesisVariant::None) {
        showRefusal(tr("Nothing was synthesized: %1 \u2014 %2.")
                        .arg(positionsText(motion->size()), whatSynthesizeNeeds()));
        return;
    }
    toSynthesize();
}
