#!/usr/bin/env python3
"""Draws the tool bar icon set of Mechanism Synthesis as 24x24 SVG files in resources/icons/.

One visual language throughout: dark ink for structure (pivots, ground, outlines), blue for task
positions and frames, orange for links and dyads, green/red only for Start/Stop. Run it after
changing a drawing; the SVG files it writes are what the build bundles.
"""
import math
import os

INK = "#263238"
BLUE = "#1e6fd9"
LIGHT_BLUE = "#8fb8ee"
ORANGE = "#e8710a"
LIGHT_ORANGE = "#fbd3ad"
GREEN = "#2e9d4f"
RED = "#d93025"
WHITE = "#ffffff"

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "icons")


def f(v):
    return ("%.2f" % v).rstrip("0").rstrip(".")


def svg(*parts):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24" viewBox="0 0 24 24" '
            'fill="none" stroke-linecap="round" stroke-linejoin="round">\n' +
            "".join("  " + p + "\n" for p in parts) + "</svg>\n")


def line(x1, y1, x2, y2, color=INK, w=2.0, dash=None):
    d = ' stroke-dasharray="%s"' % dash if dash else ""
    return ('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="%s"%s/>'
            % (f(x1), f(y1), f(x2), f(y2), color, f(w), d))


def poly(points, fill="none", stroke=INK, w=1.6, closed=True):
    tag = "polygon" if closed else "polyline"
    pts = " ".join("%s,%s" % (f(x), f(y)) for x, y in points)
    return '<%s points="%s" fill="%s" stroke="%s" stroke-width="%s"/>' % (tag, pts, fill, stroke, f(w))


def circle(x, y, r, fill="none", stroke=INK, w=1.6, dash=None):
    d = ' stroke-dasharray="%s"' % dash if dash else ""
    s = 'stroke="%s" stroke-width="%s"' % (stroke, f(w)) if stroke else 'stroke="none"'
    return '<circle cx="%s" cy="%s" r="%s" fill="%s" %s%s/>' % (f(x), f(y), f(r), fill, s, d)


def path(d, stroke=INK, w=2.0, fill="none", dash=None):
    ds = ' stroke-dasharray="%s"' % dash if dash else ""
    return '<path d="%s" fill="%s" stroke="%s" stroke-width="%s"%s/>' % (d, fill, stroke, f(w), ds)


def rect(x, y, w, h, fill="none", stroke=INK, sw=1.6, rx=0):
    return ('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s" stroke="%s" stroke-width="%s"/>'
            % (f(x), f(y), f(w), f(h), f(rx), fill, stroke, f(sw)))


def arrow(x1, y1, x2, y2, color=INK, w=2.0, head=3.2):
    """A shaft ending in a filled head whose tip is (x2, y2)."""
    L = math.hypot(x2 - x1, y2 - y1)
    ux, uy = (x2 - x1) / L, (y2 - y1) / L
    bx, by = x2 - ux * head, y2 - uy * head
    px, py = -uy * head * 0.62, ux * head * 0.62
    return (line(x1, y1, bx + ux * 0.4, by + uy * 0.4, color, w) +
            poly([(x2, y2), (bx + px, by + py), (bx - px, by - py)], fill=color, stroke=color, w=1.0))


def pivot(x, y, r=2.3):
    return circle(x, y, r, fill=WHITE, stroke=INK, w=1.6)


def ground(x, y):
    """Ground symbol under a fixed pivot at (x, y): a triangle standing on a hatched base."""
    base = y + 4.2
    parts = [poly([(x, y), (x - 3.2, base), (x + 3.2, base)], fill=WHITE, stroke=INK, w=1.5),
             line(x - 4.6, base, x + 4.6, base, INK, 1.5)]
    for k in range(3):
        hx = x - 3.4 + k * 3.0
        parts.append(line(hx, base + 0.3, hx - 1.6, base + 2.2, INK, 1.1))
    return "".join(parts)


def frame(ox, oy, size=10.0, color=BLUE, w=2.0, angle_deg=0.0):
    """A task position: the moving frame's origin with its x and y axes."""
    a = math.radians(angle_deg)
    xe = (ox + size * math.cos(a), oy - size * math.sin(a))
    ye = (ox - size * math.sin(a), oy - size * math.cos(a))
    return (arrow(ox, oy, xe[0], xe[1], color, w, 3.0) + arrow(ox, oy, ye[0], ye[1], color, w, 3.0) +
            circle(ox, oy, 1.6, fill=color, stroke=None))


