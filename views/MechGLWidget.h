// MechGLWidget: the Cartesian view of the workspace, its animation timer and interaction modes.
#pragma once

#include "Dyad.h"
#include "Line.h"
#include "Point.h"
#include "ScreenLabels.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

class Branch;
class Motion;
class QPainter;
class QTimer;

class MechGLWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    // Interaction modes, in the numbering the main window's mode slots use.
    enum Mode {
        InputPosition = 0,
        EditPosition = 1,
        InputMechanism = 2,
        EditMechanism = 3,
        FourPosition = 4,
        ThreePosition = 5,
        LineInput = 6,
        Pan = 7,
        Zoom = 8,
        UserPointInput = 9
    };

    // How the background image sits on the workspace rectangle.
    struct BackgroundPlacement {
        double offsetX = 0.0;
        double offsetY = 0.0;
        double scaleX = 1.0;
        double scaleY = 1.0;
        double opacity = 1.0;
        bool operator==(const BackgroundPlacement &o) const {
            return offsetX == o.offsetX && offsetY == o.offsetY && scaleX == o.scaleX &&
                   scaleY == o.scaleY && opacity == o.opacity;
        }
    };

    explicit MechGLWidget(QWidget *parent = nullptr);
    ~MechGLWidget() override;

    // World (workspace units) <-> widget pixels (logical, origin top left). The mapping is the
    // one paintGL draws with: a square viewport of the longer side, centred, scaled and panned.
    QPointF worldToPixel(double x, double y) const;
    QPointF pixelToWorld(QPointF pixel) const;

    int currentMode() const { return mode; }
    double currentScale() const { return scale; }
    double currentPanX() const { return panX; }
    double currentPanY() const { return panY; }
    double xRotation() const { return xRot; }
    double yRotation() const { return yRot; }
    double zRotation() const { return zRot; }
    bool gridShown() const { return showGrid; }
    bool interpolationShown() const { return interpolate; }
    bool clickInputEnabled() const { return clickInput; }
    bool isAnimating() const;
    int animationInterval() const;
    int positionsEntered() const { return enteredCount; }
    int selectedPositionIndex() const { return selectedPosition; }
    int hoveredPositionIndex() const { return hoveredPosition; }
    int selectedDyadIndex() const { return selectedDyad; }
    bool isPositionSelected() const { return positionSelected; }
    // The positions as drawn: x, y, theta in degrees, always the motion's list when one is set.
    const std::vector<Point> &shownPositions();
    const std::vector<Point> &markers() const { return markerPoints; }
    bool lineConstraintEnds(QPointF &start, QPointF &end) const;
    // The message box shown for a background image that could not be loaded (null if none).
    QMessageBox *backgroundErrorBox() const { return backgroundError; }
    // The GL name of the cached background texture (0 when none is uploaded).
    unsigned int backgroundTextureHandle() const { return backgroundTexture; }
    void setBackgroundPlacement(const BackgroundPlacement &placement);

    // True when some of what fitToTask frames (positions, drawn dyads' pivots, the mechanism's
    // pivots and coupler curves) lies outside the visible area, so a caller can refit only
    // when the user would otherwise miss part of the task.
    bool contentOutsideView() const;
    // Workspace units between grid lines at the current zoom, and the corner label saying so.
    double gridSpacing() const;
    QString gridLabelText() const;
    // The 1, 2 or 5 x 10^k spacing that puts between 8 and 20 grid cells across visibleSpan
    // (the view's shorter side, in workspace units).
    static double gridSpacingFor(double visibleSpan);
    // The surface both views draw on: a compatibility context for the fixed-function pipeline
    // and a depth buffer; samples 0 as the program asks (the views smooth their lines
    // themselves, and on a software renderer four samples double the cost of every frame).
    static QSurfaceFormat surfaceFormat(int samples = 0);

    static constexpr int animationIntervalMs = 10;
    static constexpr int keyAnimationIntervalMs = 30;
    // One arrow-key zoom step; equal to one wheel notch.
    static constexpr double zoomStep = 1.2;
    // Wide enough for a task in millimetres a few metres from the origin as well as for a
    // centimetre-sized one in metres.
    static constexpr double minScale = 1e-5;
    static constexpr double maxScale = 1e3;
    // Share of the view's width and height the framed content may fill (10 % margin each side).
    static constexpr double fitFill = 0.8;

