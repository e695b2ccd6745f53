// The main window's export and help commands: "Export Mechanism (SVG)", "Export Mechanism (DXF)",
// "Export Coupler Curve (CSV)" in the File menu, "About" and "How to Use" in the Help menu.
#pragma once

#include "MechanismSketch.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

class AboutDialog;
class QByteArray;
class Branch;
class HowToUseDialog;
class Motion;
class QAction;
class QMenu;
class QWidget;

// The window keeps one of these; it observes the branch and the motion the window owns. The
// export commands are enabled only while the branch holds a mechanism.
class ExportAndHelpCommands : public QObject {
    Q_OBJECT
public:
    ExportAndHelpCommands(QWidget *window, Branch *branch, const Motion *motion);
    ~ExportAndHelpCommands() override;

    // Puts the export entries into the File menu before `before` (null: at its end) and
    // connects the two help entries.
    void install(QMenu *fileMenu, QAction *before, QAction *about, QAction *howToUse);

    QAction *exportSvgAction() const { return svgAction; }
    QAction *exportDxfAction() const { return dxfAction; }
    QAction *exportCsvAction() const { return csvAction; }
    // Null until first shown.
    AboutDialog *aboutDialog() const;
    HowToUseDialog *howToUseDialog() const;

    // The exports to a given file; false when there is no mechanism or the file cannot be
    // written, which is then reported in a warning box and on standard error. The file is
    // replaced whole or not at all.
    bool exportMechanismSvgTo(const QString &path) const;
    bool exportMechanismDxfTo(const QString &path) const;
    bool exportCouplerCurveCsvTo(const QString &path) const;

public slots:
    // Ask for a file name, then export.
    void exportMechanismSvg();
    void exportMechanismDxf();
    void exportCouplerCurveCsv();
    void showAbout();
    void showHowToUse();
    void updateAvailability();

private:
    // The mechanism's drawing with the task's positions; none without a mechanism.
    std::optional<MechanismSketch> currentSketch() const;
    using ExportTo = bool (ExportAndHelpCommands::*)(const QString &path) const;
    // Asks for a file name (suggestedName first) and exports to it; nothing without a mechanism.
    void askAndExport(const QString &title, const QString &suggestedName, const QString &filter,
                      ExportTo exportTo);
    bool save(const QString &title, const QString &path, const QByteArray &bytes) const;

    QWidget *window;        // not owned
    Branch *branch;         // not owned
    const Motion *motion;   // not owned
    QAction *svgAction;     // owned through this object (Qt parent)
    QAction *dxfAction;     // owned through this object (Qt parent)
    QAction *csvAction;     // owned through this object (Qt parent)
    // Made on first use with the window as their Qt parent, which owns them.
    QPointer<AboutDialog> about;
    QPointer<HowToUseDialog> guide;
};
