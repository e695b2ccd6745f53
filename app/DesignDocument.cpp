// The design as a document: files, undo and redo, lasting settings and the recovery file.
//
// Undo works on whole states, not on the edits themselves: after every user action the window's
// state is taken (the same content a design file holds) and compared with the state the last
// step left. A change becomes one step holding the state before and after, and undoing puts the
// state before back through the same path as opening a file, with synthesis run again. So every
// command of the window is undoable without each one knowing about undo, and what undo shows is
// always what the commands would have made.
#include "DesignDocument.h"

#include "MechanismSynthesis.h"
#include "Motion.h"
#include "UserFileSave.h"
#include "Vendrel.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>
#include <algorithm>
#include <cmath>

// One undoable step: the design before and after one user action.
class DesignStep : public QUndoCommand {
public:
    DesignStep(DesignDocument &document, DesignFile before, DesignFile after, const QString &name,
               QObject *typedInto)
        : QUndoCommand(name), document(document), before(std::move(before)),
          after(std::move(after)), typedInto(typedInto) {}

    void undo() override { document.applyStep(before); }
    void redo() override {
        // Pushed after the action already happened: the first redo has nothing to do.
        if (done)
            document.applyStep(after);
        done = true;
    }
    // Typing a number is one step per box, not one per key.
    int id() const override { return typedInto ? 1 : -1; }
    bool mergeWith(const QUndoCommand *other) override {
        const auto *next = static_cast<const DesignStep *>(other);
        if (next->typedInto != typedInto || next->text() != text())
            return false;
        after = next->after;
        return true;
    }

private:
    DesignDocument &document;
    DesignFile before;
    DesignFile after;
    QObject *typedInto;
    bool done = false;
};

