// DesignDocument: the designer's work as a document of the main window. It keeps the design's
// file name and whether it has unsaved changes (shown in the window title), the File entries
// that create, open and save designs and positions, the Edit menu's undo and redo, the settings
// that last from one run to the next, and a recovery file that outlives a crash.
#pragma once

#include "DesignFile.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QAction;
class QEvent;
class QMenu;
class QUndoStack;
class Vendrel;

class DesignDocument : public QObject {
    Q_OBJECT
public:
    static constexpr int maximumRecentFiles = 8;

    // Owned by the window (its Qt parent); the window outlives it.
    explicit DesignDocument(Vendrel &window);
    ~DesignDocument() override;

    // Puts the entries into the window's menus: File's design and position entries before
    // firstFileEntry, Undo and Redo into Edit, "Restore Default Settings" into Settings.
    void install(QMenu *fileMenu, QAction *firstFileEntry, QMenu *editMenu, QMenu *settingsMenu);

    QUndoStack *undoStack() const { return history; }
    const QString &filePath() const { return path; }
    bool isModified() const;
    QStringList recentFiles() const;

    // Asks whether unsaved changes may go before `what` ("open another design", ...): Save,
    // Discard or Cancel. True when the caller may go on (nothing unsaved, saved, or discarded).
    bool maybeDiscard(const QString &what);

    // Each says what went wrong in a message box and in the status bar, and leaves the design
    // and the files on disk as they were when it fails.
    bool openDesignFile(const QString &file);
    bool saveDesignTo(const QString &file);
    bool savePositionsTo(const QString &file);

    // Compares the window with the state after the last step and, when the design changed,
    // makes the change one undo step named after what changed. The window calls it after each
    // user action; a drag is one step because it is recorded only once the mouse is released.
    void recordStep();
    // The window's task was replaced by something that is not an edit of this design (a demo,
    // Reset, New): the undo history and the file name go, and the design counts as unsaved
    // only when it holds something.
    void startOver();
    // The name of the step a change from before to after makes ("Move Position 3"); empty
    // when nothing but the mechanism's input moved.
    static QString describeChange(const DesignFile &before, const DesignFile &after);

    // Off, unsaved changes go without a question (the window tests switch it off; the program
    // always asks).
    void setAskBeforeDiscard(bool on);

    // Settings that last (QSettings): the workspace, the synthesis and tolerance settings, the
    // window's geometry and docks, and the recent files.
    // Loading returns whether a window geometry was stored (the window then opens as it was).
    bool loadSettings();
    void saveSettings() const;
    void saveSettings(const DesignFile &state) const;
    // Where the recovery file lives, and whether one is waiting from a run that did not end.
    static QString recoveryPath();
    // Offers to restore a design a crashed run left behind; asks only when there is one.
    void offerRecovery();
    // A run that ends normally leaves no recovery file.
    void removeRecoveryFile() const;

public slots:
    void newDesign();
    void openDesign();
    bool saveDesign();
    bool saveDesignAs();
    void savePositions();
    void restoreDefaultSettings();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyStep(const DesignFile &state);
    void scheduleStep(QObject *typedInto);
    void updateTitle();
    void becomeFile(const QString &file, const QString &said);
    void addRecentFile(const QString &file);
    void rebuildRecentMenu();
    void writeRecoveryFile() const;
    void refuse(const QString &title, const QString &file, const QString &why, bool writing);

    Vendrel &window;
    QUndoStack *history = nullptr;  // owned (Qt child)
    QMenu *recentMenu = nullptr;    // owned by the File menu (Qt child)
    QString path;
    DesignFile last;          // the design as the last step left it
    bool applying = false;    // a step or a file is being put into the window
    bool stepPending = false;
    // The box being typed into when the pending step was scheduled (null for a mouse action).
    QPointer<QObject> pendingTypedInto;
    // Unsaved work that the undo history does not hold (a restored recovery file).
    bool unsavedBase = false;
    bool askBeforeDiscard = true;
    friend class DesignStep;
};
