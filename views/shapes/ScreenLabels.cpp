// ScreenLabels: where a label written in a GL frame lands on screen, read from the GL matrices.
#include "ScreenLabels.h"

#include "ProcessValues.h"

#include <GL/gl.h>
#include <array>
#include <cmath>

namespace {
// The list being collected and the screen's pixel ratio; GL drawing runs on one thread.
ScreenLabels *collecting = nullptr;
double collectingRatio = 1.0;

// The current frame's mapping to window pixels, as GL applies it (column-major matrices).
class WindowMapping {
public:
    WindowMapping() {
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
    }
    std::array<double, 2> operator()(double x, double y) const {
        double eye[4], clip[4];
        for (int r = 0; r < 4; ++r)
            eye[r] = modelview[r] * x + modelview[4 + r] * y + modelview[12 + r];
        for (int r = 0; r < 4; ++r)
            clip[r] = projection[r] * eye[0] + projection[4 + r] * eye[1] +
                      projection[8 + r] * eye[2] + projection[12 + r] * eye[3];
        return {viewport[0] + (clip[0] / clip[3] + 1.0) * viewport[2] / 2.0,
                viewport[1] + (clip[1] / clip[3] + 1.0) * viewport[3] / 2.0};
    }

private:
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
};
} // namespace

ScreenLabels::Collecting::Collecting(ScreenLabels &into, double devicePixelRatio)
    : previous(collecting), previousRatio(collectingRatio) {
    collecting = &into;
    collectingRatio = devicePixelRatio;
}

ScreenLabels::Collecting::~Collecting() {
    collecting = previous;
    collectingRatio = previousRatio;
}

void ScreenLabels::write(const std::string &text, double x, double y, const Style &style) {
    if (!collecting || text.empty())
        return;
    const WindowMapping toWindow;
    const std::array<double, 2> anchor = toWindow(x, y);
    const std::array<double, 2> alongX = toWindow(x + 1.0, y), alongY = toWindow(x, y + 1.0);
    if (!std::isfinite(anchor[0]) || !std::isfinite(anchor[1]))
        return;  // a degenerate frame puts the label nowhere
    Label label;
    label.text = text;
    label.x = anchor[0];
    label.y = anchor[1];
    label.angleDeg = style.upright ? 0.0
                                   : std::atan2(alongX[1] - anchor[1], alongX[0] - anchor[0]) *
                                         180.0 / PI;
    // A frame unit up the frame's y axis is as many pixels as the capitals' height scales by.
    label.capHeight = style.capInPixels
                          ? style.capHeight * collectingRatio
                          : style.capHeight *
                                std::hypot(alongY[0] - anchor[0], alongY[1] - anchor[1]);
    label.alongAnchor = style.alongAnchor;
    label.hangs = style.hangs;
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (int k = 0; k < 4; ++k)
        label.rgba[k] = colour[k];
    collecting->list.push_back(std::move(label));
}