namespace {

const char *const fileFilter = "Mechanism Synthesis design (*.msyn.json);;All Files (*)";

// Two states differ for undo only in what the designer made: the input moves with every
// animation tick and is carried along, never a step of its own.
bool sameDesign(DesignFile a, DesignFile b) {
    a.input = b.input = 0.0;
    return a == b;
}

QString positionNumber(size_t i) { return QString::number(i + 1); }

QString describePositions(const DesignFile &a, const DesignFile &b) {
    const auto &p = a.positions, &q = b.positions;
    if (q.size() == p.size() + 1 && std::equal(p.begin(), p.end(), q.begin()))
        return QObject::tr("Add Position %1").arg(q.size());
    if (p.size() == q.size() + 1) {
        const size_t i = static_cast<size_t>(
            std::mismatch(q.begin(), q.end(), p.begin()).first - q.begin());
        if (std::equal(q.begin() + static_cast<long>(i), q.end(),
                       p.begin() + static_cast<long>(i) + 1))
            return QObject::tr("Delete Position %1").arg(positionNumber(i));
    }
    if (p.size() != q.size())
        return QObject::tr("Replace Positions");
    std::vector<size_t> changed;
    for (size_t i = 0; i < p.size(); ++i)
        if (!(p[i] == q[i]))
            changed.push_back(i);
    if (changed.empty())
        return {};
    if (changed.size() > 1)
        return QObject::tr("Change Positions");
    const size_t i = changed.front();
    if (p[i].x != q[i].x || p[i].y != q[i].y)
        return QObject::tr("Move Position %1").arg(positionNumber(i));
    if (p[i].thetaDeg != q[i].thetaDeg)
        return QObject::tr("Turn Position %1").arg(positionNumber(i));
    return QObject::tr("Edit Position %1").arg(positionNumber(i));
}

QString describeSettings(const DesignFile &a, const DesignFile &b) {
    if (a.workspaceWidth != b.workspaceWidth || a.workspaceHeight != b.workspaceHeight ||
        a.unit != b.unit || a.digits != b.digits)
        return QObject::tr("Change Workspace Settings");
    if (a.smartSynthesis != b.smartSynthesis)
        return b.smartSynthesis ? QObject::tr("Turn On SmartSynthesis")
                                : QObject::tr("Turn Off SmartSynthesis");
    if (a.toleranceDeg != b.toleranceDeg || a.resolution != b.resolution ||
        a.positionTolerance != b.positionTolerance)
        return QObject::tr("Change Tolerances");
    if (a.thresholdExponent != b.thresholdExponent || a.linkRatio != b.linkRatio)
        return QObject::tr("Change Synthesis Settings");
    if (a.fourPosition != b.fourPosition || a.threePosition != b.threePosition)
        return QObject::tr("Change Synthesis Variant");
    return {};
}

QString describeDyads(const DesignFile &a, const DesignFile &b) {
    if (a.movingFrameDefined != b.movingFrameDefined || a.movingFrame != b.movingFrame)
        return QObject::tr("Place Moving Frame");
    if (b.userDyads.size() > a.userDyads.size())
        return QObject::tr("Draw %1 Dyad").arg(b.userDyads.back().kind);
    if (a.userDyads != b.userDyads)
        return QObject::tr("Edit Drawn Dyad");
    if (a.dyads.empty() && !b.dyads.empty())
        return QObject::tr("Synthesize");
    if (a.dyads.size() == b.dyads.size()) {
        for (size_t i = 0; i < a.dyads.size(); ++i)
            if (!(a.dyads[i] == b.dyads[i]))
                return QObject::tr("Edit Dyad D%1").arg(i + 1);
    } else {
        return QObject::tr("Synthesize");
    }
    if (a.chosen != b.chosen) {
        if (b.chosen.size() == 2 && a.chosen.size() == 2 && a.chosen[0] == b.chosen[1] &&
            a.chosen[1] == b.chosen[0])
            return QObject::tr("Swap Input Dyad");
        // An alternative is the exact RR shown beside the slider dyad of the same number.
        const auto name = [&b](int i) {
            const int n = static_cast<int>(b.dyads.size());
            return i < n ? QStringLiteral("D%1").arg(i + 1)
                         : QObject::tr("the RR of D%1").arg(i - n + 1);
        };
        if (b.chosen.size() == 2)
            return QObject::tr("Choose Dyads %1 and %2").arg(name(b.chosen[0]), name(b.chosen[1]));
        return QObject::tr("Choose Dyads");
    }
    if (a.circuitOpen != b.circuitOpen)
        return b.circuitOpen ? QObject::tr("Open Circuit") : QObject::tr("Crossed Circuit");
    return {};
}

}  // namespace

DesignDocument::DesignDocument(Vendrel &window) : QObject(&window), window(window) {
    history = new QUndoStack(this);
    connect(history, &QUndoStack::cleanChanged, this, &DesignDocument::updateTitle);
    connect(history, &QUndoStack::indexChanged, this, [this]() {
        updateTitle();
        writeRecoveryFile();
    });
    last = window.captureDesign();
    qApp->installEventFilter(this);
    updateTitle();
}

DesignDocument::~DesignDocument() { qApp->removeEventFilter(this); }

