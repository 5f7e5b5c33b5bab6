#!/usr/bin/python3
"""Draws the six editor images of the Marrow-Grit pedal with cairo.

Run with Debian's own interpreter (python3-cairo lives there):

    tools/pedal-images/generate.sh                 # writes pedal/img/*.png
    tools/pedal-images/generate.sh --out DIR       # somewhere else
    tools/pedal-images/generate.sh --preview P.png # also a composed preview
    tools/pedal-images/generate.sh --check         # only check pedal/img
    tools/pedal-images/generate.sh --icons-only    # icons from pedal/img

Every run also draws the application icon (the pedal as the editor shows it)
into pedal/icons/hicolor/<size>x<size>/apps/marrow-grit.png, the layout of
the freedesktop icon theme that the install copies into share/icons.

Every image is checked after encoding (size, frame layout, 8-bit colour type,
no palette, transparency or colour-space chunks, CRCs, inflated data length)
before anything is written; a wrong image is never written.

The drawing is deterministic: fixed seeds for the paint texture, fixed font
options, no time stamps in the files.
"""

import argparse
import io
import math
import os
import random
import struct
import subprocess
import sys
import zlib

try:
    import cairo
    import numpy
except ImportError:         # --check works without them
    cairo = None

# --------------------------------------------------------------------------
# Editor geometry. Controls are drawn on top of the background at these
# places, so the background's markings are drawn around the same centres.

EDITOR_W, EDITOR_H = 213, 326

LED_RECT = (91, 15, 109, 33)
CABINET_RECT = (80, 61, 120, 101)
LEVEL_RECT = (18, 86, 83, 151)
ATTACK_RECT = (115, 86, 180, 151)
FOOTSWITCH_RECT = (80, 172, 120, 212)
ABOUT_HOTSPOT = (10, 35, 80, 55)
ABOUT_RECT = (5, 156, 186, 306)

# The enclosure is centred on the controls' column (x = 100); the strip on the
# right is floor with the enclosure's shadow on it.
BOX = (3.0, 3.0, 197.0, 316.0)
BOX_RADIUS = 13.0
BEVEL = 4.0

KNOB_SIZE = 65
KNOB_FRAMES = 65
KNOB_MIN_DEG = -135.0
KNOB_MAX_DEG = 135.0

# The editor's sizes drawn here, as whole multiples of the logical pixel:
# the 100 % set goes to the output folder itself, the others to a folder
# named by their percentage. The build derives the steps between from the
# next larger set (tools/scale-images).
NATIVE_SCALES = (1, 2, 3)
# The steps between (percent: the native scale they are reduced from).
DERIVED_SETS = {125: 2, 150: 2, 175: 2, 250: 3}

# Device pixels per logical pixel of the set being drawn.
SCALE = 1

# (resource id, file name, width, height, frames, PNG colour type), sizes of
# the 100 % set.
IMAGES = [
    (100, "marrowgrit_switch_02.png", 40, 80, 2, 6),
    (101, "marrowgrit_knob_01.png", 65, 4225, 65, 6),
    (102, "background.png", 213, 326, 1, 2),
    (103, "marrowgrit_about.png", 181, 150, 1, 2),
    (104, "marrowgrit_led.png", 18, 36, 2, 6),
    (105, "marrowgrit_switch_01.png", 40, 80, 2, 6),
]

# The application icon: square, transparent around the enclosure.
ICON_NAME = "marrow-grit"
ICON_SIZES = (16, 32, 48, 64, 128, 256)

# --------------------------------------------------------------------------
# Colours and type.


def hexrgb(h, a=None):
    h = h.lstrip("#")
    c = tuple(int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4))
    return c if a is None else c + (a,)


FLOOR = hexrgb("#171513")
FLOOR_HI = hexrgb("#221f1c")
OX_TOP = hexrgb("#74191f")
OX_MID = hexrgb("#5c1218")
OX_BOT = hexrgb("#3e0a10")
BONE = hexrgb("#ece2cb")
BONE_DIM = hexrgb("#c9bb9c")
INK = hexrgb("#4a0c12")

SANS_NARROW = "Nimbus Sans Narrow"
SERIF_DISPLAY = "URW Bookman"
SERIF_TEXT = "C059"
SCRIPT = "Z003"

REQUIRED_FONTS = [
    (SANS_NARROW, "bold"),
    (SERIF_DISPLAY, "bold:italic"),
    (SERIF_TEXT, "regular"),
    (SERIF_TEXT, "italic"),
    (SCRIPT, "regular"),
]


def check_fonts():
    """Refuses to draw with substitute fonts: fontconfig would silently pick
    something else and the lettering would no longer fit its places."""
    for family, style in REQUIRED_FONTS:
        try:
            got = subprocess.run(
                ["fc-match", "-f", "%{family}", f"{family}:{style}"],
                check=True, capture_output=True, text=True).stdout
        except (OSError, subprocess.CalledProcessError) as err:
            sys.exit(f"generate.py: fc-match failed ({err}); "
                     "run scripts/install-image-tools.sh")
        if family not in got.split(","):
            sys.exit(f"generate.py: font '{family}' ({style}) is missing "
                     f"(fontconfig offers '{got}'); "
                     "run scripts/install-image-tools.sh")


def font_options():
    fo = cairo.FontOptions()
    fo.set_antialias(cairo.ANTIALIAS_GRAY)
    fo.set_hint_style(cairo.HINT_STYLE_NONE)
    fo.set_hint_metrics(cairo.HINT_METRICS_OFF)
    return fo


def new_ctx(surface):
    """A context on a surface of the set being drawn, in logical units."""
    ctx = cairo.Context(surface)
    ctx.set_font_options(font_options())
    ctx.set_antialias(cairo.ANTIALIAS_BEST)
    if SCALE != 1:
        ctx.scale(SCALE, SCALE)
    return ctx


def paint_device(ctx, source, x, y):
    """Paints a surface already at the set's size 1:1 onto the device pixels
    (x, y in logical units), so grain and copied art are never resampled."""
    ctx.save()
    ctx.identity_matrix()
    ctx.set_source_surface(source, x * SCALE, y * SCALE)
    ctx.paint()
    ctx.restore()


def paint_grain(ctx, w, h, seed, strength):
    """The paint's grain, one speck per device pixel at every size."""
    paint_device(ctx, paint_noise(w * SCALE, h * SCALE, seed, strength), 0, 0)


def set_font(ctx, family, size, italic=False, bold=False):
    ctx.select_font_face(
        family,
        cairo.FONT_SLANT_ITALIC if italic else cairo.FONT_SLANT_NORMAL,
        cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)


def spaced_width(ctx, text, spacing):
    w = 0.0
    for i, ch in enumerate(text):
        w += ctx.text_extents(ch).x_advance
        if i < len(text) - 1:
            w += spacing
    return w


def text_path(ctx, text, x, y, spacing=0.0, align="center", xscale=1.0):
    """Adds the outline of text to the path. x is the centre (or left edge),
    y the baseline. xscale squeezes the lettering horizontally."""
    if spacing == 0.0:
        width = ctx.text_extents(text).x_advance
    else:
        width = spaced_width(ctx, text, spacing)
    width *= xscale
    left = x - width / 2.0 if align == "center" else x
    ctx.save()
    ctx.translate(left, y)
    ctx.scale(xscale, 1.0)
    if spacing == 0.0:
        ctx.move_to(0, 0)
        ctx.text_path(text)
    else:
        pos = 0.0
        for ch in text:
            ctx.move_to(pos, 0)
            ctx.text_path(ch)
            pos += ctx.text_extents(ch).x_advance + spacing
    ctx.restore()
    return width


def draw_text(ctx, text, x, y, colour, spacing=0.0, align="center",
              xscale=1.0, shadow=None):
    if shadow is not None:
        ctx.new_path()
        text_path(ctx, text, x + shadow[0], y + shadow[1], spacing, align,
                  xscale)
        ctx.set_source_rgba(*shadow[2])
        ctx.fill()
    ctx.new_path()
    w = text_path(ctx, text, x, y, spacing, align, xscale)
    ctx.set_source_rgba(*colour) if len(colour) == 4 else \
        ctx.set_source_rgb(*colour)
    ctx.fill()
    return w


# --------------------------------------------------------------------------
# Shape helpers.


