#!/usr/bin/env python3
"""Writes the demonstration position files in demo/ from the forward kinematics of mechanisms
chosen for them, and (with --check) runs mechsynth-cli on each file to confirm that synthesis
gives back the mechanism type the file is named after.

Every file is a count followed by one "x y theta" record per line (theta in degrees): the
three-number form, which both the Demo menu and "Run Demo" accept.

    tools/make_demos.py                      # write demo/*.txt
    tools/make_demos.py --check BUILD_DIR    # write them, then synthesize each with the CLI
"""

import argparse
import json
import math
import os
import random
import subprocess
import sys
import tempfile

# The default workspace: 20 wide, 10 high, centred on the origin.
HALF_WIDTH = 10.0
HALF_HEIGHT = 5.0
DIGITS = 6  # decimals written per number


def unit(angle_deg):
    a = math.radians(angle_deg)
    return (math.cos(a), math.sin(a))


def add(p, q):
    return (p[0] + q[0], p[1] + q[1])


def sub(p, q):
    return (p[0] - q[0], p[1] - q[1])


def scale(p, s):
    return (p[0] * s, p[1] * s)


def angle_of(v):
    return math.degrees(math.atan2(v[1], v[0]))


def rotate(p, angle_deg):
    c, s = unit(angle_deg)
    return (c * p[0] - s * p[1], s * p[0] + c * p[1])


def circle_intersection(c1, r1, c2, r2, side):
    """The point at distance r1 from c1 and r2 from c2, on the left (+1) or right (-1) of the
    line c1 -> c2."""
    d = sub(c2, c1)
    dist = math.hypot(*d)
    along = (r1 * r1 - r2 * r2 + dist * dist) / (2.0 * dist)
    h2 = r1 * r1 - along * along
    if h2 < 0.0:
        raise ValueError("the chain cannot close")
    ex = scale(d, 1.0 / dist)
    ey = (-ex[1], ex[0])
    return add(add(c1, scale(ex, along)), scale(ey, side * math.sqrt(h2)))


def point_on_line_at_distance(line_point, line_deg, centre, radius, side):
    """The point of the line at distance radius from centre: the far (+1) or near (-1) root."""
    d = unit(line_deg)
    w = sub(line_point, centre)
    b = d[0] * w[0] + d[1] * w[1]
    c = w[0] * w[0] + w[1] * w[1] - radius * radius
    disc = b * b - c
    if disc < 0.0:
        raise ValueError("the chain cannot close")
    s = -b + side * math.sqrt(disc)
    return add(line_point, scale(d, s))


def line_through_pivot_angle(body_point, pivot, offset, side):
    """Direction (deg) of a body line that keeps `offset` from body_point (to its left) and
    passes through the fixed pivot: the swinging block of an RP dyad."""
    d = sub(pivot, body_point)
    dist = math.hypot(*d)
    if abs(offset) > dist:
        raise ValueError("the pivot comes closer to the body point than the line's offset")
    return angle_of(d) - 90.0 + side * math.degrees(math.acos(offset / dist))


def frame_pose(origin_body_point, body_deg, local_offset, frame_offset_deg):
    """The moving frame: origin at body point + offset (body coordinates), angle body + offset."""
    origin = add(origin_body_point, rotate(local_offset, body_deg))
    return (origin[0], origin[1], body_deg + frame_offset_deg)


# ---- The five mechanism families, each driven by its input value -------------------------------

def rrrr(m, crank_deg):
    a = add(m["A0"], scale(unit(crank_deg), m["crank"]))
    b = circle_intersection(a, m["coupler"], m["B0"], m["rocker"], m["side"])
    return frame_pose(a, angle_of(sub(b, a)), m["point"], m["frame"])


def rrpr(m, crank_deg):
    a = add(m["A0"], scale(unit(crank_deg), m["crank"]))
    b = point_on_line_at_distance(m["L0"], m["line"], a, m["coupler"], m["side"])
    return frame_pose(a, angle_of(sub(b, a)), m["point"], m["frame"])


def rrrp(m, crank_deg):
    a = add(m["A0"], scale(unit(crank_deg), m["crank"]))
    body = line_through_pivot_angle(a, m["C0"], m["offset"], m["side"])
    return frame_pose(a, body, m["point"], m["frame"])


def prrp(m, slide):
    a = add(m["L0"], scale(unit(m["line"]), slide))
    body = line_through_pivot_angle(a, m["C0"], m["offset"], m["side"])
    return frame_pose(a, body, m["point"], m["frame"])


def prpr(m, slide):
    a = add(m["L1"], scale(unit(m["line1"]), slide))
    b = point_on_line_at_distance(m["L2"], m["line2"], a, m["coupler"], m["side"])
    return frame_pose(a, angle_of(sub(b, a)), m["point"], m["frame"])


# ---- The demonstrations ----------------------------------------------------------------------

