"""Reads a DXF file with ezdxf, audits it, lists its entities and draws it to a PNG.

Usage: dxf_probe.py FILE.dxf OUT.png WIDTH_INCHES HEIGHT_INCHES PIXELS_PER_INCH [BACKGROUND]

Prints one line "audit ERRORS FIXES", then one line per model-space entity:
TYPE LAYER ACI TRUECOLOR LINETYPE then the entity's numbers (points, radius, angles, height).
The PNG shows the page from (0, 0) to (WIDTH, HEIGHT) inches on the background colour given
("#rrggbb", white when none is), as a CAD viewer draws on its own background.
"""
import sys

import ezdxf
import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.properties import LayoutProperties  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402


def numbers(e):
    t = e.dxftype()
    d = e.dxf
    if t == "LINE":
        return [d.start.x, d.start.y, d.end.x, d.end.y]
    if t in ("POINT",):
        return [d.location.x, d.location.y]
    if t == "SOLID":
        return [v for k in ("vtx0", "vtx1", "vtx2", "vtx3") for v in (d.get(k).x, d.get(k).y)]
    if t == "CIRCLE":
        return [d.center.x, d.center.y, d.radius]
    if t == "ARC":
        return [d.center.x, d.center.y, d.radius, d.start_angle, d.end_angle]
    if t == "TEXT":
        return [d.insert.x, d.insert.y, d.height, d.rotation]
    if t == "POLYLINE":
        return [v for p in e.points() for v in (p[0], p[1])]
    return []


def main():
    path, png, width, height, ppi = sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4]), float(sys.argv[5])
    background = sys.argv[6] if len(sys.argv) > 6 else "#ffffff"
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    print("audit", len(auditor.errors), len(auditor.fixes))
    for e in auditor.errors:
        print("error", e.code, e.message)
    msp = doc.modelspace()
    for e in msp:
        d = e.dxf
        tc = d.get("true_color", -1)
        print(e.dxftype(), d.layer, d.get("color", 256), -1 if tc is None else tc, d.get("linetype", "BYLAYER"),
              " ".join("%.6f" % v for v in numbers(e)))
    fig = plt.figure(figsize=(width, height), dpi=ppi)
    ax = fig.add_axes([0, 0, 1, 1])
    ctx = RenderContext(doc)
    # The layout's colours go in with the drawing call: draw_layout otherwise takes the layout's own
    # again (a dark background, on which colour 7 is white).
    properties = LayoutProperties.from_layout(msp)
    properties.set_colors(background)
    Frontend(ctx, MatplotlibBackend(ax)).draw_layout(msp, finalize=False, layout_properties=properties)
    ax.set_xlim(0, width)
    ax.set_ylim(0, height)
    ax.set_aspect("auto")
    ax.axis("off")
    fig.savefig(png, dpi=ppi, facecolor=background)


main()
