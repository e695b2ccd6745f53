// Motion: positions of the moving frame, the current one, hover selection and updates.
#include "Motion.h"

#include "Tolerances.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

Motion::Motion(QObject *parent) : QObject(parent), store(std::make_unique<MotionStore>()) {
    currentImage[3] = 1.0;
}

Motion::~Motion() = default;

bool Motion::addPosition() {
    store->positions.append(currentImage);
    return true;
}

bool Motion::deleteCurrentPosition() {
    if (currentIndex < 0 || currentIndex >= size())
        return false;
    store->positions.erase(currentIndex);
    return true;
}

void Motion::resetMotion() {
    currentIndex = -1;
    currentPose = Point(0.0, 0.0, 0.0);
    currentImage = Point(4);
    currentImage[3] = 1.0;
    store = std::make_unique<MotionStore>();
}

void Motion::setcurrntpositionindex(int i) {
    if (i == currentIndex)
        return;
    currentIndex = i;
    emit currentchanged(i);
}

void Motion::incrementcurrentpositionindex() {
    if (currentIndex < size() - 1) {
        ++currentIndex;
        emit currentchanged(currentIndex);
    }
}

void Motion::decrementcurrentpositionindex() {
    if (currentIndex > 0) {
        --currentIndex;
        emit currentchanged(currentIndex);
    }
}

// The first position within the pick radius of the mouse becomes current; near none, none is.
void Motion::updatecurrentMousemove(double x, double y) {
    for (int i = 0; i < size(); ++i) {
        const Point pose = toCartesian(store->positions.ref(i));
        const double d = std::fabs(pose.distance(x, y));
        if (d < tol::pickRadius) {
            if (i != currentIndex) {
                currentIndex = i;
                emit currentchanged(i);
            }
            return;
        }
        if (currentIndex != -1) {
            currentIndex = -1;
            emit currentchanged(-1);
        }
    }
}

bool Motion::getInterPoint(int i) {
    if (i < 0 || i >= size())
        return false;
    currentIndex = i;
    currentImage = store->positions.ref(i);
    currentPose = toCartesian(currentImage);
    emit pointChanged();
    return true;
}

bool Motion::getMotionPoint(int i) {
    const int n = store->motionCurveSize();
    if (i < 0 || i >= n)
        return false;
    currentImage = store->motionCurve->atWrapped(i);
    currentPose = toCartesian(currentImage);
    emit pointChanged();
    return true;
}

Point Motion::getMotionPoint(int i, int /*dummy*/) {
    const int n = store->motionCurveSize();
    if (i < 0 || i >= n)
        return Point();
    currentImage = store->motionCurve->atWrapped(i);
    currentPose = toCartesian(currentImage);
    return currentPose;
}

bool Motion::updatePos() { return updatePos(currentIndex); }

// The index names the position; its parameter is plain data. (Positions read from files all
// carry parameter 0, so treating the parameter as an identity would freeze every loaded task.)
bool Motion::updatePos(int i) {
    if (i < 0 || i >= size())
        return false;
    store->positions.set(i, currentImage);
    emit currentchanged(i);
    return true;
}

void Motion::drawPositions() const {
    GLUquadric *quadric = gluNewQuadric();
    for (int i = 0; i < size(); ++i) {
        const Point &z = store->positions.ref(i);
        glPushMatrix();
        glTranslated(z[0] / z[3], z[1] / z[3], z[2] / z[3]);
        gluSphere(quadric, 0.1, 8, 8);
        glPopMatrix();
    }
    gluDeleteQuadric(quadric);
}