def rounded_rect(ctx, x0, y0, x1, y1, r):
    ctx.new_sub_path()
    ctx.arc(x1 - r, y0 + r, r, -math.pi / 2, 0)
    ctx.arc(x1 - r, y1 - r, r, 0, math.pi / 2)
    ctx.arc(x0 + r, y1 - r, r, math.pi / 2, math.pi)
    ctx.arc(x0 + r, y0 + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()


def circle(ctx, cx, cy, r):
    ctx.new_sub_path()
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.close_path()


def soft_shadow_circle(ctx, cx, cy, r, spread, alpha):
    """A blurred round shadow: a radial falloff from r - spread to r + spread."""
    g = cairo.RadialGradient(cx, cy, max(0.0, r - spread), cx, cy, r + spread)
    g.add_color_stop_rgba(0.0, 0, 0, 0, alpha)
    g.add_color_stop_rgba(0.5, 0, 0, 0, alpha * 0.45)
    g.add_color_stop_rgba(1.0, 0, 0, 0, 0.0)
    ctx.set_source(g)
    circle(ctx, cx, cy, r + spread)
    ctx.fill()


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def spun_metal(ctx, cx, cy, r, base, amp, light_deg=-45.0, steps=180,
               lobes=2):
    """A machined metal disc: brightness follows cos(lobes*(angle - light)),
    which gives the bow-tie reflections of spun aluminium and chrome."""
    ctx.save()
    circle(ctx, cx, cy, r)
    ctx.clip()
    step = 2 * math.pi / steps
    for i in range(steps):
        a0 = i * step
        mid = a0 + step / 2
        v = base + amp * math.cos(lobes * (mid - math.radians(light_deg)))
        v = min(1.0, max(0.0, v))
        ctx.move_to(cx, cy)
        ctx.arc(cx, cy, r + 1, a0 - 0.004, a0 + step + 0.004)
        ctx.close_path()
        ctx.set_source_rgb(v, v, v * 1.01 if v < 0.99 else v)
        ctx.fill()
    ctx.restore()


def spin_rings(ctx, cx, cy, r, rnd, alpha=0.06):
    """Fine concentric tool marks over a spun disc."""
    ctx.save()
    ctx.set_line_width(0.5)
    rr = 1.0
    while rr < r:
        ctx.set_source_rgba(1, 1, 1, alpha) if rnd.random() < 0.5 else \
            ctx.set_source_rgba(0, 0, 0, alpha)
        circle(ctx, cx, cy, rr)
        ctx.stroke()
        rr += 0.7 + rnd.random() * 0.6
    ctx.restore()


def hexagon(ctx, cx, cy, r, rot_deg=0.0):
    ctx.new_sub_path()
    for i in range(6):
        a = math.radians(rot_deg + 60 * i)
        x, y = cx + r * math.cos(a), cy + r * math.sin(a)
        if i == 0:
            ctx.move_to(x, y)
        else:
            ctx.line_to(x, y)
    ctx.close_path()


def chrome_nut(ctx, cx, cy, r, rot_deg=0.0, light_deg=-135.0, base=0.55):
    """A hex nut seen from above, each facet shaded by its facing to a light
    from the upper left, with a chamfered bore ring."""
    soft_shadow_circle(ctx, cx + 1.2, cy + 1.6, r * 0.93, 1.8, 0.55)
    hexagon(ctx, cx, cy, r, rot_deg)
    ctx.set_source_rgb(0.55, 0.56, 0.58)
    ctx.fill()
    inner = r * 0.72
    for i in range(6):
        a0 = math.radians(rot_deg + 60 * i)
        a1 = math.radians(rot_deg + 60 * (i + 1))
        facing = (a0 + a1) / 2
        lit = math.cos(facing - math.radians(light_deg))
        v = min(1.0, base + 0.33 * lit)
        ctx.move_to(cx + r * math.cos(a0), cy + r * math.sin(a0))
        ctx.line_to(cx + r * math.cos(a1), cy + r * math.sin(a1))
        ctx.line_to(cx + inner * math.cos(a1), cy + inner * math.sin(a1))
        ctx.line_to(cx + inner * math.cos(a0), cy + inner * math.sin(a0))
        ctx.close_path()
        ctx.set_source_rgb(v, v, v * 1.02)
        ctx.fill()
    hexagon(ctx, cx, cy, inner, rot_deg)
    g = cairo.LinearGradient(cx - inner, cy - inner, cx + inner, cy + inner)
    g.add_color_stop_rgb(0.0, min(1.0, base + 0.33), min(1.0, base + 0.34),
                         min(1.0, base + 0.35))
    g.add_color_stop_rgb(0.5, base + 0.11, base + 0.12, base + 0.14)
    g.add_color_stop_rgb(1.0, base - 0.07, base - 0.06, base - 0.04)
    ctx.set_source(g)
    ctx.fill()
    hexagon(ctx, cx, cy, r, rot_deg)
    ctx.set_source_rgba(0, 0, 0, 0.55)
    ctx.set_line_width(0.6)
    ctx.stroke()


# --------------------------------------------------------------------------
# Background: the enclosure seen from above.


def paint_noise(surface_w, surface_h, seed, strength):
    """A grain texture as an ARGB surface (premultiplied), light and dark
    specks of low alpha."""
    rnd = random.Random(seed)
    img = cairo.ImageSurface(cairo.FORMAT_ARGB32, surface_w, surface_h)
    stride = img.get_stride()
    buf = bytearray(stride * surface_h)
    for y in range(surface_h):
        row = y * stride
        for x in range(surface_w):
            a = int(rnd.random() * strength)
            o = row + 4 * x
            if rnd.random() < 0.5:
                buf[o:o + 4] = bytes((a, a, a, a))      # white, premultiplied
            else:
                buf[o:o + 4] = bytes((0, 0, 0, a))      # black
    data = img.get_data()
    data[:] = bytes(buf)
    img.mark_dirty()
    return img


def hammertone(ctx, x0, y0, x1, y1, seed, count):
    """Hammered paint: overlapping shallow dimples, each lit on its lower
    right inner wall and shaded on the upper left (light from upper left)."""
    rnd = random.Random(seed)
    for _ in range(count):
        cx = x0 + rnd.random() * (x1 - x0)
        cy = y0 + rnd.random() * (y1 - y0)
        r = 3.0 + rnd.random() ** 2 * 7.0
        depth = 0.08 + rnd.random() * 0.10
        lin = cairo.LinearGradient(cx - r, cy - r, cx + r, cy + r)
        lin.add_color_stop_rgba(0.0, 0, 0, 0, depth * 1.6)
        lin.add_color_stop_rgba(0.45, 0, 0, 0, 0.0)
        lin.add_color_stop_rgba(0.6, 1, 0.85, 0.8, 0.0)
        lin.add_color_stop_rgba(1.0, 1, 0.85, 0.8, depth)
        mask = cairo.RadialGradient(cx, cy, 0, cx, cy, r)
        mask.add_color_stop_rgba(0.0, 0, 0, 0, 1.0)
        mask.add_color_stop_rgba(0.7, 0, 0, 0, 0.8)
        mask.add_color_stop_rgba(1.0, 0, 0, 0, 0.0)
        ctx.set_source(lin)
        ctx.mask(mask)


def screw(ctx, cx, cy, r, slot_deg):
    soft_shadow_circle(ctx, cx + 0.8, cy + 1.0, r, 1.5, 0.6)
    # countersink ring in the paint
    circle(ctx, cx, cy, r + 0.9)
    ctx.set_source_rgba(0, 0, 0, 0.45)
    ctx.fill()
    g = cairo.RadialGradient(cx - r * 0.4, cy - r * 0.45, 0.2, cx, cy, r)
    g.add_color_stop_rgb(0.0, 0.95, 0.95, 0.96)
    g.add_color_stop_rgb(0.45, 0.70, 0.71, 0.73)
    g.add_color_stop_rgb(1.0, 0.36, 0.37, 0.39)
    circle(ctx, cx, cy, r)
    ctx.set_source(g)
    ctx.fill()
    # cross head
    ctx.save()
    ctx.translate(cx, cy)
    ctx.rotate(math.radians(slot_deg))
    for ang in (0.0, math.pi / 2):
        ctx.save()
        ctx.rotate(ang)
        ctx.rectangle(-r * 0.72, -0.55, r * 1.44, 1.1)
        ctx.set_source_rgba(0.12, 0.12, 0.13, 0.9)
        ctx.fill()
        ctx.rectangle(-r * 0.72, 0.55, r * 1.44, 0.45)
        ctx.set_source_rgba(1, 1, 1, 0.35)
        ctx.fill()
        ctx.restore()
    ctx.restore()


def knob_scale(ctx, cx, cy, label):
    """Printed scale around a knob: eleven ticks from -135 to +135 degrees,
    longer at the ends and the middle, and the legend in the gap below."""
    ctx.save()
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for i in range(11):
        deg = KNOB_MIN_DEG + (KNOB_MAX_DEG - KNOB_MIN_DEG) * i / 10
        a = math.radians(deg - 90.0)       # 0 degrees is straight up
        major = i in (0, 5, 10)
        r0 = 27.6 if major else 28.2
        r1 = (32.0 if i != 5 else 31.4) if major else 30.4
        ctx.set_line_width(1.25 if major else 0.9)
        ctx.move_to(cx + r0 * math.cos(a), cy + r0 * math.sin(a))
        ctx.line_to(cx + r1 * math.cos(a), cy + r1 * math.sin(a))
        ctx.set_source_rgb(*BONE)
        ctx.stroke()
    ctx.restore()
    set_font(ctx, SANS_NARROW, 8.2, bold=True)
    draw_text(ctx, label, cx, cy + 38.2, BONE, spacing=1.1)


def control_well(ctx, cx, cy, r, alpha=0.35):
    """A faint shadowed ring where a control comes through the lid."""
    g = cairo.RadialGradient(cx, cy, r * 0.6, cx, cy, r)
    g.add_color_stop_rgba(0.0, 0, 0, 0, 0.0)
    g.add_color_stop_rgba(0.75, 0, 0, 0, alpha)
    g.add_color_stop_rgba(1.0, 0, 0, 0, 0.0)
    circle(ctx, cx, cy, r)
    ctx.set_source(g)
    ctx.fill()


def maker_badge(ctx, rect):
    """The maker's enamel badge; the about panel opens from here, so it is
    raised off the paint with a rim and shadow to read as something to press."""
    x0, y0, x1, y1 = rect
    bx0, by0, bx1, by1 = x0 + 1.0, y0 + 1.5, x1 - 1.0, y1 - 1.5
    # shadow
    for i, a in enumerate((0.22, 0.16, 0.10)):
        rounded_rect(ctx, bx0 + 0.8 - i * 0.5, by0 + 1.6 - i * 0.3,
                     bx1 + 0.8 + i * 0.5, by1 + 1.6 + i * 0.6, 4.5 + i)
        ctx.set_source_rgba(0, 0, 0, a)
        ctx.fill()
    # metal rim
    rounded_rect(ctx, bx0, by0, bx1, by1, 4.5)
    g = cairo.LinearGradient(bx0, by0, bx0, by1)
    g.add_color_stop_rgb(0.0, 0.95, 0.93, 0.86)
    g.add_color_stop_rgb(0.5, 0.72, 0.68, 0.58)
    g.add_color_stop_rgb(1.0, 0.42, 0.38, 0.30)
    ctx.set_source(g)
    ctx.fill()
    # enamel face
    rounded_rect(ctx, bx0 + 1.3, by0 + 1.3, bx1 - 1.3, by1 - 1.3, 3.4)
    g = cairo.LinearGradient(bx0, by0, bx0, by1)
    g.add_color_stop_rgb(0.0, *mix(BONE, (1, 1, 1), 0.25))
    g.add_color_stop_rgb(1.0, *mix(BONE, (0.75, 0.68, 0.55), 0.55))
    ctx.set_source(g)
    ctx.fill()
    # glaze highlight on the upper half
    rounded_rect(ctx, bx0 + 2.2, by0 + 2.0, bx1 - 2.2, (by0 + by1) / 2, 2.6)
    ctx.set_source_rgba(1, 1, 1, 0.22)
    ctx.fill()
    # wordmark
    set_font(ctx, SCRIPT, 13.2)
    cx = (bx0 + bx1) / 2
    draw_text(ctx, "tonewrights", cx + 0.5, by1 - 5.2, INK,
              shadow=(0.0, 0.6, (1, 1, 1, 0.45)))
    ctx.new_path()
    text_path(ctx, "tonewrights", cx + 0.5, by1 - 5.2)
    ctx.set_source_rgb(*INK)
    ctx.set_line_width(0.3)
    ctx.stroke()


def draw_strip(frame_w, frame_h, states, draw_frame):
    """A control strip: one frame_w x frame_h frame a state, top to bottom,
    each drawn by draw_frame(ctx, ox, oy, state) clipped to its own frame."""
    states = list(states)
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, frame_w * SCALE,
                              frame_h * len(states) * SCALE)
    ctx = new_ctx(surf)
    for i, state in enumerate(states):
        ctx.save()
        ctx.rectangle(0, i * frame_h, frame_w, frame_h)
        ctx.clip()
        draw_frame(ctx, 0, i * frame_h, state)
        ctx.restore()
    surf.flush()
    return surf