def pencil(tipx, tipy, length=10.0, angle_deg=45.0):
    """A pencil lying along angle_deg (measured up from +x) with its tip at (tipx, tipy)."""
    a = math.radians(angle_deg)
    ux, uy = math.cos(a), -math.sin(a)        # from the tip towards the end
    px, py = -uy * 1.8, ux * 1.8               # half width
    t = (tipx, tipy)
    b = (tipx + ux * 3.0, tipy + uy * 3.0)     # where the point meets the body
    e = (tipx + ux * length, tipy + uy * length)
    body = [(b[0] + px, b[1] + py), (e[0] + px, e[1] + py), (e[0] - px, e[1] - py), (b[0] - px, b[1] - py)]
    return (poly(body, fill=ORANGE, stroke=INK, w=1.3) +
            poly([t, (b[0] + px, b[1] + py), (b[0] - px, b[1] - py)], fill=WHITE, stroke=INK, w=1.3))


def plus(cx, cy, r=3.2, color=INK):
    return line(cx - r, cy, cx + r, cy, color, 2.0) + line(cx, cy - r, cx, cy + r, color, 2.0)


def crosshair(cx, cy, r=2.4, color=INK):
    return (line(cx - r, cy - r, cx + r, cy + r, color, 1.8) +
            line(cx - r, cy + r, cx + r, cy - r, color, 1.8))


def document():
    return (path("M5 2.5 H14 L19 7.5 V21.5 H5 Z", INK, 1.6, fill=WHITE) +
            path("M14 2.5 V7.5 H19", INK, 1.4))


def fourbar(a, b, c, d, crossed=False):
    """Ground pivots a, d; crank end b; rocker end c."""
    parts = [line(a[0], a[1], b[0], b[1], ORANGE, 2.2), line(b[0], b[1], c[0], c[1], ORANGE, 2.2),
             line(c[0], c[1], d[0], d[1], ORANGE, 2.2)]
    parts += [ground(a[0], a[1]), ground(d[0], d[1])]
    parts += [pivot(*p, r=2.0) for p in (a, b, c, d)]
    return "".join(parts)


def arc(cx, cy, r, a0, a1):
    """Arc around (cx, cy) from angle a0 to a1 (degrees, counter-clockwise on screen)."""
    p0 = (cx + r * math.cos(math.radians(a0)), cy - r * math.sin(math.radians(a0)))
    p1 = (cx + r * math.cos(math.radians(a1)), cy - r * math.sin(math.radians(a1)))
    large = 1 if abs(a1 - a0) > 180 else 0
    sweep = 0 if a1 > a0 else 1
    return "M%s %s A%s %s 0 %d %d %s %s" % (f(p0[0]), f(p0[1]), f(r), f(r), large, sweep, f(p1[0]), f(p1[1]))


ICONS = {}

# Reset: a loop that comes back to where it started.
def _reset():
    c, r = 12.0, 7.0
    start, end = math.radians(20), math.radians(60)
    p0 = (c + r * math.cos(start), c - r * math.sin(start))
    p1 = (c + r * math.cos(end), c - r * math.sin(end))
    # Travelling clockwise on screen, the direction at the end of the arc.
    ux, uy = math.sin(end), math.cos(end)
    nx, ny = -uy, ux
    tip = (p1[0] + ux * 3.6, p1[1] + uy * 3.6)
    return svg(path("M%s %s A7 7 0 1 1 %s %s" % (f(p0[0]), f(p0[1]), f(p1[0]), f(p1[1])), INK, 2.2),
               poly([tip, (p1[0] + nx * 2.6, p1[1] + ny * 2.6), (p1[0] - nx * 2.6, p1[1] - ny * 2.6)],
                    fill=INK, stroke=INK, w=1.0))


ICONS["reset"] = _reset()

ICONS["read-positions"] = svg(document(), frame(8.5, 18.0, 7.5))
ICONS["read-mechanism"] = svg(
    document(), line(9, 17, 14.5, 11, ORANGE, 2.2), pivot(9, 17, 2.0),
    pivot(14.5, 11, 2.0))
ICONS["save-dyads"] = svg(
    path("M3.5 14 V20.5 H20.5 V14", INK, 2.0), arrow(12, 2.5, 12, 16.5, ORANGE, 2.4, 4.5))
ICONS["input-positions"] = svg(frame(5.5, 19.0, 12.5), plus(18.5, 5.5))
ICONS["edit-positions"] = svg(frame(4.5, 19.5, 11.5), pencil(12.5, 13.5, 11.0, 45.0))

# Synthesize: a circle fitted through the task positions around a fixed pivot (the RR idea).
_cc, _rr = (12.0, 15.0), 8.0
_dots = [(_cc[0] + _rr * math.cos(math.radians(a)), _cc[1] - _rr * math.sin(math.radians(a)))
         for a in (155, 90, 25)]
