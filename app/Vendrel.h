// Vendrel: the main window. It owns the task (the Motion), the branch of dyads, the synthesis
// engine and the panel under the views, hands them to one another and wires them at start-up;
// its form holds every action, menu, dock and overlay editor by object name.
#pragma once

#include "DesignFile.h"
#include "Dialog.h"
#include "UserFileSave.h"
#include "WorkspaceDialog.h"

#include <QHash>
#include <QMainWindow>
#include <QMetaObject>
#include <QPointer>
#include <QStringList>
#include <QVector>
#include <array>
#include <memory>
#include <vector>

class Branch;
class DesignDocument;
class Dyad;
class ExportAndHelpCommands;
class MechanismSynthesis;
class MechanismTable;
class MechGLWidget;
class ImageGLWidget;
class QAction;
class QLabel;
class QMessageBox;
class QActionGroup;
class QDoubleSpinBox;
class QProgressDialog;
class Motion;
class Synthesis_Widget;
struct ToleranceSolution;

// One position of a task as the files and the random generator give it: theta in degrees,
// the time parameter where the file has one (0 otherwise).
struct TaskPosition {
    double x = 0.0;
    double y = 0.0;
    double thetaDeg = 0.0;
    double parameter = 0.0;
};

namespace Ui {
class VendrelClass;
}