def draw_background():
    W, H = EDITOR_W, EDITOR_H
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, W * SCALE, H * SCALE)
    ctx = new_ctx(surf)

    # floor
    g = cairo.RadialGradient(W * 0.45, H * 0.4, 20, W * 0.5, H * 0.5, H * 0.7)
    g.add_color_stop_rgb(0.0, *FLOOR_HI)
    g.add_color_stop_rgb(1.0, *FLOOR)
    ctx.set_source(g)
    ctx.paint()
    paint_grain(ctx, W, H, 7, 22)

    x0, y0, x1, y1 = BOX
    # cast shadow of the enclosure, light from upper left
    for i in range(10):
        spread = 10 - i
        rounded_rect(ctx, x0 + 2 - spread * 0.3, y0 + 3 - spread * 0.3,
                     x1 + 4 + spread * 0.6, y1 + 5 + spread * 0.6,
                     BOX_RADIUS + spread * 0.6)
        ctx.set_source_rgba(0, 0, 0, 0.10)
        ctx.fill()

    # body edge: the rounded, bevelled sides of the box
    rounded_rect(ctx, x0, y0, x1, y1, BOX_RADIUS)
    g = cairo.LinearGradient(x0, y0, x1 * 0.6, y1)
    g.add_color_stop_rgb(0.0, *mix(OX_TOP, (1, 0.85, 0.8), 0.35))
    g.add_color_stop_rgb(0.35, *OX_MID)
    g.add_color_stop_rgb(1.0, *mix(OX_BOT, (0, 0, 0), 0.45))
    ctx.set_source(g)
    ctx.fill()

    # top face
    fx0, fy0, fx1, fy1 = x0 + BEVEL, y0 + BEVEL, x1 - BEVEL, y1 - BEVEL
    face_r = BOX_RADIUS - BEVEL * 0.8
    rounded_rect(ctx, fx0, fy0, fx1, fy1, face_r)
    g = cairo.LinearGradient(fx0, fy0, fx1 * 0.35, fy1)
    g.add_color_stop_rgb(0.0, *OX_TOP)
    g.add_color_stop_rgb(0.55, *OX_MID)
    g.add_color_stop_rgb(1.0, *OX_BOT)
    ctx.set_source(g)
    ctx.fill()

    ctx.save()
    rounded_rect(ctx, fx0, fy0, fx1, fy1, face_r)
    ctx.clip()
    hammertone(ctx, fx0 - 4, fy0 - 4, fx1 + 4, fy1 + 4, seed=2301, count=900)
    paint_grain(ctx, W, H, 11, 14)
    # broad sheen of the clear coat, upper left
    g = cairo.RadialGradient(fx0 + 40, fy0 + 40, 5, fx0 + 60, fy0 + 80, 190)
    g.add_color_stop_rgba(0.0, 1, 0.9, 0.85, 0.10)
    g.add_color_stop_rgba(1.0, 1, 0.9, 0.85, 0.0)
    ctx.set_source(g)
    ctx.paint()
    ctx.restore()

    # crisp highlight on the edge between bevel and face (upper left) and a
    # dark line on the lower right
    ctx.save()
    rounded_rect(ctx, fx0 + 0.5, fy0 + 0.5, fx1 - 0.5, fy1 - 0.5, face_r)
    g = cairo.LinearGradient(fx0, fy0, fx1, fy1)
    g.add_color_stop_rgba(0.0, 1, 0.88, 0.84, 0.42)
    g.add_color_stop_rgba(0.5, 1, 0.88, 0.84, 0.05)
    g.add_color_stop_rgba(0.55, 0, 0, 0, 0.10)
    g.add_color_stop_rgba(1.0, 0, 0, 0, 0.45)
    ctx.set_source(g)
    ctx.set_line_width(1.0)
    ctx.stroke()
    rounded_rect(ctx, x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, BOX_RADIUS)
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.stroke()
    ctx.restore()

    # corner screws
    for (sx, sy), rot in (((13.5, 13.5), 20), ((186.5, 13.5), 65),
                          ((13.5, 305.5), 110), ((186.5, 305.5), 5)):
        screw(ctx, sx, sy, 4.2, rot)

    # status LED well and its tiny legend
    lcx = (LED_RECT[0] + LED_RECT[2]) / 2.0
    lcy = (LED_RECT[1] + LED_RECT[3]) / 2.0
    control_well(ctx, lcx, lcy, 12.0, 0.35)

    # the maker's badge, which opens the about panel
    maker_badge(ctx, ABOUT_HOTSPOT)

    # a small model line on the upper right, balancing the badge
    set_font(ctx, SANS_NARROW, 6.6, bold=True)
    draw_text(ctx, "FUZZ  \u00b7  CAB", 155.0, 48.0, BONE_DIM, spacing=0.9)
    ctx.set_source_rgba(*BONE_DIM, 0.8)
    ctx.set_line_width(0.6)
    ctx.move_to(130.5, 39.5)
    ctx.line_to(179.5, 39.5)
    ctx.move_to(130.5, 51.5)
    ctx.line_to(179.5, 51.5)
    ctx.stroke()

    # cabinet switch legend and marks
    scx = (CABINET_RECT[0] + CABINET_RECT[2]) / 2.0
    scy = (CABINET_RECT[1] + CABINET_RECT[3]) / 2.0
    control_well(ctx, scx, scy, 15.0, 0.30)
    set_font(ctx, SANS_NARROW, 8.2, bold=True)
    draw_text(ctx, "CABINET", scx, 57.0, BONE, spacing=1.1)
    set_font(ctx, SANS_NARROW, 5.8, bold=True)
    draw_text(ctx, "ON", 114.2, 69.0, BONE, spacing=0.4)
    draw_text(ctx, "OFF", 113.6, 97.3, BONE, spacing=0.4)

    # knobs: scales and legends
    for rect, label in ((LEVEL_RECT, "LEVEL"), (ATTACK_RECT, "ATTACK")):
        kcx = (rect[0] + rect[2]) / 2.0
        kcy = (rect[1] + rect[3]) / 2.0
        control_well(ctx, kcx, kcy, 27.5, 0.28)
        knob_scale(ctx, kcx, kcy, label)

    # footswitch: printed ring
    fcx = (FOOTSWITCH_RECT[0] + FOOTSWITCH_RECT[2]) / 2.0
    fcy = (FOOTSWITCH_RECT[1] + FOOTSWITCH_RECT[3]) / 2.0
    control_well(ctx, fcx, fcy, 22.5, 0.35)
    circle(ctx, fcx, fcy, 22.5)
    ctx.set_source_rgb(*BONE)
    ctx.set_line_width(0.9)
    ctx.stroke()

    # the name
    name_cx = 100.0
    set_font(ctx, SERIF_DISPLAY, 30.0, italic=True, bold=True)
    width = ctx.text_extents("Marrow-Grit").x_advance
    xscale = min(1.0, 156.0 / width)
    # rules above and below
    ctx.set_source_rgb(*BONE)
    ctx.set_line_width(1.0)
    ctx.move_to(22.0, 231.5)
    ctx.line_to(178.0, 231.5)
    ctx.stroke()
    ctx.set_line_width(0.6)
    ctx.move_to(22.0, 234.3)
    ctx.line_to(178.0, 234.3)
    ctx.stroke()
    draw_text(ctx, "Marrow-Grit", name_cx, 265.0, BONE, xscale=xscale,
              shadow=(0.8, 1.2, (0.1, 0.0, 0.0, 0.55)))
    ctx.set_line_width(0.6)
    ctx.move_to(22.0, 275.7)
    ctx.line_to(178.0, 275.7)
    ctx.stroke()
    ctx.set_line_width(1.0)
    ctx.move_to(22.0, 278.5)
    ctx.line_to(178.0, 278.5)
    ctx.stroke()
    set_font(ctx, SERIF_TEXT, 9.0, italic=True)
    draw_text(ctx, "fuzz with cabinet", name_cx, 293.0, BONE_DIM,
              spacing=0.5)

    surf.flush()
    return surf


