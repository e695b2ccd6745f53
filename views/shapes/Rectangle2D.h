// A rectangle about its centre: slider blocks, guides and prismatic joint bodies.
#pragma once

#include "Shape.h"

class Rectangle2D : public Shape {
public:
    // width runs along the direction angleDeg, height across it; negative sizes are stored as 0.
    Rectangle2D(const Point &centre, bool filled, double width, double height, double angleDeg);
    void draw() const override;
    // Slider block at a pose (x, y, angle in degrees): white body, black outline.
    void drawAtPose(const Point &pose) const;
    // The same block with two legs from its lower corners down to y = -height (a guide block).
    void drawGuideAtPose(const Point &pose) const;

    void setCentre(double x, double y);
    void setAngle(double angleDeg) { angle = angleDeg; }
    void setWhiteFill(bool w) { whiteFill = w; }
    bool isWhiteFill() const { return whiteFill; }
    double getWidth() const { return width; }
    double getHeight() const { return height; }
    double getAngle() const { return angle; }

private:
    void outline(double lineWidth) const;
    double width;
    double height;
    double angle;   // degrees
    bool whiteFill = false;
};