DEMOS = [
    {
        "file": "RRRR.txt", "type": "RRRR", "kinematics": rrrr,
        # A Grashof crank-rocker: ground 7, crank 2, coupler 6, rocker 5.
        "mechanism": {"A0": (-4.0, -2.0), "crank": 2.0, "B0": (3.0, -2.0), "rocker": 5.0,
                      "coupler": 6.0, "side": 1, "point": (3.0, 2.0), "frame": 0.0},
        "inputs": [74.1, 113.1, 153.9, 210.8, 244.9],
        "generators": [("RR", (-4.0, -2.0)), ("RR", (3.0, -2.0))], "range": (0.0, 360.0),
    },
    {
        "file": "RRRP.txt", "type": "RRRP", "kinematics": rrrp,
        # A swinging block: crank 2 about (-3, 0), the body's line turns about (3, 0).
        "mechanism": {"A0": (-3.0, 0.0), "crank": 2.0, "C0": (3.0, 0.0), "offset": 0.5,
                      "side": 1, "point": (1.5, 1.0), "frame": 0.0},
        "inputs": [161.5, 234.9, 259.0, 300.5, 355.7],
        "generators": [("RR", (-3.0, 0.0)), ("RP", (3.0, 0.0))], "range": (0.0, 360.0),
    },
    {
        "file": "RRPR.txt", "type": "RRPR", "kinematics": rrpr,
        # A slider-crank: crank 2 about (-4, 0), the block slides on the line y = -1.
        "mechanism": {"A0": (-4.0, 0.0), "crank": 2.0, "L0": (0.0, -1.0), "line": 0.0,
                      "coupler": 6.0, "side": 1, "point": (2.0, 1.5), "frame": 0.0},
        "inputs": [15.2, 95.7, 138.0, 181.7, 314.1],
        "generators": [("RR", (-4.0, 0.0)), ("PR", (0.0, -1.0), 0.0)], "range": (0.0, 360.0),
    },
    {
        "file": "PRRP.txt", "type": "PRRP", "kinematics": prrp,
        # A point slides on the line y = -2 while a body line turns about (0, 2).
        "mechanism": {"L0": (-4.0, -2.0), "line": 0.0, "C0": (0.0, 2.0), "offset": 0.5,
                      "side": 1, "point": (1.0, 1.0), "frame": 0.0},
        "inputs": [3.6, 5.2, 5.8, 6.7, 7.9],
        "generators": [("PR", (-4.0, -2.0), 0.0), ("RP", (0.0, 2.0))], "range": (0.0, 8.0),
    },
    {
        "file": "PRPR.txt", "type": "PRPR", "kinematics": prpr,
        # A double slider (elliptic trammel): slides at 0 and 60 degrees.
        "mechanism": {"L1": (-4.0, -2.0), "line1": 0.0, "L2": (0.0, -2.0), "line2": 60.0,
                      "coupler": 5.0, "side": 1, "point": (2.0, 1.0), "frame": 0.0},
        "inputs": [-1.1, 1.2, 3.1, 5.0, 7.3],
        # Every point of the trammel's moving circle runs on a line through the slides' meeting
        # point, so any two of those slider dyads make the same motion: only the kinds count.
        "generators": [("PR", None, None), ("PR", None, None)], "range": (-1.5, 9.5),
    },
]


def design_challenge():
    """Eight poses near those of a crank-rocker, nudged so that no four-bar meets them all:
    only the approximate (least-squares) fit can serve."""
    m = {"A0": (-4.0, -1.0), "crank": 2.0, "B0": (4.0, -1.0), "rocker": 5.0,
         "coupler": 6.5, "side": 1, "point": (2.5, 2.0), "frame": 0.0}
    nudges = [(0.00, 0.00, 0.0), (0.05, -0.03, 0.8), (-0.04, 0.06, -1.0), (0.03, 0.02, 1.2),
              (-0.06, -0.02, -0.6), (0.02, -0.05, 0.9), (-0.03, 0.04, -1.1), (0.05, 0.03, 0.5)]
    poses = []
    for k, nudge in enumerate(nudges):
        x, y, t = rrrr(m, 140.0 + 45.0 * k)
        poses.append((x + nudge[0], y + nudge[1], t + nudge[2]))
    return poses


def demo_poses(demo):
    return [demo["kinematics"](demo["mechanism"], v) for v in demo["inputs"]]


def file_text(poses):
    lines = [str(len(poses))]
    for x, y, t in poses:
        lines.append(" ".join(f"{v:.{DIGITS}f}" for v in (x, y, t)))
    return "\n".join(lines) + "\n"


def inside_workspace(p):
    return abs(p[0]) <= HALF_WIDTH and abs(p[1]) <= HALF_HEIGHT


PIVOT_TOLERANCE = 1e-3  # the files carry six decimals; recovered pivots agree far better


def synthesize(cli, path):
    """The CLI's JSON result for a position file, or None with the reason when it failed."""
    with tempfile.TemporaryDirectory() as work:
        run = subprocess.run([cli, "synthesize", os.path.abspath(path), "--json"], cwd=work,
                             capture_output=True, text=True)
    if run.returncode != 0:
        return None, f"mechsynth-cli failed ({run.returncode}): {run.stderr.strip()}"
    return json.loads(run.stdout), None


