// The text of the views: each label is recorded during the GL drawing with where it lands on
// screen, and written afterwards with Qt's text rendering (LabelPainter), which has every
// character ("°", "θ") and stays sharp on a high-density screen.
#pragma once

#include <string>
#include <vector>

class ScreenLabels {
public:
    // One label as the screen shows it, in the framebuffer's pixels with y up (GL's window
    // coordinates), so the painter only has to turn it into its own logical pixels.
    struct Label {
        std::string text;            // UTF-8
        double x = 0.0, y = 0.0;     // the anchor
        double angleDeg = 0.0;       // direction of the baseline, counter-clockwise on screen
        double capHeight = 0.0;      // height of the capitals and digits
        double alongAnchor = 0.0;    // 0: the anchor starts the text, 0.5: it is its middle
        bool hangs = false;          // the anchor is at the top of the capitals, not on the baseline
        float rgba[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    };

    // How a label sits on its anchor and how large it is: capHeight in logical pixels (the same at
    // every zoom) or in units of the current GL frame (growing and shrinking with the drawing).
    struct Style {
        double capHeight = 13.0;
        bool capInPixels = true;
        double alongAnchor = 0.0;
        bool hangs = false;
        bool upright = false;   // keeps the text horizontal instead of along the frame's x axis
    };

    // While one lives, write() records into `into`; the screen has `devicePixelRatio` framebuffer
    // pixels to a logical one. An inner scope takes over and hands back when it ends.
    class Collecting {
    public:
        Collecting(ScreenLabels &into, double devicePixelRatio);
        ~Collecting();
        Collecting(const Collecting &) = delete;
        Collecting &operator=(const Collecting &) = delete;

    private:
        ScreenLabels *previous;
        double previousRatio;
    };

    // Records `text` anchored at (x, y) of the current GL frame, in the current GL colour, into
    // the labels being collected. Needs a current GL context; with nothing collecting it is
    // dropped, as a shape drawn where no one writes text shows none.
    static void write(const std::string &text, double x, double y, const Style &style);

    const std::vector<Label> &labels() const { return list; }
    void clear() { list.clear(); }

private:
    std::vector<Label> list;
};