ICONS["synthesize"] = svg(
    path(arc(_cc[0], _cc[1], _rr, 185, -5), ORANGE, 1.6, dash="1.5 1.6"),
    line(_cc[0], _cc[1], _dots[1][0], _dots[1][1], ORANGE, 2.0),
    ground(_cc[0], _cc[1]), pivot(_cc[0], _cc[1], 2.0),
    *[circle(x, y, 2.3, fill=BLUE, stroke=None) for x, y in _dots])

ICONS["input-mechanism"] = svg(fourbar((4, 17), (5.5, 8), (14, 6.5), (15, 17)), plus(19.8, 4.2))
ICONS["edit-mechanism"] = svg(fourbar((3.5, 17), (4.5, 9), (12, 7.5), (13, 17)),
                              pencil(14.5, 14.0, 11.0, 45.0))

_fx, _fy = 7.0, 16.0
ICONS["rr-select"] = svg(
    path(arc(_fx, _fy, 11.3, 0, 95), ORANGE, 1.6, dash="1.5 1.6"),
    line(_fx, _fy, _fx + 11.3 * math.cos(math.radians(45)), _fy - 11.3 * math.sin(math.radians(45)),
         ORANGE, 2.4),
    ground(_fx, _fy), pivot(_fx, _fy),
    pivot(_fx + 11.3 * math.cos(math.radians(45)), _fy - 11.3 * math.sin(math.radians(45))))

ICONS["pr-select"] = svg(
    line(2, 18, 22, 18, INK, 1.6), *[line(4 + 4 * k, 18.4, 2.4 + 4 * k, 20.8, INK, 1.1) for k in range(5)],
    line(8, 14.5, 17.5, 5.5, ORANGE, 2.4), rect(3.5, 11.6, 9, 6, fill=WHITE, stroke=INK, sw=1.6, rx=1),
    pivot(8, 14.5), pivot(17.5, 5.5))

# RP: the block turns on a fixed pivot and slides along a line carried by the moving body.
_p, _a = (11.0, 10.5), math.radians(18.0)
_d = (math.cos(_a), -math.sin(_a))
_n = (-_d[1], _d[0])
_bl = [(_p[0] + sx * 4.2 * _d[0] + sy * 2.3 * _n[0], _p[1] + sx * 4.2 * _d[1] + sy * 2.3 * _n[1])
       for sx, sy in ((-1, -1), (1, -1), (1, 1), (-1, 1))]
ICONS["rp-select"] = svg(
    line(_p[0] - 9.5 * _d[0], _p[1] - 9.5 * _d[1], _p[0] + 12.5 * _d[0], _p[1] + 12.5 * _d[1], ORANGE, 2.4),
    line(_p[0], _p[1], _p[0], 15.0, INK, 1.8), ground(11.0, 15.0), poly(_bl, fill=WHITE, stroke=INK, w=1.6),
    pivot(_p[0], _p[1], 2.0))

ICONS["mf-select"] = svg(
    poly([(3.5, 20), (20.5, 16.5), (11, 4)], fill=LIGHT_ORANGE, stroke=ORANGE, w=1.8),
    frame(9.5, 15.5, 8.0))

ICONS["swap-input-dyad"] = svg(arrow(4, 8, 20, 8, ORANGE, 2.2, 4.0), arrow(20, 16, 4, 16, INK, 2.2, 4.0))
ICONS["crossed"] = svg(fourbar((4, 16), (16.5, 5), (7.5, 5), (20, 16)))
ICONS["open"] = svg(fourbar((4, 16), (6, 5), (18, 5), (20, 16)))
ICONS["start"] = svg(poly([(7, 4), (20, 12), (7, 20)], fill=GREEN, stroke=GREEN, w=2.0))
ICONS["pause"] = svg(rect(5.5, 4.5, 4.5, 15, fill=INK, stroke=INK, sw=1.0, rx=1.2),
                     rect(14, 4.5, 4.5, 15, fill=INK, stroke=INK, sw=1.0, rx=1.2))
ICONS["stop"] = svg(rect(5, 5, 14, 14, fill=RED, stroke=RED, sw=1.5, rx=2))
ICONS["pan"] = svg(arrow(12, 12, 12, 2.2, INK, 2.0, 3.6), arrow(12, 12, 12, 21.8, INK, 2.0, 3.6),
                   arrow(12, 12, 2.2, 12, INK, 2.0, 3.6), arrow(12, 12, 21.8, 12, INK, 2.0, 3.6),
                   circle(12, 12, 2.0, fill=BLUE, stroke=None))
