// Vendrel: the main window. It owns the task (the Motion) and, as the application grows, the
// branch of dyads, the synthesis engine and the panel under the views; its form holds every
// action, menu, dock and overlay editor by object name.
#pragma once

#include "Dialog.h"
#include "WorkspaceDialog.h"

#include <QHash>
#include <QMainWindow>
#include <QVector>
#include <memory>

class QAction;
class QActionGroup;
class Motion;
class Synthesis_Widget;

namespace Ui {
class VendrelClass;
}

class Vendrel : public QMainWindow {
    Q_OBJECT
public:
    explicit Vendrel(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~Vendrel() override;

    Motion *task() const { return motion.get(); }
    Synthesis_Widget *synthesisPanel() const { return panel.get(); }
    // The six interaction modes in their fixed order, Input Positions first.
    const QVector<QAction *> &interactionModes() const { return modeActions; }

public slots:
    // Frame slots: modes, exit, redraw requests and the dimension toggle.
    void setMode(QAction *a);
    void resetMode();
    void exitProgram();
    void displayData();
    void setShowDim(bool on);
    void displaymouselocation(double x, double y);
    void toInterpolate();

    // Later parts of the window add their slots here, each group in its own source file:
    // start-up wiring, dispatch and reset (VendrelWiring.cpp); position and demo files
    // (VendrelFiles.cpp); position and dyad editing (VendrelEditing.cpp); settings dialogs
    // (VendrelSettings.cpp); output commands (VendrelOutput.cpp). The frame already connects
    // "Exit", "Dimension Toggle", "Image Space Toggle", "Synthesis Tools", "SmartSynthesis" (to
    // the solution selector), the Start/Pause/Stop control and "Edit Mechanism" (to editLinkDim);
    // the wiring adds only the connections to the models, views and panel. Commands that a
    // control shows and hides (Open/Crossed) go through setCommandVisible().

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
    // The branch and the synthesis engine join here (owned the same way as the motion).
    std::unique_ptr<Synthesis_Widget> panel;
    WorkspaceDialog workspaceDialog;
    Dialog toleranceDialog;
    QVector<QAction *> modeActions;
    QVector<bool> modeStates;
    QActionGroup *modeGroup = nullptr;  // owned by this window (Qt parent)
    QHash<QAction *, QAction *> commandGroup;  // tool bar command -> its Toolbars entry
    QHash<QAction *, bool> commandWanted;      // what the command's own control asks for
    double frameWidth = 0.0;
    double availableWidth = 0.0;
    double widthDifference = 0.0;
};