public slots:
    void setMotion(Motion *m);
    void setAllDyad(Branch *b);
    void setCurrentDyad(Dyad *d);
    void emptyWidget();
    void setXRotation(double angle);
    void setYRotation(double angle);
    void setZRotation(double angle);
    void setScale(int s);
    void resetView();
    void updateObject();
    void whileplottingactive(double m, double x1, double y1, double x2, double y2);
    void updatedyaddisplay(int i);
    void toggle_Grid();
    void toggle_toInterPolate();
    void plotsettings();
    void resetwidget();
    void animate();
    void startAnimate();
    void stopAnimate();
    void pauseAnimate();
    void setupPointList(std::vector<Point> *points);
    bool checkLCSet() const;
    // Main-window housekeeping: forget the user-defined point markers; drop a half-done drag.
    void clearMarkerPoints();
    // The line and the chosen pivots of a design that is opened or taken back, drawn as if
    // the user had just entered them (ends null: no line).
    void restoreTaskMarks(const QPointF *lineEnds, const std::vector<Point> &markers);
    void clearPendingInput();

    void setModeInput_Position();
    void setModeEdit_Position();
    void setModeInput_Mechanism();
    void setModeEdit_Mechanism();
    void setModeFour_Position();
    void setModeThree_Position();
    void setModeLine_Input();
    void setModePan();
    void setModeZoom();
    void setModeUDP_Input();

    // Frames the positions, the drawn dyads, the mechanism and its coupler curves with a margin.
    void fitToTask();
    // Sets the process-wide dimension flag and repaints, so a toggle shows at once.
    void setShowDimensions(bool on);