# --------------------------------------------------------------------------
# Knob: black knurled body, spun aluminium cap, white pointer line.


def draw_knob_frame(ctx, ox, oy, deg, rnd_seed):
    S = KNOB_SIZE
    cx, cy = ox + S / 2.0, oy + S / 2.0
    R = 24.5          # outer radius of the skirt
    FACE = 20.5       # flat top of the body
    CAP = 9.5         # aluminium insert
    rot = math.radians(deg)

    # shadow on the lid (fixed, the light does not turn with the knob)
    soft_shadow_circle(ctx, cx + 1.6, cy + 2.4, R - 0.5, 3.4, 0.65)

    # knurled side: alternating ridges around the rim turn with the knob
    ridges = 40
    circle(ctx, cx, cy, R)
    ctx.set_source_rgb(0.07, 0.07, 0.075)
    ctx.fill()
    ctx.save()
    circle(ctx, cx, cy, R)
    ctx.clip()
    for i in range(ridges):
        a0 = rot + 2 * math.pi * i / ridges
        a1 = a0 + math.pi / ridges
        mid = (a0 + a1) / 2
        lit = math.cos(mid - math.radians(-135.0))     # facing the light
        v = 0.16 + 0.14 * max(0.0, lit)
        ctx.move_to(cx, cy)
        ctx.arc(cx, cy, R + 1, a0, a1)
        ctx.close_path()
        ctx.set_source_rgb(v, v, v * 1.05)
        ctx.fill()
    ctx.restore()
    # rim shading: lit upper left, dark lower right
    g = cairo.LinearGradient(cx - R, cy - R, cx + R, cy + R)
    g.add_color_stop_rgba(0.0, 1, 1, 1, 0.18)
    g.add_color_stop_rgba(0.5, 0, 0, 0, 0.0)
    g.add_color_stop_rgba(1.0, 0, 0, 0, 0.45)
    circle(ctx, cx, cy, R)
    ctx.set_source(g)
    ctx.fill()
    circle(ctx, cx, cy, R - 0.3)
    ctx.set_source_rgba(0, 0, 0, 0.7)
    ctx.set_line_width(0.6)
    ctx.stroke()

    # bevel from rim to face
    g = cairo.LinearGradient(cx - FACE, cy - FACE, cx + FACE, cy + FACE)
    g.add_color_stop_rgb(0.0, 0.30, 0.30, 0.32)
    g.add_color_stop_rgb(0.5, 0.10, 0.10, 0.11)
    g.add_color_stop_rgb(1.0, 0.03, 0.03, 0.035)
    circle(ctx, cx, cy, FACE + 1.2)
    ctx.set_source(g)
    ctx.fill()

    # satin black face with a soft sheen
    circle(ctx, cx, cy, FACE)
    g = cairo.RadialGradient(cx - 7, cy - 8, 1, cx, cy, FACE)
    g.add_color_stop_rgb(0.0, 0.20, 0.20, 0.21)
    g.add_color_stop_rgb(0.6, 0.10, 0.10, 0.105)
    g.add_color_stop_rgb(1.0, 0.06, 0.06, 0.065)
    ctx.set_source(g)
    ctx.fill()

    # spun aluminium cap (its machining marks are symmetric, so a fixed
    # light keeps it steady from frame to frame)
    soft_shadow_circle(ctx, cx + 0.6, cy + 0.9, CAP, 1.3, 0.6)
    spun_metal(ctx, cx, cy, CAP, base=0.70, amp=0.20, light_deg=-45.0)
    spin_rings(ctx, cx, cy, CAP, random.Random(rnd_seed), alpha=0.05)
    g = cairo.RadialGradient(cx - 3, cy - 4, 0.5, cx, cy, CAP)
    g.add_color_stop_rgba(0.0, 1, 1, 1, 0.35)
    g.add_color_stop_rgba(1.0, 1, 1, 1, 0.0)
    circle(ctx, cx, cy, CAP)
    ctx.set_source(g)
    ctx.fill()
    circle(ctx, cx, cy, CAP - 0.3)
    ctx.set_source_rgba(0, 0, 0, 0.55)
    ctx.set_line_width(0.6)
    ctx.stroke()

    # pointer: an inlaid white line from the cap to the rim of the face
    ux, uy = math.sin(rot), -math.cos(rot)
    p0 = (cx + ux * (CAP + 1.6), cy + uy * (CAP + 1.6))
    p1 = (cx + ux * (FACE - 1.4), cy + uy * (FACE - 1.4))
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.move_to(p0[0] + 0.5, p0[1] + 0.6)
    ctx.line_to(p1[0] + 0.5, p1[1] + 0.6)
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.set_line_width(2.6)
    ctx.stroke()
    ctx.move_to(*p0)
    ctx.line_to(*p1)
    ctx.set_source_rgb(0.97, 0.96, 0.93)
    ctx.set_line_width(2.3)
    ctx.stroke()
    # and a notch in the cap's edge lining up with it
    ctx.move_to(cx + ux * (CAP - 3.2), cy + uy * (CAP - 3.2))
    ctx.line_to(cx + ux * (CAP - 0.6), cy + uy * (CAP - 0.6))
    ctx.set_source_rgba(0.15, 0.15, 0.16, 0.85)
    ctx.set_line_width(1.2)
    ctx.stroke()
    ctx.set_line_cap(cairo.LINE_CAP_BUTT)