class Vendrel : public QMainWindow {
    Q_OBJECT
public:
    explicit Vendrel(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~Vendrel() override;

    Motion *task() const { return motion.get(); }
    Branch *dyadBranch() const { return branch.get(); }
    MechanismSynthesis *synthesisEngine() const { return synthesis.get(); }
    Synthesis_Widget *synthesisPanel() const { return panel.get(); }
    ExportAndHelpCommands *exportAndHelpCommands() const { return exportAndHelp; }
    // The design as a document: its file, undo and redo, lasting settings, recovery.
    DesignDocument *designDocument() const { return document; }
    // The "Mechanisms" dock's table of every synthesized pair, ranked.
    MechanismTable *mechanismTable() const { return mechanisms.get(); }
    // The six interaction modes in their fixed order, Input Positions first.
    const QVector<QAction *> &interactionModes() const { return modeActions; }

    // Which synthesis a request runs, decided by the number of positions and the engine's flags.
    enum class SynthesisVariant { None, NPosition, FourPosition, ThreePosition };
    SynthesisVariant chooseSynthesisVariant() const;

    // Whether a click in position-input mode reaches the task (off only while Reset runs).
    bool acceptsMousePositions() const { return bool(mouseInputConnection); }

    // Reads a position file and, when the whole file is valid, makes it the task (the common
    // steps of every reader); otherwise says why in the window and on standard output and
    // changes nothing.
    // defaultRecordSize (3 or 4) is the record form the command names; the file's own count of
    // numbers decides between the two forms.
    bool loadPositionFile(const QString &path, int defaultRecordSize);
    // Reads a mechanism file and builds its RR records as drawn dyads (see readMechanism()).
    bool loadMechanismFile(const QString &path);
    // Triggers the Demo menu entry whose text is name ("RRRR", ..., "Design Challenge").
    bool runDemoNamed(const QString &name);

    // Where the demonstration files are looked for: the working directory first, then the
    // folder "demo" next to the executable (the build puts a copy there), then the installed
    // copy: share/mechsynth/demo beside the executable's bin/, then the system's data folders.
    static QStringList demoFolders();
    // The first of folders holding name; name itself (relative to the working directory) if
    // none does, so that the open failure is reported as for any other file.
    static QString locateDemoFile(const QString &name, const QStringList &folders);

    // The window's whole state as a design file holds it, and back: the task, its line and
    // points, the settings, the dyads and the mechanism with its circuit and input. Applying
    // replaces the current design whole, as opening a file would.
    DesignFile captureDesign() const;
    void applyDesign(const DesignFile &design);

    // The status bar's two texts: the last result or refusal, and the task with what Synthesize
    // will do with it. The message box of the last file that could not be read (null if none).
    QString statusResultText() const;
    QString statusTaskText() const;
    QMessageBox *fileProblemBox() const;

public slots:
    // Frame slots: modes, exit, redraw requests and the dimension toggle.
    void setMode(QAction *a);
    void resetMode();
    void exitProgram();
    void displayData();
    void setShowDim(bool on);
    void showImageSpace(bool on);
    void fitViewIfNeeded();
    void displaymouselocation(double x, double y);
    void toInterpolate();

    // Start-up wiring, synthesis dispatch, the dyad-kind selectors, the circuit commands and
    // reset (VendrelWiring.cpp). The frame itself connects "Exit", "Dimension Toggle", "Image
    // Space Toggle", "Synthesis Tools", "SmartSynthesis" (to the solution selector), the
    // Start/Pause/Stop control and "Edit Mechanism" (to editLinkDim); the wiring adds the
    // connections to the models, views and panel.
    void InitialConnection();
    void toSynthesize();
    // The Synthesize command: runs, or says in the window why it cannot.
    void requestSynthesis();
    void toSynthesizeWithoutTol();
    void setMode4Position();
    void todrawMF();
    void todrawRR();
    void todrawRP();
    void todrawPR();
    void setMechanismCircuitasopen();
    void setMechanismCircuitascrossed();
    void resetall();
    void resetRequested();
    void resetSolutions();

    // Position and demo files, random positions (VendrelFiles.cpp).
    bool readMotion();
    void RunDemo();
    void LoadFileRRRR();
    void LoadFileRRPR();
    void LoadFileRRRP();
    void LoadFilePRRP();
    void LoadFilePRPR();
    void LoadFileDC();
    void generateRandomPositions();
    void Test();
    bool readMechanism();

    // Positions entered with the mouse (VendrelPositionInput.cpp). The view only asks; the
    // task takes the position here, while mouse input is connected.
    void position_input_mouseclick(double x, double y, double thetaDeg, int t);
    void ss_position_input_mouseclick(double x, double y, double thetaDeg, int t);

    // Position and dyad editing, the solution table (VendrelEditing.cpp). Positions travel in
    // degrees; the motion's radians are made in one place. The editors are filled with their
    // signals blocked, so only the user's edits reach the task and the dyads.
    void position_update_mouseclick(double x, double y, double thetaDeg, int t);
    void position_update_mouseclick(double x, double y, double thetaDeg, int t, int index);
    void position_update_widget(double x, double y, double thetaDeg, int t, int index);
    void position_update_Dim(double x, double y, double thetaDeg, int t);
    void position_update_X(double v);
    void position_update_Y(double v);
    void position_update_Angle(double v);
    void deleteinputposition();
    void displayCurrentPosition(int i);
    void setPointDimDisplay(double r, double thetaDeg, double orientationDeg, bool show);
    void setCouplerDimDisplay(double r, double thetaDeg, double orientationDeg, bool show);
    void updateCurrentDyad(int i);
    void setDyadAngle(double angleDeg);
    void dyadFPXupdate(double v);
    void dyadFPYupdate(double v);
    void dyadMPXupdate(double v);
    void dyadMPYupdate(double v);

    // The "Solution Filter" table of the last tolerance sweep (VendrelSolutions.cpp). Each row
    // carries its record's index, so a click picks the right record in a sorted table.
    void solutionSelector();
    void displaySelectedSol(int row, int column);

    // The settings dialogs (VendrelSettings.cpp).
    void updateWorkspace();
    void setToleranceSpec();

    // The status bar and the messages of refusals (VendrelStatus.cpp).
    void describeTask();
    void showResult();
    void showRefusal(const QString &why);
    void setResultText(const QString &text, bool problem);
    void noteRunStopped(const QString &why);
    void noteFilesNotWritten(const QString &which);

    // Output commands (VendrelOutput.cpp).
    bool hasDyadsToSave() const;
    bool SaveFile();
    void screenshot();
    // Saves the screenshot the dialog was answered with: "%1" in the name becomes the count of
    // screenshots taken in this run, and a name without a suffix gets ".png".
    bool saveChosenScreenshot(const QString &chosen);
    // Saves a picture of the Cartesian view, in the format the name's suffix gives; a failure
    // is reported in a warning box and on standard error.
    bool saveScreenshot(const QString &path);
    // The whole window as it looks, its views' labels included.
    QImage windowPicture();
    void update_Background_Image();
    void splitteroutput(int a, int b);

protected:
    // Closing the window asks before unsaved changes go, as Exit does.
    void closeEvent(QCloseEvent *event) override;

signals:
    void synthesized();
    void dataChanged();
    void currentpositionindexchanged();

private:
    // Construction steps, in the order the constructor runs them.
    void createModels();
    void createModeGroup();
    void recordFrameWidths();
    void applyStyleSheets();
    void connectFrameControls();
    void connectToolbarToggles();
    void connectModeMenu();
    void placePanel();
    void hideOverlayEditors();
    void createStatusBar();
    void createFitToTask();
    void createMechanismsDock();
    void widenMechanismsDock();
    QString whatSynthesizeNeeds() const;
    void showFileProblem(const QString &title, const QString &path, const QString &why,
                         const QString &printed);
    bool stageDyadFiles(std::vector<UserFileSave::File> &files, QString &failedPath,
                        QString &why);

    // Wiring steps (VendrelWiring.cpp).
    void handModelsOver();
    void connectCommands();
    void connectTaskCommands();
    void connectModels();
    void connectSynthesisTools();
    void connectModeActions();
    void connectMouseInput();
    void disconnectMouseInput();
    void selectDyadKind(QAction *selector, int kind);
    void offerCircuitOfMechanism();
    void emptySolutionTable();
    void runSynthesisVariant(SynthesisVariant v);
    void showToleranceProgress(int total);
    void advanceToleranceProgress(int done);
    void closeToleranceProgress();
    void uncheckInputCommands();
    MechGLWidget *cartesianView() const;
    ImageGLWidget *imageView() const;

    // Design steps (VendrelDesign.cpp).
    void restoreDyads(const DesignFile &d);
    void restoreUserDyads(const DesignFile &d);

    // File steps (VendrelFiles.cpp).
    void replaceTask(const std::vector<TaskPosition> &positions);
    void loadDemo(const QString &fileName);
    void appendToTask(const TaskPosition &p);

    // The Start/Pause/Stop control: one place in the tool bar that flips between Start and Pause.
    void onStartTriggered();
    void onPauseTriggered();
    void onStopTriggered();
    void onSmartSynthesisToggled(bool on);

    // A tool bar command that a control shows or hides (Start/Pause, Open/Crossed) keeps that
    // wish apart from its View > Toolbars group: the command shows only while both allow it, so
    // re-showing a group restores each command as its control left it.
    void setCommandVisible(QAction *a, bool on);
    void showCommandGroup(const QAction *group, bool on);

    std::unique_ptr<Ui::VendrelClass> ui;
    std::unique_ptr<Motion> motion;
    std::unique_ptr<Branch> branch;
    std::unique_ptr<MechanismSynthesis> synthesis;
    std::unique_ptr<Synthesis_Widget> panel;
    // Observes the branch and the panel: released before them.
    std::unique_ptr<MechanismTable> mechanisms;
    WorkspaceDialog workspaceDialog;
    Dialog toleranceDialog;
    QVector<QAction *> modeActions;
    QVector<bool> modeStates;
    QActionGroup *modeGroup = nullptr;  // owned by this window (Qt parent)
    ExportAndHelpCommands *exportAndHelp = nullptr;  // owned by this window (Qt parent)
    DesignDocument *document = nullptr;              // owned by this window (Qt parent)
    QHash<QAction *, QAction *> commandGroup;  // tool bar command -> its Toolbars entry
    QHash<QAction *, bool> commandWanted;      // what the command's own control asks for
    double frameWidth = 0.0;
    double availableWidth = 0.0;
    double widthDifference = 0.0;
    // The one connection that Reset cuts and remakes: the view's position request -> the task.
    QMetaObject::Connection mouseInputConnection;
    // Shown while a tolerance sweep runs (a child of this window while it exists).
    std::unique_ptr<QProgressDialog> toleranceProgress;

    // Editing (VendrelEditing.cpp). The point editor (editPointDim) shows either a position of
    // the task or the mechanism's coupler point, and edits only what it shows.
    enum class PointEditorUse { None, Position, CouplerPoint };
    struct PointEditorState {
        PointEditorUse use = PointEditorUse::None;
        int position = -1;  // the shown position while use is Position
    };
    // The link editor acts on the dyad the view picked: which list it came from, and where.
    enum class DyadListKind { None, Synthesized, UserInput };
    struct DyadEditorState {
        DyadListKind list = DyadListKind::None;
        int index = -1;
    };
    void connectEditors();
    void connectOutputCommands();
    void connectSettingsDialogs();
    void applyWorkspaceSettings();
    void applyToleranceSpec();
    bool placeTaskPosition(int i, double x, double y, double thetaDeg);
    void showPointEditor(PointEditorUse use, const QStringList &labels,
                         const std::array<double, 3> &values);
    void hidePointEditor();
    void applyPointEditor(int box, double value);
    void moveCouplerPoint(double r, double thetaDeg, double orientationDeg);
    Dyad *editedDyad() const;
    void forgetEditedDyad();
    std::array<QDoubleSpinBox *, 5> linkEditorBoxes() const;
    void fillLinkEditor(const Dyad &d);
    void commitDyadEdit(Dyad &d);
    void moveEditedFixedPivot(int axis, double v);
    void moveEditedMovingPivot(int axis, double v);
    void connectSolutionTable();
    void addSolutionRow(int solution, const ToleranceSolution &record);
    // The record index a row of the Solution Filter carries; -1 for none.
    int recordOfSolutionRow(int row) const;
    void applySolutionFilter();
    PointEditorState pointEditor;
    DyadEditorState dyadEditor;

    // The status bar's labels (children of the status bar) and the file-problem box (a child
    // of this window once shown).
    QLabel *resultLabel = nullptr;
    bool resultShowsProblem = false;
    QLabel *taskLabel = nullptr;
    QAction *fitToTaskAction = nullptr;  // owned by this window (Qt parent)
    QPointer<QMessageBox> problemBox;
    // What the engine said while the current run stopped or left solutions out.
    QString runNote;
    QString filesNote;  // output files the last run or pair could not write
    // The splitter's sizes when the image-space view was last closed (empty before).
    QList<int> imageShare;
    // The orientations (degrees) the last tolerance sweep started from.
    std::vector<double> sweepBaseDeg;
};