signals:
    void xRotationChanged(int angle);
    void yRotationChanged(int angle);
    void zRotationChanged(int angle);
    void scaleChanged(double scale);
    void lineConstraintAdded(double x1, double y1, double x2, double y2);
    // A request to add a position; the main window decides whether the task takes it.
    void positioninput(double xp, double yp, double temp, int counterparaTime);
    void positionupdate(double xp, double yp, double temp, int counterparaTime);
    void positionupdate(double xp, double yp, double temp, int counterparaTime, int index);
    void emitdyadupdate(double xp, double yp);
    void emitmouselocation(double xp, double yp);
    void emitpressmouselocation(double xp, double yp);
    void deletecurrentkey();
    void emittheta(double theta);
    void updateCurrentDyad(int index);
    void updatecurrentDisp(int index);
    void udpinput(double xp, double yp);
    void updatePointDimDisplay(double r, double theta, double orientation, bool show);
    void updateCouplerDimDisplay(double r, double theta, double orientation, bool show);
    // S started (true) or T stopped (false) the animation from the keyboard.
    void animationKeyPressed(bool running);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    struct AxisTips {
        double x1, y1;  // tip of the frame's x axis, in the fixed frame
        double x2, y2;  // tip of the frame's y axis
    };

    // ---- state and model access (MechGLWidget.cpp)
    void syncPositionsWithModel();
    void rebuildAxisHandles();
    int pickPosition(double x, double y) const;
    int pickHandle(double x, double y) const;
    bool positionIndexValid(int i) const;
    int motionCurrentIndex() const;
    void setMotionCurrentIndex(int i);
    // Every interactive zoom (wheel, zoom clicks, keys) goes through here: bounded, so the
    // scene can neither flip over nor shrink to nothing, and keeping the world point under the
    // given pixel (logical) where it is.
    void zoomAbout(const QPointF &pixel, double newScale);
    // Where key zooms centre: the last cursor position inside the view, else its centre.
    QPointF keyZoomCentre() const;
    // Bounding box of what fitToTask frames; false when there is nothing to frame.
    bool contentBounds(QRectF &box) const;
    // The visible world rectangle (x0, y0 bottom left).
    QRectF visibleWorld() const;
    static double normalisedAngle(double a);
    void forgetSelection();

    // ---- painting (MechGLWidgetPaint.cpp)
    void applyViewport();
    void drawGrid() const;
    void paintLabels();
    void drawGridLabel(QPainter &painter) const;
    void drawWorkspaceFrame() const;
    void drawWorldFrame() const;
    void drawPositionsLayer() const;
    void drawInteractionOverlay() const;
    void drawRubberBand() const;

    // ---- background image (MechGLWidgetBackground.cpp)
    void drawBackgroundImage();
    bool uploadBackgroundTexture(const QString &path);
    void freeBackgroundTexture();
    void releaseGl();
    void reportUnloadableBackground(const QString &path);

    // ---- branch: dyads, mechanism, picking (MechGLWidgetBranch.cpp)
    void drawBranchLayer() const;
    void drawHighlightedLinks() const;
    void drawDyadBeingEntered() const;
    int pickDyad(double x, double y) const;
    void clearDyadHighlights() const;
    void emitCouplerValues();
    void pressEditMechanism();
    void createUserDyad(double x1, double y1, double x2, double y2, double thetaDeg);
    void buildBranchPivots();
    void choosePreviewDrawer();

    // ---- mouse and key handling (MechGLWidgetModes.cpp)
    void enterMode(int newMode, Qt::CursorShape cursor, bool setCursorShape);
    QPointF eventPixel(const QPointF &logical) const;
    void pressLeft(const QPointF &world);
    void pressEditPosition();
    void movePositionEntry(Qt::MouseButtons buttons, const QPointF &pixel);
    void moveEditPosition(Qt::MouseButtons buttons, const QPointF &pixel);
    void moveDyadEntry(Qt::MouseButtons buttons, const QPointF &pixel);
    void moveEditMechanism(Qt::MouseButtons buttons, const QPointF &pixel);
    void moveLineInput(Qt::MouseButtons buttons, const QPointF &pixel);
    void panBy(const QPointF &pixel);
    void dragSelectedPosition();
    void rotateSelectedPosition();
    void finishPositionEdit();
    void commitEnteredPosition();
    void commitEnteredDyad();
    void rotateByKey(int key);
    void zoomByKey(int key);

    void startTimerEvery(int ms);
    void animateOnTime();

    QTimer *timer = nullptr;  // child of the view
    // The animation keeps the timer's pace even where a frame takes longer than a period: each
    // timeout takes the steps that are due since the start, not one step per timeout.
    QElapsedTimer animationClock;
    qint64 animationStepsTaken = 0;
    bool animationHidDimensions = false;
    std::vector<Point> markerPoints;
    int viewportMin = 0;
    int viewportSide = 0;
    double xRot = 0.0;
    double yRot = 0.0;
    double zRot = 0.0;
    double panX = 0.0;
    double panY = 0.0;
    double scale = 0.45;
    double defaultScale = 0.45;
    bool clickInput = false;

    // Drag markers: each is set while its drag runs and cleared when the drag is committed.
    int positionEntryMarker = 0;
    bool enteringDyad = false;
    bool movingPosition = false;
    bool rotatingPosition = false;
    bool draggingDyad = false;
    QPointF bandStart;  // world units
    QPointF bandEnd;

    int mode = InputPosition;
    bool showGrid = true;
    bool interpolate = false;
    int hoveredPosition = -1;
    int hoveredHandle = -1;
    int selectedDyad = -1;
    int selectedPosition = -1;
    bool positionSelected = false;

    // A drawing copy of the task, refreshed from the motion before every paint and pick so it
    // never holds a position the task does not have.
    std::vector<Point> positions;
    std::vector<AxisTips> axisHandles;

    // Kept only as an identity for the main window; never dereferenced, since the branch may
    // free its dyads at any time (a new synthesis, a reset, a file load).
    Dyad *currentDyad = nullptr;
    QPointer<Motion> motion;
    QPointer<Branch> branch;
    double unitSize = 1.0;

    bool lineConstraintSet = false;
    QPointF lineStart;
    QPointF lineEnd;
    std::unique_ptr<Line> lineConstraint;

    QPointF lastPixel;    // logical pixels
    QPointF anchorPixel;  // where the mouse last moved with no button held
    QPointF mouseWorld;
    int enteredCount = 0;
    QPointF cursorPixel;        // last hover position, logical pixels
    bool cursorInside = false;  // cleared when the cursor leaves the view
    bool fitPending = false;    // a fit asked for before the view had a size

    // Background image: uploaded once per path/placement change, freed when replaced.
    unsigned int backgroundTexture = 0;
    // Ties releaseGl() to the current context's end; cut in the destructor.
    QMetaObject::Connection contextLossConnection;
    // The labels of the last paint, recorded during its GL drawing and written over it.
    ScreenLabels sceneLabels;
    QString backgroundTexturePath;
    BackgroundPlacement backgroundPlacement;
    QPointer<QMessageBox> backgroundError;
};