def knob_angle(frame_index):
    """Pointer angle in degrees (0 = straight up, clockwise positive) of a
    0-based frame index."""
    return KNOB_MIN_DEG + (KNOB_MAX_DEG - KNOB_MIN_DEG) * frame_index / (
        KNOB_FRAMES - 1)


def draw_knob():
    return draw_strip(KNOB_SIZE, KNOB_SIZE, range(KNOB_FRAMES),
                      lambda ctx, ox, oy, i: draw_knob_frame(
                          ctx, ox, oy, knob_angle(i), rnd_seed=31))


# --------------------------------------------------------------------------
# Cabinet toggle: chrome bat lever on a hex nut, down = off, up = on.


def draw_toggle_frame(ctx, ox, oy, up):
    cx, cy = ox + 20.0, oy + 20.0
    # washer
    soft_shadow_circle(ctx, cx + 0.8, cy + 1.2, 11.5, 1.6, 0.5)
    circle(ctx, cx, cy, 11.5)
    g = cairo.LinearGradient(cx - 11, cy - 11, cx + 11, cy + 11)
    g.add_color_stop_rgb(0.0, 0.74, 0.74, 0.75)
    g.add_color_stop_rgb(1.0, 0.24, 0.24, 0.25)
    ctx.set_source(g)
    ctx.fill()
    spin_rings(ctx, cx, cy, 11.5, random.Random(5), alpha=0.09)
    circle(ctx, cx, cy, 11.2)
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.set_line_width(0.6)
    ctx.stroke()
    chrome_nut(ctx, cx, cy, 9.3, rot_deg=0.0, base=0.64)
    # threaded bushing
    circle(ctx, cx, cy, 5.2)
    g = cairo.RadialGradient(cx - 1.5, cy - 2, 0.5, cx, cy, 5.2)
    g.add_color_stop_rgb(0.0, 0.90, 0.90, 0.92)
    g.add_color_stop_rgb(1.0, 0.35, 0.36, 0.38)
    ctx.set_source(g)
    ctx.fill()
    for rr in (4.6, 3.8):
        circle(ctx, cx, cy, rr)
        ctx.set_source_rgba(0, 0, 0, 0.35)
        ctx.set_line_width(0.45)
        ctx.stroke()
    circle(ctx, cx, cy, 2.6)
    ctx.set_source_rgb(0.08, 0.08, 0.09)
    ctx.fill()

    # lever, foreshortened: it leans toward the top (on) or bottom (off)
    d = -1.0 if up else 1.0
    length = 14.2
    tip_y = cy + d * length
    base_w, tip_w = 2.5, 1.7
    ball_r = 3.4

    # cast shadow of the lever on the switch and lid (light upper left)
    ctx.save()
    ctx.translate(2.4, 2.8 if not up else 1.6)
    ctx.move_to(cx - base_w, cy)
    ctx.line_to(cx - tip_w, tip_y)
    ctx.line_to(cx + tip_w, tip_y)
    ctx.line_to(cx + base_w, cy)
    ctx.close_path()
    circle(ctx, cx, tip_y, ball_r)
    ctx.set_source_rgba(0, 0, 0, 0.38)
    ctx.fill()
    ctx.restore()

    # shaft with a cylindrical chrome gradient across its width
    ctx.move_to(cx - base_w, cy)
    ctx.line_to(cx - tip_w, tip_y)
    ctx.line_to(cx + tip_w, tip_y)
    ctx.line_to(cx + base_w, cy)
    ctx.close_path()
    g = cairo.LinearGradient(cx - base_w, 0, cx + base_w, 0)
    g.add_color_stop_rgb(0.0, 0.42, 0.43, 0.45)
    g.add_color_stop_rgb(0.25, 0.98, 0.98, 1.0)
    g.add_color_stop_rgb(0.45, 0.78, 0.79, 0.81)
    g.add_color_stop_rgb(0.75, 0.36, 0.37, 0.39)
    g.add_color_stop_rgb(1.0, 0.22, 0.23, 0.25)
    ctx.set_source(g)
    ctx.fill_preserve()
    ctx.set_source_rgba(0, 0, 0, 0.35)
    ctx.set_line_width(0.4)
    ctx.stroke()
    # along its length the shaft gets brighter toward the raised end
    ctx.move_to(cx - base_w, cy)
    ctx.line_to(cx - tip_w, tip_y)
    ctx.line_to(cx + tip_w, tip_y)
    ctx.line_to(cx + base_w, cy)
    ctx.close_path()
    g = cairo.LinearGradient(0, cy, 0, tip_y)
    g.add_color_stop_rgba(0.0, 0, 0, 0, 0.25)
    g.add_color_stop_rgba(1.0, 0, 0, 0, 0.0)
    ctx.set_source(g)
    ctx.fill()

    # ball end
    g = cairo.RadialGradient(cx - 1.2, tip_y - 1.3, 0.2, cx, tip_y, ball_r)
    g.add_color_stop_rgb(0.0, 1.0, 1.0, 1.0)
    g.add_color_stop_rgb(0.35, 0.82, 0.83, 0.85)
    g.add_color_stop_rgb(0.8, 0.40, 0.41, 0.43)
    g.add_color_stop_rgb(1.0, 0.22, 0.22, 0.24)
    circle(ctx, cx, tip_y, ball_r)
    ctx.set_source(g)
    ctx.fill_preserve()
    ctx.set_source_rgba(0, 0, 0, 0.4)
    ctx.set_line_width(0.4)
    ctx.stroke()


def draw_toggle():
    return draw_strip(40, 40, (False, True), draw_toggle_frame)


# --------------------------------------------------------------------------
# Footswitch: a chrome stomp button in a hex nut; pressed, the button sinks.


def draw_footswitch_frame(ctx, ox, oy, pressed):
    cx, cy = ox + 20.0, oy + 20.0
    chrome_nut(ctx, cx, cy, 17.6, rot_deg=30.0)
    # threaded collar
    circle(ctx, cx, cy, 12.4)
    g = cairo.LinearGradient(cx - 12, cy - 12, cx + 12, cy + 12)
    g.add_color_stop_rgb(0.0, 0.38, 0.39, 0.41)
    g.add_color_stop_rgb(1.0, 0.85, 0.86, 0.88)
    ctx.set_source(g)
    ctx.fill()
    for rr in (12.0, 11.3):
        circle(ctx, cx, cy, rr)
        ctx.set_source_rgba(0, 0, 0, 0.25)
        ctx.set_line_width(0.4)
        ctx.stroke()
    # the bore the button moves in
    circle(ctx, cx, cy, 10.6)
    ctx.set_source_rgb(0.05, 0.05, 0.055)
    ctx.fill()

    if not pressed:
        cap_r, lift, hi, sheen = 10.2, 1.4, 1.0, 0.65
    else:
        cap_r, lift, hi, sheen = 8.9, -0.5, 0.66, 0.22
    # shadow of the button in its bore
    circle(ctx, cx + lift * 0.6, cy + lift, cap_r)
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.fill()
    # domed chrome button
    bx, by = cx - lift * 0.25, cy - lift * 0.35
    g = cairo.RadialGradient(bx - 3.5, by - 4.0, 0.5, bx, by, cap_r)
    g.add_color_stop_rgb(0.0, 1.0 * hi, 1.0 * hi, 1.0 * hi)
    g.add_color_stop_rgb(0.3, 0.82 * hi, 0.83 * hi, 0.85 * hi)
    g.add_color_stop_rgb(0.75, 0.48 * hi, 0.49 * hi, 0.51 * hi)
    g.add_color_stop_rgb(1.0, 0.26 * hi, 0.27 * hi, 0.29 * hi)
    circle(ctx, bx, by, cap_r)
    ctx.set_source(g)
    ctx.fill()
    # spun top and a bright rim highlight
    ctx.save()
    circle(ctx, bx, by, cap_r * 0.62)
    ctx.clip()
    spun_metal(ctx, bx, by, cap_r * 0.62, base=0.66 * hi, amp=0.22 * hi)
    spin_rings(ctx, bx, by, cap_r * 0.62, random.Random(9), alpha=0.06)
    ctx.restore()
    circle(ctx, bx, by, cap_r * 0.62)
    ctx.set_source_rgba(0, 0, 0, 0.35)
    ctx.set_line_width(0.5)
    ctx.stroke()
    ctx.save()
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.arc(bx, by, cap_r - 1.1, math.radians(190), math.radians(260))
    ctx.set_source_rgba(1, 1, 1, sheen)
    ctx.set_line_width(1.2)
    ctx.stroke()
    ctx.restore()
    circle(ctx, bx, by, cap_r - 0.2)
    ctx.set_source_rgba(0, 0, 0, 0.5)
    ctx.set_line_width(0.5)
    ctx.stroke()
    if pressed:
        # the dark gap the sunken button leaves in the bore, deepest on the
        # side away from the light
        circle(ctx, cx, cy, 10.0)
        g = cairo.LinearGradient(cx - 10, cy - 10, cx + 10, cy + 10)
        g.add_color_stop_rgba(0.0, 0, 0, 0, 0.85)
        g.add_color_stop_rgba(1.0, 0, 0, 0, 0.35)
        ctx.set_source(g)
        ctx.set_line_width(1.6)
        ctx.stroke()