void DesignDocument::install(QMenu *fileMenu, QAction *firstFileEntry, QMenu *editMenu,
                             QMenu *settingsMenu) {
    auto entry = [this](const QString &text, const char *name, auto slot,
                        const QKeySequence &keys = {}) {
        auto *a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    fileMenu->insertAction(firstFileEntry, entry(tr("New"), "actionNew_Design",
                                                 &DesignDocument::newDesign, QKeySequence::New));
    fileMenu->insertAction(firstFileEntry,
                           entry(tr("Open Design\u2026"), "actionOpen_Design",
                                 &DesignDocument::openDesign, QKeySequence::Open));
    recentMenu = new QMenu(tr("Open Recent"), fileMenu);
    recentMenu->setObjectName(QStringLiteral("menuOpen_Recent"));
    fileMenu->insertMenu(firstFileEntry, recentMenu);
    // Ctrl+S stays with "Save Dyads", as it always was.
    fileMenu->insertAction(firstFileEntry,
                           entry(tr("Save Design"), "actionSave_Design", &DesignDocument::saveDesign,
                                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)));
    fileMenu->insertAction(firstFileEntry, entry(tr("Save Design As\u2026"), "actionSave_Design_As",
                                                 &DesignDocument::saveDesignAs));
    fileMenu->insertSeparator(firstFileEntry);
    const QList<QAction *> entries = fileMenu->actions();
    const qsizetype after = entries.indexOf(firstFileEntry) + 1;
    fileMenu->insertAction(after < entries.size() ? entries[after] : nullptr,
                           entry(tr("Save Positions\u2026"), "actionSave_Positions",
                                 &DesignDocument::savePositions));
    rebuildRecentMenu();

    QAction *undo = history->createUndoAction(this, tr("Undo"));
    undo->setObjectName(QStringLiteral("actionUndo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = history->createRedoAction(this, tr("Redo"));
    redo->setObjectName(QStringLiteral("actionRedo"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    editMenu->addAction(undo);
    editMenu->addAction(redo);

    settingsMenu->addSeparator();
    settingsMenu->addAction(entry(tr("Restore Default Settings"), "actionRestore_Default_Settings",
                                  &DesignDocument::restoreDefaultSettings));
}

bool DesignDocument::isModified() const { return unsavedBase || !history->isClean(); }

// ---- Undo steps ---------------------------------------------------------------------------------

bool DesignDocument::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        scheduleStep(nullptr);
        break;
    case QEvent::KeyRelease:
    case QEvent::Wheel: {
        // Only typing into a box merges into one step; two Delete keys in the view are two.
        QWidget *focus = QApplication::focusWidget();
        const bool typing =
            qobject_cast<QAbstractSpinBox *>(focus) || qobject_cast<QLineEdit *>(focus);
        scheduleStep(typing ? focus : nullptr);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// The step is taken once the action has run its course (the event's slots have returned), and
// not while a button is still held: a drag becomes one step when it ends.
void DesignDocument::scheduleStep(QObject *typedInto) {
    pendingTypedInto = typedInto;
    if (stepPending)
        return;
    stepPending = true;
    QTimer::singleShot(0, this, [this]() {
        stepPending = false;
        if (QGuiApplication::mouseButtons() == Qt::NoButton)
            recordStep();
    });
}

QString DesignDocument::describeChange(const DesignFile &before, const DesignFile &after) {
    QString name = describePositions(before, after);
    if (name.isEmpty() && (before.lineDefined != after.lineDefined ||
                           before.lineEnds != after.lineEnds))
        name = after.lineDefined ? tr("Draw Line") : tr("Remove Line");
    if (name.isEmpty() && (before.pointDefined != after.pointDefined ||
                           before.points != after.points))
        name = tr("Choose Fixed Pivots");
    if (name.isEmpty())
        name = describeSettings(before, after);
    if (name.isEmpty())
        name = describeDyads(before, after);
    if (name.isEmpty() && !sameDesign(before, after))
        name = tr("Change Design");
    return name;
}

void DesignDocument::recordStep() {
    if (applying || window.synthesisEngine()->isTolSynthesisRunning())
        return;
    DesignFile now = window.captureDesign();
    if (sameDesign(last, now)) {
        last = std::move(now);
        return;
    }
    const QString name = describeChange(last, now);
    const bool settingsChanged = !describeSettings(last, now).isEmpty();
    DesignFile before = std::move(last);
    last = now;
    history->push(new DesignStep(*this, std::move(before), std::move(now), name,
                                 pendingTypedInto.data()));
    if (settingsChanged)
        saveSettings(last);
}

void DesignDocument::applyStep(const DesignFile &state) {
    applying = true;
    window.applyDesign(state);
    last = window.captureDesign();
    applying = false;
}

void DesignDocument::startOver() {
    history->clear();
    path.clear();
    unsavedBase = false;
    last = window.captureDesign();
    updateTitle();
    removeRecoveryFile();
}

void DesignDocument::updateTitle() {
    const QString name =
        path.isEmpty() ? tr("Untitled") : QFileInfo(path).fileName();
    window.setWindowTitle(tr("%1[*] \u2014 Mechanism Synthesis").arg(name));
    window.setWindowModified(isModified());
}

// ---- Asking before work goes --------------------------------------------------------------------

void DesignDocument::setAskBeforeDiscard(bool on) { askBeforeDiscard = on; }

bool DesignDocument::maybeDiscard(const QString &what) {
    recordStep();
    if (!isModified() || !askBeforeDiscard)
        return true;
    QMessageBox box(QMessageBox::Warning, tr("Unsaved Changes"),
                    tr("The design \"%1\" has changes that are not saved.")
                        .arg(path.isEmpty() ? tr("Untitled") : QFileInfo(path).fileName()),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &window);
    box.setObjectName(QStringLiteral("unsavedChangesBox"));
    box.setInformativeText(tr("Save them before you %1?").arg(what));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return saveDesign();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void DesignDocument::newDesign() {
    if (!maybeDiscard(tr("start a new design")))
        return;
    window.resetall();
    startOver();
}

// ---- Files --------------------------------------------------------------------------------------

void DesignDocument::openDesign() {
    if (!maybeDiscard(tr("open another design")))
        return;
    const QString file = QFileDialog::getOpenFileName(&window, tr("Open Design"),
                                                      QFileInfo(path).absolutePath(),
                                                      tr(fileFilter));
    if (!file.isEmpty())
        openDesignFile(file);
}

bool DesignDocument::openDesignFile(const QString &file) {
    DesignFile design;
    QString why;
    if (!design.readFile(file, why)) {
        refuse(tr("Cannot Open Design"), file, why, false);
        return false;
    }
    applying = true;
    window.applyDesign(design);
    applying = false;
    history->clear();
    last = window.captureDesign();
    becomeFile(file, tr("Opened %1"));
    return true;
}

// The design is now the file's, as it stands on disk: named after it, with nothing unsaved.
void DesignDocument::becomeFile(const QString &file, const QString &said) {
    path = QFileInfo(file).absoluteFilePath();
    unsavedBase = false;
    history->setClean();
    addRecentFile(path);
    updateTitle();
    removeRecoveryFile();
    window.statusBar()->showMessage(said.arg(QDir::toNativeSeparators(path)), 5000);
}

bool DesignDocument::saveDesign() {
    recordStep();
    return path.isEmpty() ? saveDesignAs() : saveDesignTo(path);
}

bool DesignDocument::saveDesignAs() {
    recordStep();
    const QString start = path.isEmpty() ? QDir::current().filePath(tr("Untitled") + DesignFile::suffix)
                                         : path;
    QString file = QFileDialog::getSaveFileName(&window, tr("Save Design As"), start,
                                                tr(fileFilter));
    if (file.isEmpty())
        return false;
    if (!file.endsWith(QLatin1String(".json")))
        file += QLatin1String(DesignFile::suffix);
    return saveDesignTo(file);
}

bool DesignDocument::saveDesignTo(const QString &file) {
    QString why;
    if (!UserFileSave::write(file, window.captureDesign().toJson(), why)) {
        refuse(tr("Cannot Save Design"), file, why, true);
        return false;
    }
    becomeFile(file, tr("Saved %1"));
    return true;
}

void DesignDocument::savePositions() {
    const QString file = QFileDialog::getSaveFileName(&window, tr("Save Positions"),
                                                      tr("Position Data.txt"),
                                                      tr("Input File (*.txt)"));
    if (!file.isEmpty())
        savePositionsTo(file);
}

// The position file Read Positions reads: the count, then one line per position. Numbers are
// written in their shortest exact form, so reading the file back and saving again gives the
// same bytes; the fourth column appears only when some position has a time parameter.
bool DesignDocument::savePositionsTo(const QString &file) {
    const DesignFile design = window.captureDesign();
    const bool withParameters =
        std::any_of(design.positions.begin(), design.positions.end(),
                    [](const DesignFile::Position &p) { return p.parameter != 0.0; });
    auto number = [](double v) {
        return QString::number(v == 0.0 ? 0.0 : v, 'g', QLocale::FloatingPointShortest);
    };
    QString text = QString::number(design.positions.size()) + QLatin1Char('\n');
    for (const DesignFile::Position &p : design.positions) {
        text += number(p.x) + QLatin1Char(' ') + number(p.y) + QLatin1Char(' ') +
                number(p.thetaDeg);
        if (withParameters)
            text += QLatin1Char(' ') + number(p.parameter);
        text += QLatin1Char('\n');
    }
    QString why;
    if (!UserFileSave::write(file, text.toUtf8(), why)) {
        refuse(tr("Cannot Save Positions"), file, why, true);
        return false;
    }
    window.statusBar()->showMessage(
        tr("Saved %n position(s) to %1", nullptr, static_cast<int>(design.positions.size()))
            .arg(QDir::toNativeSeparators(file)),
        5000);
    return true;
}

// Said in the status bar, where it stays, and in a box that names the file and the reason.
void DesignDocument::refuse(const QString &title, const QString &file, const QString &why,
                            bool writing) {
    window.setResultText(tr("%1 \u2014 %2: %3").arg(title, QDir::toNativeSeparators(file), why),
                         true);
    if (writing) {
        UserFileSave::report(&window, title, file, why);
        return;
    }
    QMessageBox::warning(&window, title,
                         tr("\"%1\" was not opened: %2\nThe current design was left as it was.")
                             .arg(QDir::toNativeSeparators(file), why));
}

// ---- Recent files -------------------------------------------------------------------------------

QStringList DesignDocument::recentFiles() const {
    return QSettings().value(QStringLiteral("recentFiles")).toStringList();
}

void DesignDocument::addRecentFile(const QString &file) {
    QStringList files = recentFiles();
    files.removeAll(file);
    files.prepend(file);
    while (files.size() > maximumRecentFiles)
        files.removeLast();
    QSettings().setValue(QStringLiteral("recentFiles"), files);
    rebuildRecentMenu();
}

void DesignDocument::rebuildRecentMenu() {
    if (!recentMenu)
        return;
    recentMenu->clear();
    const QStringList files = recentFiles();
    for (const QString &file : files) {
        QAction *a = recentMenu->addAction(QFileInfo(file).fileName());
        a->setToolTip(QDir::toNativeSeparators(file));
        a->setStatusTip(QDir::toNativeSeparators(file));
        connect(a, &QAction::triggered, this, [this, file]() {
            if (maybeDiscard(tr("open another design")))
                openDesignFile(file);
        });
    }
    recentMenu->addSeparator();
    QAction *clear = recentMenu->addAction(tr("Clear Menu"));
    clear->setEnabled(!files.isEmpty());
    connect(clear, &QAction::triggered, this, [this]() {
        QSettings().remove(QStringLiteral("recentFiles"));
        rebuildRecentMenu();
    });
}

// ---- Settings that last -------------------------------------------------------------------------

void DesignDocument::saveSettings() const { saveSettings(window.captureDesign()); }

void DesignDocument::saveSettings(const DesignFile &d) const {
    QSettings s;
    s.setValue(QStringLiteral("workspace/width"), d.workspaceWidth);
    s.setValue(QStringLiteral("workspace/height"), d.workspaceHeight);
    s.setValue(QStringLiteral("workspace/unit"), QString(QLatin1Char(d.unit)));
    s.setValue(QStringLiteral("workspace/digits"), d.digits);
    s.setValue(QStringLiteral("synthesis/thresholdExponent"), d.thresholdExponent);
    s.setValue(QStringLiteral("synthesis/linkRatio"), d.linkRatio);
    s.setValue(QStringLiteral("tolerance/degrees"), d.toleranceDeg);
    s.setValue(QStringLiteral("tolerance/resolution"), d.resolution);
    s.setValue(QStringLiteral("tolerance/position"), d.positionTolerance);
    s.setValue(QStringLiteral("window/geometry"), window.saveGeometry());
    s.setValue(QStringLiteral("window/state"), window.saveState());
}

namespace {
// A stored number is used only when it is finite and within what its box accepts.
template <typename T>
void readSetting(const QSettings &s, const char *key, T &value, double low, double high) {
    bool ok = false;
    const double v = s.value(QLatin1String(key)).toDouble(&ok);
    if (ok && std::isfinite(v) && v >= low && v <= high)
        value = static_cast<T>(v);
}
}  // namespace

bool DesignDocument::loadSettings() {
    const QSettings s;
    DesignFile d = window.captureDesign();
    readSetting(s, "workspace/width", d.workspaceWidth, 1e-3, 1000.0);
    readSetting(s, "workspace/height", d.workspaceHeight, 1e-3, 1000.0);
    if (s.value(QStringLiteral("workspace/unit")).toString() == QLatin1String("i"))
        d.unit = 'i';
    readSetting(s, "workspace/digits", d.digits, 1, 10);
    readSetting(s, "synthesis/thresholdExponent", d.thresholdExponent, -20, 0);
    readSetting(s, "synthesis/linkRatio", d.linkRatio, 0, 99);
    readSetting(s, "tolerance/degrees", d.toleranceDeg, 0.0, 180.0);
    readSetting(s, "tolerance/resolution", d.resolution, 1, 99);
    readSetting(s, "tolerance/position", d.positionTolerance, 0.0, 1e9);
    applying = true;
    window.applyDesign(d);
    applying = false;
    last = window.captureDesign();
    window.restoreState(s.value(QStringLiteral("window/state")).toByteArray());
    return window.restoreGeometry(s.value(QStringLiteral("window/geometry")).toByteArray());
}

// The defaults are those of a first start: what the dialogs and boxes hold when the window is
// made. The change is an undoable step like any settings dialog.
void DesignDocument::restoreDefaultSettings() {
    const DesignFile defaults;
    DesignFile d = window.captureDesign();
    d.workspaceWidth = defaults.workspaceWidth;
    d.workspaceHeight = defaults.workspaceHeight;
    d.unit = defaults.unit;
    d.digits = defaults.digits;
    d.thresholdExponent = defaults.thresholdExponent;
    d.linkRatio = defaults.linkRatio;
    d.toleranceDeg = defaults.toleranceDeg;
    d.resolution = defaults.resolution;
    d.positionTolerance = defaults.positionTolerance;
    window.applyDesign(d);
    // The step saves the settings when they changed.
    recordStep();
}

// ---- Recovery -----------------------------------------------------------------------------------

QString DesignDocument::recoveryPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("recovery") + DesignFile::suffix);
}

// Written after every step while there are unsaved changes, so a crash or a kill loses at most
// the action in progress.
void DesignDocument::writeRecoveryFile() const {
    if (!isModified()) {
        removeRecoveryFile();
        return;
    }
    QDir().mkpath(QFileInfo(recoveryPath()).absolutePath());
    QString why;
    // Every change of the undo index comes after the state it leads to was taken into last.
    UserFileSave::write(recoveryPath(), last.toJson(), why);
}

void DesignDocument::removeRecoveryFile() const { QFile::remove(recoveryPath()); }

void DesignDocument::offerRecovery() {
    const QString file = recoveryPath();
    if (!QFileInfo(file).isFile())
        return;
    DesignFile design;
    QString why;
    if (!design.readFile(file, why)) {
        removeRecoveryFile();
        return;
    }
    QMessageBox box(QMessageBox::Question, tr("Restore Unsaved Design"),
                    tr("The program ended last time with a design that was not saved."),
                    QMessageBox::Yes | QMessageBox::No, &window);
    box.setObjectName(QStringLiteral("recoveryBox"));
    box.setInformativeText(tr("Restore it? If not, it is discarded."));
    box.button(QMessageBox::Yes)->setText(tr("Restore"));
    box.button(QMessageBox::No)->setText(tr("Discard"));
    if (box.exec() != QMessageBox::Yes) {
        removeRecoveryFile();
        return;
    }
    applying = true;
    window.applyDesign(design);
    applying = false;
    history->clear();
    path.clear();
    unsavedBase = true;
    last = window.captureDesign();
    updateTitle();
}
