// Positions entered with the mouse in the Cartesian view. The view only requests a position;
// the task (the motion and the engine's rows together) takes it here, and synthesis follows.
#include "Vendrel.h"

#include "MechanismSynthesis.h"
#include "Motion.h"
#include "ProcessValues.h"

void Vendrel::position_input_mouseclick(double x, double y, double thetaDeg, int t) {
    ss_position_input_mouseclick(x, y, thetaDeg, t);
    toSynthesize();
    emit dataChanged();
}

// Adds the position to both copies of the task without synthesizing.
void Vendrel::ss_position_input_mouseclick(double x, double y, double thetaDeg, int t) {
    synthesis->appendDataRow(x, y, thetaDeg);
    appendToTask({x, y, thetaDeg, static_cast<double>(t)});
    motion->setcurrntpositionindex(motion->size() - 1);
}

// The motion's half of adding a position: the pose in radians, its image, its time parameter.
void Vendrel::appendToTask(const TaskPosition &p) {
    motion->currentPose = Point(p.x, p.y, p.thetaDeg * INPUT_DEG_TO_RAD);
    motion->currentPose.parameter = p.parameter;
    motion->currentImage = toImage(motion->currentPose);
    motion->addPosition();
}