def draw_footswitch():
    return draw_strip(40, 40, (False, True), draw_footswitch_frame)


# --------------------------------------------------------------------------
# LED: a red lens in a chrome bezel; dark, then lit.


def draw_led_frame(ctx, ox, oy, lit):
    cx, cy = ox + 9.0, oy + 9.0
    if lit:
        g = cairo.RadialGradient(cx, cy, 4.0, cx, cy, 9.0)
        g.add_color_stop_rgba(0.0, 1.0, 0.15, 0.08, 0.55)
        g.add_color_stop_rgba(1.0, 1.0, 0.10, 0.05, 0.0)
        circle(ctx, cx, cy, 9.0)
        ctx.set_source(g)
        ctx.fill()
    else:
        soft_shadow_circle(ctx, cx + 0.6, cy + 0.9, 7.2, 1.4, 0.55)
    # bezel
    circle(ctx, cx, cy, 7.2)
    g = cairo.LinearGradient(cx - 7, cy - 7, cx + 7, cy + 7)
    g.add_color_stop_rgb(0.0, 0.96, 0.96, 0.97)
    g.add_color_stop_rgb(0.5, 0.62, 0.63, 0.65)
    g.add_color_stop_rgb(1.0, 0.30, 0.31, 0.33)
    ctx.set_source(g)
    ctx.fill()
    circle(ctx, cx, cy, 5.2)
    g = cairo.LinearGradient(cx - 5, cy - 5, cx + 5, cy + 5)
    g.add_color_stop_rgb(0.0, 0.25, 0.25, 0.27)
    g.add_color_stop_rgb(1.0, 0.90, 0.90, 0.92)
    ctx.set_source(g)
    ctx.fill()
    circle(ctx, cx, cy, 7.0)
    ctx.set_source_rgba(0, 0, 0, 0.5)
    ctx.set_line_width(0.4)
    ctx.stroke()

    # lens
    lens_r = 4.4
    if lit:
        g = cairo.RadialGradient(cx - 0.6, cy - 0.6, 0.2, cx, cy, lens_r)
        g.add_color_stop_rgb(0.0, 1.0, 0.93, 0.80)
        g.add_color_stop_rgb(0.25, 1.0, 0.45, 0.30)
        g.add_color_stop_rgb(0.7, 0.95, 0.08, 0.05)
        g.add_color_stop_rgb(1.0, 0.62, 0.02, 0.02)
    else:
        g = cairo.RadialGradient(cx + 0.8, cy + 1.0, 0.2, cx, cy, lens_r)
        g.add_color_stop_rgb(0.0, 0.42, 0.06, 0.06)
        g.add_color_stop_rgb(0.7, 0.24, 0.03, 0.035)
        g.add_color_stop_rgb(1.0, 0.12, 0.01, 0.015)
    circle(ctx, cx, cy, lens_r)
    ctx.set_source(g)
    ctx.fill()
    if lit:
        # the lens light spills onto the bezel
        g = cairo.RadialGradient(cx, cy, lens_r, cx, cy, 7.2)
        g.add_color_stop_rgba(0.0, 1.0, 0.2, 0.1, 0.55)
        g.add_color_stop_rgba(1.0, 1.0, 0.2, 0.1, 0.0)
        circle(ctx, cx, cy, 7.2)
        ctx.set_source(g)
        ctx.fill()
    # specular highlight on the dome
    g = cairo.RadialGradient(cx - 1.6, cy - 1.8, 0.1, cx - 1.6, cy - 1.8, 2.0)
    g.add_color_stop_rgba(0.0, 1, 1, 1, 0.9 if lit else 0.75)
    g.add_color_stop_rgba(1.0, 1, 1, 1, 0.0)
    circle(ctx, cx - 1.6, cy - 1.8, 2.0)
    ctx.set_source(g)
    ctx.fill()


def draw_led():
    return draw_strip(18, 18, (False, True), draw_led_frame)


# --------------------------------------------------------------------------
# About panel: a cream card that lies over the lower part of the pedal. Its
# corners show the enclosure beneath, copied from the background, so the
# card looks rounded and casts a shadow although the image has no alpha.


def fuzz_wave(ctx, x0, x1, y, amp):
    """A sine going into hard, slightly asymmetric clipping."""
    n = 120
    ctx.new_path()
    for i in range(n + 1):
        t = i / n
        x = x0 + (x1 - x0) * t
        drive = 1.0 + 7.0 * t
        s = math.sin(t * 4.0 * math.pi)
        v = math.tanh(drive * s) / math.tanh(drive)
        v = v * (1.0 if v > 0 else 0.8)
        if i == 0:
            ctx.move_to(x, y - amp * v)
        else:
            ctx.line_to(x, y - amp * v)


def draw_about(background):
    ax0, ay0, ax1, ay1 = ABOUT_RECT
    W, H = ax1 - ax0, ay1 - ay0
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, W * SCALE, H * SCALE)
    ctx = new_ctx(surf)
    paint_device(ctx, background, -ax0, -ay0)

    cx0, cy0, cx1, cy1 = 1.5, 1.5, W - 3.5, H - 4.0
    for i in range(5):
        rounded_rect(ctx, cx0 + 1.0 - i * 0.3, cy0 + 2.0 - i * 0.2,
                     cx1 + 1.5 + i * 0.5, cy1 + 2.5 + i * 0.5, 7 + i * 0.5)
        ctx.set_source_rgba(0, 0, 0, 0.16)
        ctx.fill()
    rounded_rect(ctx, cx0, cy0, cx1, cy1, 7.0)
    g = cairo.LinearGradient(0, cy0, 0, cy1)
    g.add_color_stop_rgb(0.0, *mix(BONE, (1, 1, 1), 0.35))
    g.add_color_stop_rgb(1.0, *mix(BONE, (0.80, 0.72, 0.58), 0.25))
    ctx.set_source(g)
    ctx.fill()
    ctx.save()
    rounded_rect(ctx, cx0, cy0, cx1, cy1, 7.0)
    ctx.clip()
    paint_grain(ctx, W, H, 17, 10)
    ctx.restore()
    # double border in the enclosure's colour
    rounded_rect(ctx, cx0 + 3.5, cy0 + 3.5, cx1 - 3.5, cy1 - 3.5, 4.5)
    ctx.set_source_rgb(*OX_MID)
    ctx.set_line_width(1.2)
    ctx.stroke()
    rounded_rect(ctx, cx0 + 5.8, cy0 + 5.8, cx1 - 5.8, cy1 - 5.8, 3.0)
    ctx.set_line_width(0.5)
    ctx.stroke()

    mid = (cx0 + cx1) / 2.0
    set_font(ctx, SERIF_DISPLAY, 22.0, italic=True, bold=True)
    width = ctx.text_extents("Marrow-Grit").x_advance
    draw_text(ctx, "Marrow-Grit", mid, 38.0, OX_MID,
              xscale=min(1.0, 150.0 / width))
    set_font(ctx, SERIF_TEXT, 9.0, italic=True)
    draw_text(ctx, "fuzz with cabinet", mid, 51.5, INK, spacing=0.4)

    # the waveform the pedal is named for
    fuzz_wave(ctx, mid - 48.0, mid + 48.0, 71.0, 9.0)
    ctx.set_source_rgba(*OX_MID, 1.0)
    ctx.set_line_width(1.3)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke()
    ctx.set_source_rgba(*INK, 0.35)
    ctx.set_line_width(0.5)
    ctx.move_to(mid - 56.0, 71.5)
    ctx.line_to(mid + 56.0, 71.5)
    ctx.stroke()

    set_font(ctx, SANS_NARROW, 7.0, bold=True)
    draw_text(ctx, "MADE BY", mid, 95.0, INK, spacing=1.2)
    set_font(ctx, SCRIPT, 17.0)
    draw_text(ctx, "tonewrights", mid, 112.0, OX_MID)
    set_font(ctx, SERIF_TEXT, 8.6)
    draw_text(ctx, "version 2.3.0", mid, 131.0, INK, spacing=0.3)

    surf.flush()
    return surf