ICONS["zoom"] = svg(circle(10, 10, 6.5, fill=WHITE, stroke=INK, w=2.2), line(14.8, 14.8, 20.5, 20.5, INK, 3.2),
                    plus(10, 10, 3.0, BLUE))
ICONS["toggle-grid"] = svg(rect(3, 3, 18, 18, stroke=INK, sw=1.8, rx=1.5),
                           *[line(3 + 6 * k, 3.5, 3 + 6 * k, 20.5, LIGHT_BLUE, 1.3) for k in (1, 2)],
                           *[line(3.5, 3 + 6 * k, 20.5, 3 + 6 * k, LIGHT_BLUE, 1.3) for k in (1, 2)])

# Tolerance synthesis: a position with the fan of orientations it may take.
_o = (5.0, 19.0)
ICONS["smart-synthesis"] = svg(
    path(arc(_o[0], _o[1], 13.0, -8, 38), ORANGE, 1.8),
    line(_o[0], _o[1], _o[0] + 13.5 * math.cos(math.radians(38)), _o[1] - 13.5 * math.sin(math.radians(38)),
         LIGHT_BLUE, 1.5, dash="1.8 1.6"),
    line(_o[0], _o[1], _o[0] + 13.5 * math.cos(math.radians(-8)), _o[1] - 13.5 * math.sin(math.radians(-8)),
         LIGHT_BLUE, 1.5, dash="1.8 1.6"),
    frame(_o[0], _o[1], 11.5, angle_deg=15.0))

ICONS["solution-selector"] = svg(
    rect(3, 4, 18, 16, fill=WHITE, stroke=INK, sw=1.6, rx=1.5), rect(3.8, 14.2, 16.4, 5, fill=LIGHT_ORANGE,
                                                                 stroke="none", sw=0),
    line(3, 9, 21, 9, INK, 1.3), line(3, 14, 21, 14, INK, 1.3), line(12, 4, 12, 20, INK, 1.3),
    poly([(5.5, 16.8), (7.2, 18.4), (10, 15.4)], stroke=GREEN, w=1.8, closed=False))

_arc4 = [(4.5 + 5 * k, 9.5 - (2.2 if k in (1, 2) else 0)) for k in range(4)]
ICONS["four-position"] = svg(line(2, 18.5, 22, 18.5, INK, 1.8, dash="2.4 1.8"), pivot(13, 18.5, 2.0),
                             *[circle(x, y, 2.2, fill=BLUE, stroke=None) for x, y in _arc4])
ICONS["line-input"] = svg(line(4.5, 19.5, 19.5, 4.5, INK, 2.0), crosshair(4.5, 19.5, 2.4, BLUE),
                          crosshair(19.5, 4.5, 2.4, BLUE))
ICONS["position-input"] = svg(line(2, 20, 22, 20, INK, 1.8, dash="2.4 1.8"), frame(6, 15.5, 10.0),
                              plus(19.5, 5.5, 2.8))
_arc3 = [(5, 8), (12, 4.5), (19, 8)]
ICONS["three-position"] = svg(*[circle(x, y, 2.2, fill=BLUE, stroke=None) for x, y in _arc3],
                              crosshair(7, 17.5, 2.6), crosshair(17, 17.5, 2.6))
ICONS["arbitrary-positions"] = svg(rect(3.5, 3.5, 17, 17, fill=WHITE, stroke=INK, sw=1.8, rx=3.5),
                                   *[circle(x, y, 1.7, fill=BLUE, stroke=None)
                                     for x, y in ((8, 8), (16, 8), (12, 12), (8, 16), (16, 16))])
ICONS["settings"] = svg(*[line(3, y, 21, y, INK, 1.8) for y in (6, 12, 18)],
                        circle(8, 6, 2.3, fill=WHITE, stroke=BLUE, w=2.0),
                        circle(15.5, 12, 2.3, fill=WHITE, stroke=BLUE, w=2.0),
                        circle(10.5, 18, 2.3, fill=WHITE, stroke=BLUE, w=2.0))


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, text in sorted(ICONS.items()):
        with open(os.path.join(OUT, name + ".svg"), "w") as out:
            out.write(text)
    qrc = os.path.join(os.path.dirname(OUT), "icons.qrc")
    with open(qrc, "w") as out:
        out.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n<qresource prefix="/">\n')
        for name in sorted(ICONS):
            out.write("    <file>icons/%s.svg</file>\n" % name)
        out.write("</qresource>\n</RCC>\n")
    print(len(ICONS), "icons written to", OUT)


if __name__ == "__main__":
    main()
