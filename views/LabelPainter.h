// Writes the labels the views recorded during their GL drawing with a QPainter over the scene.
#pragma once

#include "ScreenLabels.h"

#include <QFont>
#include <vector>

class QPainter;

class LabelPainter {
public:
    // Writes each label over what the painter's device shows. The labels are in framebuffer
    // pixels with y up: `framebufferHeight` and `devicePixelRatio` turn them into the painter's
    // logical coordinates, where Qt renders the text at the screen's full density.
    static void paint(QPainter &painter, const std::vector<ScreenLabels::Label> &labels,
                      int framebufferHeight, double devicePixelRatio);
    // The sans-serif font whose capitals stand capHeight logical pixels high.
    static QFont fontWithCapHeight(double capHeight);
};
