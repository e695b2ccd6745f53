// A length annotation along a link: a dimension line with arrowheads and its value.
#pragma once

#include "Shape.h"

#include <string>

class LinearDimension : public Shape {
public:
    // Plain form: only the label, written half-way along the line at offset 0.7.
    LinearDimension(const Point &location, double length, double angleDeg);
    // Full form: dimension line from start to end at offset 1.1, value scale*length with unit
    // 'i' (inches) or 'm' (metres).
    LinearDimension(const Point &start, const Point &end, double length, double angleDeg,
                    double scale, char unit);
    void draw() const override;

    void setOffset(double o) { offset = o; }
    double getOffset() const { return offset; }
    void setLabel(const std::string &text) { label = text; }
    const std::string &getLabel() const { return label; }
    bool isFullForm() const { return full; }
    // The text the full form writes: scale*length to the view's significant digits and its
    // unit ("in" or "m"), both as the "Settings" dialog last set them.
    std::string valueText() const;
    // A number of a dimension label as the stream writes it (general notation), to the
    // process-wide significantDigits; the angle dimension writes its numbers the same way.
    static std::string numberText(double value);
    // The capital height of the dimension values on screen, in logical pixels: the values keep
    // one size at every zoom instead of growing over the mechanism.
    static constexpr double labelCapPixels = 13.0;

private:
    void drawPlain() const;
    void drawFull() const;
    double length;
    double angle;   // degrees
    double offset;
    std::string label = "L";
    Point lineEnd{0.0, 0.0, 0.0};
    double scale = 1.0;
    char unit = 'm';
    bool full = false;
};
