// The glyph of a moving-frame position, drawn in the frame's own coordinates: the pentagon
// body, the two axes with arrow heads and the frame's number. The task's position frames and
// the grippers that mark the current or hovered one draw the same glyph.
#pragma once

#include <string>

namespace frameglyph {

// The pentagon's corners, for a caller that draws its outline in its own line style.
void pentagonVertices();
// The pentagon filled with (r, g, b) and outlined in black.
void filledPentagon(double r, double g, double b);
// The x and y axes in translucent blue, with the corner mark and the arrow heads.
void axes();
// Capital height of the frame's number and of the fixed frame's axis letters, in frame units:
// they grow and shrink with the drawing, as the pentagon does.
constexpr double labelCapHeight = 0.143;
// The number below the frame's origin, in black, turning with the frame.
void label(const std::string &text);

} // namespace frameglyph
