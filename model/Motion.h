// Motion: the user's task, the input positions of the moving frame kept as image-space points.
#pragma once

#include "Point.h"
#include "PointList.h"

#include <QObject>
#include <memory>

// What a Motion holds: the positions and an optional interpolated curve (nothing fills it yet).
struct MotionStore {
    PointList positions;
    std::unique_ptr<PointList> motionCurve;
    int motionCurveSize() const { return motionCurve ? motionCurve->size() : 0; }
};

class Motion : public QObject {
    Q_OBJECT
public:
    explicit Motion(QObject *parent = nullptr);
    ~Motion() override;

    int currentIndex = -1;
    Point currentPose{0.0, 0.0, 0.0};   // x, y, theta in radians
    Point currentImage{4};               // starts as the image of the identity pose

    bool addPosition();
    bool deleteCurrentPosition();
    void resetMotion();
    int currentPositionIndex() const { return currentIndex; }
    int size() const { return store->positions.size(); }

    // The positions in input order: index i is row i of the engine's data matrix.
    const PointList &positions() const { return store->positions; }
    PointList *positionsList() { return &store->positions; }
    const MotionStore &motionStore() const { return *store; }

    // Image-space view: a small sphere at every position.
    void drawPositions() const;

public slots:
    void setcurrntpositionindex(int i);
    void incrementcurrentpositionindex();
    void decrementcurrentpositionindex();
    void updatecurrentMousemove(double x, double y);
    bool getInterPoint(int i);
    bool getMotionPoint(int i);
    Point getMotionPoint(int i, int dummy);
    bool updatePos();
    bool updatePos(int i);

signals:
    void pointChanged();
    void currentchanged(int);

private:
    std::unique_ptr<MotionStore> store;
};