# --------------------------------------------------------------------------
# Encoding and checks.

ALLOWED_CHUNKS = (b"IHDR", b"IDAT", b"IEND")
FORBIDDEN_CHUNKS = (b"PLTE", b"tRNS", b"gAMA", b"iCCP", b"sRGB", b"cHRM",
                    b"sBIT")
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def split_chunks(data):
    if data[:8] != PNG_SIGNATURE:
        raise ValueError("no PNG signature")
    pos, chunks = 8, []
    while pos < len(data):
        if pos + 12 > len(data):
            raise ValueError("truncated chunk")
        length, = struct.unpack(">I", data[pos:pos + 4])
        ctype = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        if len(body) != length or zlib.crc32(ctype + body) != crc:
            raise ValueError(f"bad chunk {ctype!r}")
        chunks.append((ctype, data[pos:pos + 12 + length]))
        pos += 12 + length
    return chunks


def png_chunk(ctype, body):
    return (struct.pack(">I", len(body)) + ctype + body +
            struct.pack(">I", zlib.crc32(ctype + body)))


def encode_png(surface, smallest=False):
    """PNG bytes of a surface as cairo writes them, keeping only the image
    chunks (cairo adds a background-colour chunk nobody here reads).
    `smallest` deflates the image data again with zopfli, for the large sets
    the plug-in's size budget is spent on (the 100 % files keep the bytes
    they have always had)."""
    buf = io.BytesIO()
    surface.write_to_png(buf)
    data = keep_image_chunks(buf.getvalue())
    return zopfli_png(data) if smallest else data


def keep_image_chunks(data):
    return PNG_SIGNATURE + b"".join(raw for c, raw in split_chunks(data)
                                    if c in ALLOWED_CHUNKS)


def zopfli_png(data):
    """The same filtered rows deflated again by zopfli, which packs this
    grainy art some 5 % smaller than zlib's best; the header, filters and
    colour type stay as they are."""
    chunks = split_chunks(data)
    rows = zlib.decompress(b"".join(raw[8:-4] for c, raw in chunks
                                    if c == b"IDAT"))
    import tempfile
    try:
        # zopfli reads a file, not a pipe.
        with tempfile.NamedTemporaryFile(suffix=".rows") as f:
            f.write(rows)
            f.flush()
            packed = subprocess.run(["zopfli", "--zlib", "--i5", "-c", f.name],
                                    capture_output=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError) as err:
        sys.exit(f"generate.py: zopfli failed ({err}); "
                 "run scripts/install-image-tools.sh")
    if zlib.decompress(packed) != rows:
        sys.exit("generate.py: zopfli's output does not inflate to the rows")
    return (PNG_SIGNATURE + chunks[0][1] + png_chunk(b"IDAT", packed) +
            png_chunk(b"IEND", b""))


def check_png(data, width, height, frames, colour_type):
    """Raises ValueError unless data is a plain 8-bit non-interlaced PNG of the
    given size and colour type whose height splits into the frames."""
    chunks = split_chunks(data)
    types = [c for c, _ in chunks]
    if not types or types[0] != b"IHDR" or types[-1] != b"IEND":
        raise ValueError("chunk order")
    for c in types:
        if c in FORBIDDEN_CHUNKS:
            raise ValueError(f"forbidden chunk {c!r}")
    ihdr = chunks[0][1][8:8 + 13]
    w, h, depth, ctype, comp, filt, interlace = struct.unpack(">IIBBBBB",
                                                              ihdr)
    if (w, h) != (width, height):
        raise ValueError(f"size {w}x{h}, want {width}x{height}")
    if depth != 8 or ctype != colour_type or comp or filt or interlace:
        raise ValueError(f"depth {depth} colour type {ctype} "
                         f"compression {comp} filter {filt} "
                         f"interlace {interlace}")
    if height % frames != 0:
        raise ValueError("height does not split into whole frames")
    channels = 4 if colour_type == 6 else 3
    raw = zlib.decompress(b"".join(raw[8:-4] for c, raw in chunks
                                   if c == b"IDAT"))
    if len(raw) != height * (1 + width * channels):
        raise ValueError("image data length")


def alpha_at(surface, x, y):
    stride = surface.get_stride()
    return surface.get_data()[y * stride + 4 * x + 3]


def check_strip_corners(surface, frame_w, frame_h, frames):
    """Each frame of a control strip leaves its corners transparent, so the
    lid shows around the round parts."""
    for f in range(frames):
        for x, y in ((0, 0), (frame_w - 1, 0), (0, frame_h - 1),
                     (frame_w - 1, frame_h - 1)):
            if alpha_at(surface, x, f * frame_h + y) != 0:
                raise ValueError(f"frame {f + 1} corner ({x},{y}) not clear")


def set_folder(folder, scale):
    """Where the set of a scale lives under the output folder."""
    return folder if scale == 1 else os.path.join(folder, str(scale * 100))


def scaled_size(logical, percent):
    """Device pixels of a logical length at a percentage, as the editor
    rounds them (halves up)."""
    return (logical * percent + 50) // 100


def all_sets():
    """[(percent, folder name or None for the 100 % set)] of every set."""
    sets = [(s * 100, None if s == 1 else str(s * 100)) for s in NATIVE_SCALES]
    sets += [(p, str(p)) for p in DERIVED_SETS]
    return sorted(sets)


def coverage_matrix(source, target):
    """target x source weights of an area filter: each target pixel is the
    mean of the source it covers, partly covered pixels by their share."""
    m = numpy.zeros((target, source))
    step = source / target
    for j in range(target):
        a, b = j * step, (j + 1) * step
        for i in range(int(a), min(source, int(math.ceil(b)))):
            m[j, i] = min(b, i + 1) - max(a, i)
    return m / step