def matches_generator(dyad, generator):
    """True when a synthesized dyad is the given dyad of the generating mechanism: the same kind
    and, for RR and RP, the same fixed pivot; for PR, the same ground line."""
    kind = generator[0]
    if dyad["type"] != kind:
        return False
    if kind in ("RR", "RP"):
        p = dyad["fixedPivot"]
        return None not in p and math.hypot(p[0] - generator[1][0],
                                             p[1] - generator[1][1]) < PIVOT_TOLERANCE
    if generator[1] is None:
        return True
    a1, a2, a3 = dyad["parameters"][:3]  # the ground line a1 x + a2 y + a3 = 0
    norm = math.hypot(a1, a2)
    point, direction = generator[1], unit(generator[2])
    through = abs(a1 * point[0] + a2 * point[1] + a3) / norm
    along = abs(a1 * direction[0] + a2 * direction[1]) / norm
    return through < PIVOT_TOLERANCE and along < PIVOT_TOLERANCE


def problems_of(result, demo):
    """What keeps a synthesis result from being a good demonstration of its mechanism type."""
    dyads = result["dyads"]
    if len(dyads) < 2:
        return [f"only {len(dyads)} dyad(s)"]
    problems = []
    kinds = dyads[0]["type"] + dyads[1]["type"]
    if kinds != demo["type"]:
        problems.append(f"the first two dyads are {kinds}, not {demo['type']}")
    mechanism = result["mechanism"] or {}
    if mechanism.get("type") != demo["type"]:
        problems.append(f"the mechanism is {mechanism.get('type')}, not {demo['type']}")
    for d, g in zip(dyads[:2], demo["generators"]):
        if not matches_generator(d, g):
            problems.append(f"dyad {d['index']} is not the generating {g[0]} dyad")
        for name in ("fixedPivot", "movingPivot"):
            p = d[name]
            if None in p or not inside_workspace(p):
                problems.append(f"dyad {d['index']} {name} {p} is outside the workspace")
    return problems


def describe(path, result):
    mechanism = result["mechanism"] or {}
    print(f"  {path}: {result['realRoots']} real root(s), dyads "
          f"{[d['type'] for d in result['dyads']]}, mechanism {mechanism.get('type')} "
          f"({mechanism.get('class')}, input limits {mechanism.get('inputLimits')})")


def search(cli, demo, tries, seed):
    """Looks for five inputs whose poses make a good demonstration; prints the first found."""
    rng = random.Random(seed)
    lo, hi = demo["range"]
    with tempfile.TemporaryDirectory() as work:
        path = os.path.join(work, demo["file"])
        for _ in range(tries):
            inputs = sorted(round(rng.uniform(lo, hi), 1) for _ in range(5))
            if min(b - a for a, b in zip(inputs, inputs[1:])) < (hi - lo) / 15.0:
                continue
            try:
                poses = [demo["kinematics"](demo["mechanism"], v) for v in inputs]
            except ValueError:
                continue
            if not all(inside_workspace(p) for p in poses):
                continue
            with open(path, "w") as f:
                f.write(file_text(poses))
            result, failure = synthesize(cli, path)
            if result is not None and not problems_of(result, demo):
                print(f"{demo['file']}: inputs {inputs}")
                describe(demo["file"], result)
                return True
    print(f"{demo['file']}: nothing found in {tries} tries")
    return False


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "..", "demo"))
    parser.add_argument("--check", metavar="BUILD_DIR",
                        help="run BUILD_DIR/mechsynth-cli on every file written")
    parser.add_argument("--search", metavar="BUILD_DIR",
                        help="look for input values that make good demonstrations (prints them)")
    parser.add_argument("--tries", type=int, default=400)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    if args.search:
        cli = os.path.join(args.search, "mechsynth-cli")
        found = [search(cli, demo, args.tries, args.seed) for demo in DEMOS]
        return 0 if all(found) else 1

    os.makedirs(args.out, exist_ok=True)
    written = []
    for demo in DEMOS:
        written.append((os.path.join(args.out, demo["file"]), demo, demo_poses(demo)))
    written.append((os.path.join(args.out, "Design Challenge.txt"), None, design_challenge()))

    failed = False
    for path, demo, poses in written:
        with open(path, "w") as f:
            f.write(file_text(poses))
        if not all(inside_workspace(p) for p in poses):
            print(f"{path}: a pose lies outside the workspace")
            failed = True
    if args.check:
        cli = os.path.join(args.check, "mechsynth-cli")
        for path, demo, _ in written:
            result, failure = synthesize(cli, path)
            if result is None:
                print(f"  {path}: {failure}")
                failed = True
                continue
            describe(path, result)
            for problem in problems_of(result, demo) if demo else []:
                print(f"    PROBLEM: {problem}")
                failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