def reduce_surface(surface, frames, frame_w, frame_h):
    """The strip with each frame reduced to frame_w x frame_h by an area
    filter, in cairo's premultiplied pixels (so edges take no colour from
    transparent pixels)."""
    sw = surface.get_width()
    sfh = surface.get_height() // frames
    src = numpy.ndarray((surface.get_height(), surface.get_stride() // 4, 4),
                        numpy.uint8, surface.get_data())[:, :sw, :]
    wx = coverage_matrix(sw, frame_w)
    wy = coverage_matrix(sfh, frame_h)
    out = cairo.ImageSurface(surface.get_format(), frame_w, frame_h * frames)
    dst = numpy.ndarray((out.get_height(), out.get_stride() // 4, 4),
                        numpy.uint8, out.get_data())
    for f in range(frames):
        block = src[f * sfh:(f + 1) * sfh].astype(numpy.float64)
        rows = numpy.tensordot(wy, block, axes=(1, 0))          # y, t, c
        reduced = numpy.tensordot(rows, wx, axes=(1, 1))        # y, c, x
        reduced = reduced.transpose(0, 2, 1)
        dst[f * frame_h:(f + 1) * frame_h, :frame_w, :] = numpy.clip(
            numpy.floor(reduced + 0.5), 0, 255).astype(numpy.uint8)
    out.mark_dirty()
    return out


def derive_set(native_images, percent):
    """[(file name, checked PNG bytes)] of a step between, reduced from the
    native set's surfaces (keyed by resource id); exits on a wrong one."""
    files = []
    for rid, name, w, h, frames, ctype in IMAGES:
        fw, fh = scaled_size(w, percent), scaled_size(h // frames, percent)
        surf = reduce_surface(native_images[rid], frames, fw, fh)
        try:
            if ctype == 6:
                check_strip_corners(surf, fw, fh, frames)
            data = encode_png(surf, smallest=True)
            check_png(data, fw, fh * frames, frames, ctype)
        except ValueError as err:
            sys.exit(f"generate.py: {name} (resource {rid}, {percent} %) "
                     f"is wrong: {err}")
        files.append((name, data))
    return files


def check_folder(folder):
    """Checks the files already written; returns a process exit status."""
    bad = 0
    for percent, sub in all_sets():
        for rid, name, w, h, frames, ctype in IMAGES:
            path = os.path.join(folder, sub or "", name)
            shown = os.path.relpath(path, folder)
            fw, fh = scaled_size(w, percent), scaled_size(h // frames, percent)
            try:
                with open(path, "rb") as f:
                    check_png(f.read(), fw, fh * frames, frames, ctype)
                print(f"ok   {shown} (resource {rid})")
            except (OSError, ValueError) as err:
                print(f"BAD  {shown} (resource {rid}): {err}")
                bad += 1
    return 1 if bad else 0


# --------------------------------------------------------------------------
# Preview: the images put together as the editor draws them.


def compose(background, knob, toggle, footswitch, led, about,
            knob_frames=(33, 33), toggle_frame=2, foot_frame=1, led_frame=2,
            show_about=False):
    s = SCALE
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, EDITOR_W * s, EDITOR_H * s)
    ctx = cairo.Context(surf)
    ctx.set_source_surface(background, 0, 0)
    ctx.paint()

    def put(img, rect, frame, frame_h):
        ctx.save()
        ctx.rectangle(rect[0] * s, rect[1] * s, (rect[2] - rect[0]) * s,
                      (rect[3] - rect[1]) * s)
        ctx.clip()
        ctx.set_source_surface(img, rect[0] * s,
                               (rect[1] - (frame - 1) * frame_h) * s)
        ctx.paint()
        ctx.restore()

    put(led, LED_RECT, led_frame, 18)
    put(toggle, CABINET_RECT, toggle_frame, 40)
    put(footswitch, FOOTSWITCH_RECT, foot_frame, 40)
    put(knob, LEVEL_RECT, knob_frames[0], KNOB_SIZE)
    put(knob, ATTACK_RECT, knob_frames[1], KNOB_SIZE)
    if show_about:
        put(about, ABOUT_RECT, 1, 150)
    surf.flush()
    return surf


def write_preview(path, imgs):
    states = [
        dict(),
        dict(knob_frames=(1, 65), toggle_frame=1, foot_frame=2, led_frame=1),
        dict(knob_frames=(17, 49), show_about=True),
    ]
    scale = 2
    sheet = cairo.ImageSurface(cairo.FORMAT_RGB24,
                               (EDITOR_W * len(states) + 8 * (len(states) - 1))
                               * scale, EDITOR_H * scale)
    ctx = cairo.Context(sheet)
    ctx.set_source_rgb(0.5, 0.5, 0.5)
    ctx.paint()
    for i, st in enumerate(states):
        img = compose(*imgs, **st)
        ctx.save()
        ctx.scale(scale, scale)
        ctx.set_source_surface(img, i * (EDITOR_W + 8), 0)
        ctx.get_source().set_filter(cairo.FILTER_NEAREST)
        ctx.paint()
        ctx.restore()
    sheet.write_to_png(path)


# --------------------------------------------------------------------------
# The application icon: the enclosure as the editor opens it, cut out of the
# floor along its outline, on a transparent square.


def icon_path(folder, size):
    return os.path.join(folder, "hicolor", f"{size}x{size}", "apps",
                        ICON_NAME + ".png")


def draw_icon(editor, size):
    x0, y0, x1, y1 = BOX
    # A small margin, as icon themes leave, that also keeps the rounded
    # corners off the edge.
    margin = size / 32.0
    scale = (size - 2 * margin) / max(x1 - x0, y1 - y0)
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    ctx = cairo.Context(surf)
    ctx.translate((size - (x1 - x0) * scale) / 2,
                  (size - (y1 - y0) * scale) / 2)
    ctx.scale(scale, scale)
    ctx.translate(-x0, -y0)
    rounded_rect(ctx, x0, y0, x1, y1, BOX_RADIUS)
    ctx.clip()
    ctx.set_source_surface(editor, 0, 0)
    ctx.get_source().set_filter(cairo.FILTER_BEST)
    ctx.paint()
    surf.flush()
    return surf


def encode_icons(imgs):
    """Returns [(size, PNG bytes)], each checked; exits on a wrong one."""
    editor = compose(*imgs)
    icons = []
    for size in ICON_SIZES:
        surf = draw_icon(editor, size)
        try:
            check_strip_corners(surf, size, size, 1)
            data = encode_png(surf)
            check_png(data, size, size, 1, 6)
        except ValueError as err:
            sys.exit(f"generate.py: icon {size}x{size} is wrong: {err}")
        icons.append((size, data))
    return icons


def check_icons(folder):
    """Checks the icons already written; returns a process exit status."""
    bad = 0
    for size in ICON_SIZES:
        path = icon_path(folder, size)
        try:
            with open(path, "rb") as f:
                check_png(f.read(), size, size, 1, 6)
            print(f"ok   {os.path.relpath(path, folder)}")
        except (OSError, ValueError) as err:
            print(f"BAD  {os.path.relpath(path, folder)}: {err}")
            bad += 1
    return 1 if bad else 0


def load_images(folder):
    """The editor's images as written, in compose()'s order."""
    by_id = {}
    for rid, name, w, h, frames, ctype in IMAGES:
        by_id[rid] = cairo.ImageSurface.create_from_png(
            os.path.join(folder, name))
    return (by_id[102], by_id[101], by_id[105], by_id[100], by_id[104],
            by_id[103])


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)
    print(f"wrote {path} ({len(data)} bytes)")


# --------------------------------------------------------------------------


def set_scale(scale):
    global SCALE
    SCALE = scale


def draw_set(scale):
    """The six images at `scale`: (surfaces in compose()'s order,
    [(file name, checked PNG bytes)]); exits on a wrong one."""
    set_scale(scale)
    background = draw_background()
    knob = draw_knob()
    toggle = draw_toggle()
    footswitch = draw_footswitch()
    led = draw_led()
    about = draw_about(background)
    surfaces = {100: footswitch, 101: knob, 102: background, 103: about,
                104: led, 105: toggle}

    files = []
    for rid, name, w, h, frames, ctype in IMAGES:
        surf = surfaces[rid]
        w, h = w * scale, h * scale
        try:
            if ctype == 6:
                check_strip_corners(surf, w, h // frames, frames)
            data = encode_png(surf, smallest=scale != 1)
            check_png(data, w, h, frames, ctype)
        except ValueError as err:
            sys.exit(f"generate.py: {name} (resource {rid}, {scale * 100} %) "
                     f"is wrong: {err}")
        files.append((name, data))
    return (background, knob, toggle, footswitch, led, about), files


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    repo = os.path.dirname(os.path.dirname(here))
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=os.path.join(repo, "pedal", "img"),
                    help="folder for the PNG files (default: pedal/img)")
    ap.add_argument("--preview", metavar="PNG",
                    help="also write a composed preview of the editor")
    ap.add_argument("--icons", default=os.path.join(repo, "pedal", "icons"),
                    help="folder for the application icon's theme tree "
                         "(default: pedal/icons)")
    ap.add_argument("--icons-only", action="store_true",
                    help="draw only the icons, from the PNG files in the "
                         "output folder (needs no fonts)")
    ap.add_argument("--check", action="store_true",
                    help="check the PNG files in the output folder and the "
                         "icons, draw nothing")
    ap.add_argument("--compositions", metavar="DIR",
                    help="also write the editor as it opens at each drawn "
                         "size (editor-<percent>.png), for comparing with "
                         "the plug-in's drawing")
    args = ap.parse_args()

    if args.check:
        sys.exit(check_folder(args.out) | check_icons(args.icons))
    if cairo is None:
        sys.exit("generate.py: python3-cairo is missing; "
                 "run scripts/install-image-tools.sh")
    if args.icons_only:
        for size, data in encode_icons(load_images(args.out)):
            write_file(icon_path(args.icons, size), data)
        return
    check_fonts()

    encoded = []
    for scale in NATIVE_SCALES:
        images, files = draw_set(scale)
        encoded += [(os.path.join(set_folder(args.out, scale), name), data)
                    for name, data in files]
        by_id = dict(zip((102, 101, 105, 100, 104, 103), images))
        for percent, source in DERIVED_SETS.items():
            if source == scale:
                encoded += [(os.path.join(args.out, str(percent), name), data)
                            for name, data in derive_set(by_id, percent)]
        if scale == 1:
            imgs = images
            icons = encode_icons(imgs)
        if args.compositions:
            encoded.append((os.path.join(args.compositions,
                                         f"editor-{scale * 100}.png"),
                            encode_png(compose(*images))))

    for path, data in encoded:
        write_file(path, data)
    for size, data in icons:
        write_file(icon_path(args.icons, size), data)

    if args.preview:
        set_scale(1)
        write_preview(args.preview, imgs)
        print(f"wrote {args.preview}")


if __name__ == "__main__":
    main()
