#!/usr/bin/python3
"""Draws the pictures that Launcher.exe carries as resources:

  res/art/main_background.bmp     bitmap 103, the main dialog's title artwork
  res/art/gamepad_background.bmp  bitmap 111, the gamepad dialog with its glyphs
  res/art/launcher.ico            icon group 101
  res/art/gdf_thumbnail.png       the games folder's picture of the game

The outputs are committed, so building needs no drawing library. Run this
after changing a picture; it draws the same bytes every time (fixed random
seeds, no time stamps). Needs Debian's python3-pil and fonts-dejavu-core.

  tools/artwork/draw_artwork.py [--out FOLDER]
"""

import argparse
import math
import os
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import image_files  # noqa: E402

REPO_ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

# Both dialog backgrounds fill a client area of this many pixels.
CLIENT_WIDTH, CLIENT_HEIGHT = 499, 312

# Gamepad dialog layout at run time (pixels): the action lists of each column,
# one row every 24 pixels, and the bottom row of controls.
LIST_LEFT = (94, 343)
LIST_WIDTH, LIST_HEIGHT = 98, 20
FIRST_ROW_TOP, ROW_PITCH, ROW_COUNT = 20, 24, 10
BOTTOM_ROW_TOP = CLIENT_HEIGHT - 36

# Where the main dialog's three buttons stand (dialog units 220..322 of 333
# across, 36..153 of 192 down), in pixels.
MAIN_BUTTONS = (330, 58, 483, 249)

# Colours shared by the pictures.
GOLD_LIGHT = (250, 226, 160)
GOLD = (214, 168, 82)
GOLD_DARK = (112, 74, 28)
EMBER = (255, 138, 40)
HIGHLIGHT = (255, 186, 48)   # the pressed part of a pad glyph


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


SERIF_BOLD = "DejaVuSerif-Bold.ttf"
SERIF_CONDENSED_BOLD = "DejaVuSerifCondensed-Bold.ttf"
SANS_BOLD = "DejaVuSans-Bold.ttf"
SANS_CONDENSED_BOLD = "DejaVuSansCondensed-Bold.ttf"


# ---------------------------------------------------------------------------
# Painting helpers

def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def gradient_color(stops, t):
    """Colour at t (0..1) along (position, colour) stops in ascending order."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0) if p1 > p0 else 1.0)
    return stops[-1][1]


def vertical_gradient(width, height, stops, top=0, bottom=None):
    """RGB image whose rows follow the stops from row `top` to row `bottom`."""
    bottom = height if bottom is None else bottom
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    for y in range(height):
        draw.line([(0, y), (width, y)], fill=gradient_color(stops, (y - top) / max(1, bottom - top)))
    return image


def downsample(image, size):
    """Area-averages a supersampled RGBA or RGB image down to `size`."""
    if image.mode == "RGBA":
        return image.convert("RGBa").resize(size, Image.BOX).convert("RGBA")
    return image.resize(size, Image.BOX)


def paste_color(base, color, mask):
    """Paints `color` over `base` through an L mask (0..255 = coverage)."""
    base.paste(Image.new(base.mode, base.size, color + ((255,) if base.mode == "RGBA" else ())),
               (0, 0), mask)


def glow(base, mask, color, radius, strength=1.0):
    """Adds a soft halo of `color` around the shapes of `mask`."""
    halo = mask.filter(ImageFilter.GaussianBlur(radius))
    if strength != 1.0:
        halo = halo.point(lambda v: min(255, int(v * strength)))
    paste_color(base, color, halo)


def noise_layer(size, rng, cell, amount):
    """Smooth value noise as an L image around 128 (+- amount)."""
    width, height = size
    small = Image.new("L", (max(2, width // cell + 2), max(2, height // cell + 2)))
    small.putdata([int(128 + amount * (rng.random() * 2 - 1)) for _ in range(small.width * small.height)])
    return small.resize((width, height), Image.BICUBIC, box=(0, 0, width / cell, height / cell))


def apply_noise(image, noise, strength):
    """Lightens and darkens an RGB image by an L noise image around 128."""
    light = noise.point(lambda v: max(0, v - 128) * 2 * strength)
    dark = noise.point(lambda v: max(0, 128 - v) * 2 * strength)
    paste_color(image, (255, 255, 255), light)
    paste_color(image, (0, 0, 0), dark)


def ridge(rng, width, start, end, roughness, steps=9, decay=0.55):
    """A jagged line of heights by midpoint displacement: 2**steps+1 points;
    a higher decay keeps more small detail."""
    points = [start, end]
    spread = roughness
    for _ in range(steps):
        refined = []
        for a, b in zip(points, points[1:]):
            refined += [a, (a + b) / 2 + spread * (rng.random() * 2 - 1)]
        refined.append(points[-1])
        points = refined
        spread *= decay
    return [(width * i / (len(points) - 1), y) for i, y in enumerate(points)]


def text_mask(size, xy, text, face, anchor="la", stroke=0, spacing=0):
    """L mask of a text, optionally letter-spaced by `spacing` pixels."""
    mask = Image.new("L", size)
    draw = ImageDraw.Draw(mask)
    if spacing == 0:
        draw.text(xy, text, font=face, fill=255, anchor=anchor, stroke_width=stroke, stroke_fill=255)
        return mask
    widths = [face.getlength(ch) for ch in text]
    total = sum(widths) + spacing * (len(text) - 1)
    x, y = xy
    if anchor[0] == "m":
        x -= total / 2
    elif anchor[0] == "r":
        x -= total
    for ch, w in zip(text, widths):
        draw.text((x, y), ch, font=face, fill=255, anchor="l" + anchor[1], stroke_width=stroke, stroke_fill=255)
        x += w + spacing
    return mask


TITLE_METAL = [(0.0, (255, 244, 214)), (0.45, GOLD), (0.55, (150, 100, 40)), (1.0, (230, 190, 110))]


def metal_title(base, xy, text, face, spacing, scale, anchor="ls", stops=TITLE_METAL,
                outline=(20, 8, 6), glow_color=(170, 30, 20)):
    """Draws a title in a vertical metal gradient with a dark outline, a bevel
    light on its upper edge and a coloured halo behind."""
    mask = text_mask(base.size, xy, text, face, anchor, 0, spacing)
    outer = text_mask(base.size, xy, text, face, anchor, max(1, int(2.2 * scale)), spacing)
    box = outer.getbbox()
    glow(base, outer, glow_color, 7 * scale, 1.1)
    paste_color(base, outline, outer)
    top, bottom = box[1], box[3]
    fill = vertical_gradient(base.width, base.height, stops, top, bottom)
    if base.mode == "RGBA":
        fill = fill.convert("RGBA")
    base.paste(fill, (0, 0), mask)
    # Light catches the upper inner edge of each letter.
    shifted = ImageChops.offset(mask, 0, int(1.5 * scale))
    bevel = ImageChops.subtract(mask, shifted).filter(ImageFilter.GaussianBlur(0.6 * scale))
    paste_color(base, (255, 250, 235), bevel.point(lambda v: v * 3 // 4))
    return mask.getbbox()


# ---------------------------------------------------------------------------
# The night scene shared by the main background and the thumbnail

def draw_moon(base, cx, cy, r, rng, scale):
    halo = Image.new("L", base.size)
    ImageDraw.Draw(halo).ellipse([cx - r * 1.5, cy - r * 1.5, cx + r * 1.5, cy + r * 1.5], fill=120)
    paste_color(base, (150, 120, 150), halo.filter(ImageFilter.GaussianBlur(r * 0.9)))
    halo = Image.new("L", base.size)
    ImageDraw.Draw(halo).ellipse([cx - r * 1.05, cy - r * 1.05, cx + r * 1.05, cy + r * 1.05], fill=200)
    paste_color(base, (255, 225, 200), halo.filter(ImageFilter.GaussianBlur(r * 0.25)))

    disk = Image.new("L", base.size)
    ImageDraw.Draw(disk).ellipse([cx - r, cy - r, cx + r, cy + r], fill=255)
    face = vertical_gradient(base.width, base.height,
                             [(0.0, (255, 246, 226)), (0.6, (236, 214, 190)), (1.0, (200, 160, 150))],
                             int(cy - r), int(cy + r))
    # Maria and craters: soft darker blotches inside the disk.
    marks = Image.new("L", base.size)
    draw = ImageDraw.Draw(marks)
    for _ in range(14):
        a = rng.random() * 2 * math.pi
        d = r * 0.75 * math.sqrt(rng.random())
        mr = r * (0.08 + 0.22 * rng.random())
        mx, my = cx + d * math.cos(a), cy + d * math.sin(a)
        draw.ellipse([mx - mr, my - mr * 0.85, mx + mr, my + mr * 0.85], fill=int(40 + 50 * rng.random()))
    marks = marks.filter(ImageFilter.GaussianBlur(r * 0.05))
    paste_color(face, (150, 120, 120), marks)
    base.paste(face, (0, 0), disk)


def draw_castle(draw, x0, base_y, s, color, windows):
    """A fortress silhouette standing on base_y, x0 its left end, s its scale.
    Lit windows are appended to `windows` as rectangles."""
    def tower(cx, w, h, roof, crenels=False):
        left, right, top = x0 + (cx - w / 2) * s, x0 + (cx + w / 2) * s, base_y - h * s
        draw.rectangle([left, top, right, base_y], fill=color)
        if roof:
            draw.polygon([(left - 1.2 * s, top), (right + 1.2 * s, top), ((left + right) / 2, top - roof * s)], fill=color)
            # A pennant pole on the highest roofs.
            if roof > 20:
                tip = top - roof * s
                draw.line([((left + right) / 2, tip), ((left + right) / 2, tip - 7 * s)], fill=color, width=max(1, int(0.8 * s)))
        if crenels:
            step = w / 5
            for i in range(0, 5, 2):
                draw.rectangle([left + i * step * s, top - 2.5 * s, left + (i + 1) * step * s, top], fill=color)

    def wall(xa, xb, h):
        top = base_y - h * s
        draw.rectangle([x0 + xa * s, top, x0 + xb * s, base_y], fill=color)
        i, x = 0, xa
        while x < xb:
            if i % 2 == 0:
                draw.rectangle([x0 + x * s, top - 2.2 * s, x0 + min(xb, x + 2.4) * s, top], fill=color)
            x += 2.4
            i += 1

    wall(0, 120, 22)
    tower(6, 10, 40, 14)
    tower(24, 9, 52, 0, crenels=True)
    tower(44, 14, 72, 26)
    tower(60, 9, 96, 34)
    tower(74, 12, 64, 18)
    tower(90, 8, 46, 0, crenels=True)
    tower(104, 11, 56, 20)
    tower(116, 7, 34, 10)
    for wx, wy in ((44, 56), (60, 80), (60, 66), (74, 50), (104, 44), (6, 30), (24, 40), (90, 34), (30, 14), (82, 12)):
        windows.append((x0 + (wx - 0.9) * s, base_y - wy * s, x0 + (wx + 0.9) * s, base_y - (wy - 3.2) * s))


def draw_wanderer(draw, x, feet, s, color):
    """A cloaked swordsman from behind, looking towards the fortress, his cape
    blown to the left. `s` is his height in units of 60."""
    u = s / 1.0

    def p(dx, dy):
        return (x + dx * u, feet - dy * u)

    # Cape: from the shoulders down, flaring, its hem torn, trailing left.
    cape = [p(-6, 46), p(6, 46), p(10, 30), p(12, 8), p(13, 0), p(9, 2), p(6, -1), p(2, 2), p(-2, -1),
            p(-6, 2), p(-10, 0), p(-16, 4), p(-24, 8), p(-19, 12), p(-27, 17), p(-17, 22), p(-12, 34)]
    draw.polygon(cape, fill=color)
    # Hood, and the head under it.
    draw.ellipse([p(-5.2, 57)[0], p(0, 57)[1], p(5.2, 0)[0], p(0, 45)[1]], fill=color)
    # Legs showing below the cape.
    draw.polygon([p(-5, 4), p(-1, 4), p(-1.5, -1), p(-6, -1)], fill=color)
    draw.polygon([p(1.5, 4), p(5, 4), p(6, -1), p(1.5, -1)], fill=color)
    # The sword in his right hand, its point towards the ground.
    draw.polygon([p(9.5, 27), p(12, 28), p(23, 0), p(21.5, -0.5)], fill=color)
    draw.polygon([p(6.5, 26.5), p(14.5, 30), p(14, 31.4), p(6, 28)], fill=color)
    draw.ellipse([p(8.0, 33.5)[0], p(0, 33.5)[1], p(11, 0)[0], p(0, 30.5)[1]], fill=color)


def night_scene(width, height, layout, seed, scale=3):
    """The artwork of VARKOLD's fortress under a pale moon, drawn at `scale`
    times the size and averaged down."""
    rng = random.Random(seed)
    W, H = width * scale, height * scale
    horizon = layout["horizon"] * H
    image = vertical_gradient(W, H, [
        (0.00, (5, 5, 14)),
        (0.40, (16, 12, 32)),
        (0.70, (46, 20, 44)),
        (0.88, (104, 38, 40)),
        (1.00, (150, 66, 40)),
    ], 0, int(horizon))

    # Stars, fainter towards the horizon.
    stars = Image.new("L", (W, H))
    draw = ImageDraw.Draw(stars)
    for _ in range(int(width * height / 260)):
        x, y = rng.random() * W, rng.random() * horizon * 0.9
        r = scale * (0.35 + 0.6 * rng.random() ** 3)
        brightness = int(255 * (0.35 + 0.65 * rng.random()) * (1 - y / horizon) ** 0.7)
        draw.ellipse([x - r, y - r, x + r, y + r], fill=brightness)
    paste_color(image, (235, 230, 255), stars.filter(ImageFilter.GaussianBlur(scale * 0.3)))

    mx, my, mr = (v * scale for v in layout["moon"])
    draw_moon(image, mx, my, mr, rng, scale)

    # Thin clouds drifting across the moon, each a row of blurred puffs.
    clouds = Image.new("L", (W, H))
    draw = ImageDraw.Draw(clouds)
    for _ in range(4):
        cy = my + mr * rng.uniform(-0.5, 0.9)
        cx = mx + rng.uniform(-1.6, 1.6) * mr
        half = rng.uniform(0.8, 1.8) * mr
        for _ in range(12):
            px = cx + rng.uniform(-half, half)
            py = cy + rng.uniform(-1.5, 1.5) * scale
            pr = rng.uniform(0.15, 0.35) * mr
            draw.ellipse([px - pr, py - pr * 0.18, px + pr, py + pr * 0.18], fill=int(rng.uniform(90, 170)))
    paste_color(image, (44, 20, 42), clouds.filter(ImageFilter.GaussianBlur(2.5 * scale)))

    # Two ranges of mountains, the far one paler in the haze.
    for level, color, rough, haze in ((0.80, (52, 26, 50), 26, (120, 50, 60)),
                                      (0.90, (26, 14, 30), 18, (80, 34, 48))):
        line = ridge(rng, W, level * H - rng.uniform(0, 20) * scale, level * H - rng.uniform(0, 20) * scale,
                     rough * scale)
        mask = Image.new("L", (W, H))
        ImageDraw.Draw(mask).polygon(line + [(W, H), (0, H)], fill=255)
        image.paste(color, (0, 0), mask)
        mist = vertical_gradient(W, H, [(0.0, (0, 0, 0)), (1.0, (130, 130, 130))],
                                 int(level * H - 30 * scale), int(level * H + 25 * scale)).convert("L")
        paste_color(image, haze, ImageChops.multiply(mist, mask))

    # The fortress on its crag, black against the moon.
    def silhouette(shape, color, rim_color):
        image.paste(color, (0, 0), shape)
        # A rim of moonlight along the upper edges.
        rim = ImageChops.subtract(shape, ImageChops.offset(shape, -int(0.8 * scale), int(1.2 * scale)))
        paste_color(image, rim_color, rim.filter(ImageFilter.GaussianBlur(0.5 * scale)).point(lambda v: v // 2))

    shape = Image.new("L", (W, H))
    draw = ImageDraw.Draw(shape)
    cx, base_y, cs = layout["castle"]
    windows = []
    draw_castle(draw, cx * scale, base_y * scale, cs * scale, 255, windows)
    # The crag: flat where the walls stand, falling away in broken ledges.
    span_left, span_right = cx * scale - 4 * scale, cx * scale + 124 * cs * scale
    jag = ridge(rng, 1.0, 0.0, 0.0, 1.0, 7, 0.75)
    crag = []
    for t, j in jag:
        x = span_left - 80 * scale + (span_right - span_left + 170 * scale) * t
        outside = max(span_left - x, x - span_right, 0) / scale
        ledge = math.floor(outside / 11) * 7 + (outside % 11) * 0.3
        y = base_y * scale + (ledge + (outside / 18) ** 2 * 3 + j * min(1.0, outside / 8) * 12) * scale
        crag.append((x, min(y, H)))
    draw.polygon(crag + [(crag[-1][0], H), (crag[0][0], H)], fill=255)
    silhouette(shape, (14, 9, 20), (130, 80, 100))

    # Mist in the valley between the fortress and the near ground.
    mist = Image.new("L", (W, H))
    draw = ImageDraw.Draw(mist)
    for _ in range(10):
        y = rng.uniform(layout["mist"][0], layout["mist"][1]) * H
        x = rng.uniform(-0.2, 1.0) * W
        draw.ellipse([x, y - 4 * scale, x + rng.uniform(0.3, 0.7) * W, y + 4 * scale], fill=int(rng.uniform(50, 110)))
    paste_color(image, (120, 90, 120), mist.filter(ImageFilter.GaussianBlur(6 * scale)))

    # The near ground, and the wanderer standing on it.
    shape = Image.new("L", (W, H))
    draw = ImageDraw.Draw(shape)
    ground = ridge(rng, W, layout["ground"][0] * H, layout["ground"][1] * H, 10 * scale, 8, 0.62)
    draw.polygon(ground + [(W, H), (0, H)], fill=255)
    if "wanderer" in layout:
        wx, wy, ws = layout["wanderer"]
        draw_wanderer(draw, wx * scale, wy * scale, ws * scale, 255)
    silhouette(shape, (4, 3, 7), (150, 96, 110))

    # Lit windows with a warm glow.
    lights = Image.new("L", (W, H))
    draw = ImageDraw.Draw(lights)
    for box in windows:
        draw.rectangle(box, fill=255)
    glow(image, lights, (255, 120, 30), 3 * scale, 1.4)
    paste_color(image, (255, 200, 110), lights)

    # Embers rising from below.
    embers = Image.new("L", (W, H))
    draw = ImageDraw.Draw(embers)
    for _ in range(layout["embers"]):
        x = rng.random() * W * layout["ember_width"]
        y = H * (0.5 + 0.5 * rng.random() ** 0.5)
        r = scale * (0.4 + 0.9 * rng.random() ** 2)
        draw.ellipse([x - r, y - r, x + r, y + r], fill=int(140 + 115 * rng.random()))
    glow(image, embers, (255, 90, 20), 2.5 * scale, 1.5)
    paste_color(image, (255, 190, 90), embers)

    return image


# ---------------------------------------------------------------------------
# Bitmap 103: the main dialog's title artwork

def main_background():
    scale = 3
    scene = night_scene(CLIENT_WIDTH, CLIENT_HEIGHT, {
        "horizon": 0.80,
        "moon": (212, 86, 50),
        "castle": (150, 214, 1.0),
        "ground": (0.88, 0.84),
        "wanderer": (58, 278, 1.3),
        "mist": (0.72, 0.95),
        "embers": 70,
        "ember_width": 0.62,
    }, seed=103, scale=scale)

    # The title, large on the left.
    W, H = scene.size
    box = metal_title(scene, (22 * scale, 62 * scale), "VARKOLD", font(SERIF_BOLD, 44 * scale), 2 * scale, scale)
    title_middle = (box[0] + box[2]) // (2 * scale)
    image = downsample(scene, (CLIENT_WIDTH, CLIENT_HEIGHT))

    # The buttons' side: the scene darkens towards the right, and a framed
    # panel of even dark ground holds the three buttons.
    shade = Image.new("L", image.size)
    draw = ImageDraw.Draw(shade)
    for x in range(image.width):
        t = (x - 270) / 60
        draw.line([(x, 0), (x, image.height)], fill=int(170 * max(0.0, min(1.0, t)) ** 1.3))
    paste_color(image, (8, 6, 12), shade)
    x0, y0, x1, y1 = MAIN_BUTTONS
    panel = (x0 - 14, y0 - 16, x1 + 10, y1 + 16)
    mask = Image.new("L", image.size)
    ImageDraw.Draw(mask).rounded_rectangle(panel, radius=6, fill=236)
    paste_color(image, (14, 11, 20), mask)
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle(panel, radius=6, outline=GOLD_DARK)
    draw.rounded_rectangle([panel[0] + 3, panel[1] + 3, panel[2] - 3, panel[3] - 3], radius=4, outline=(52, 38, 26))
    middle = (panel[0] + panel[2]) // 2
    for y in (panel[1], panel[3]):
        draw.polygon([(middle, y - 4), (middle + 4, y), (middle, y + 4), (middle - 4, y)], fill=GOLD, outline=GOLD_DARK)

    draw = ImageDraw.Draw(image)
    # A thin rule and the maker's name under the title.
    m = title_middle
    draw.line([(m - 124, 72), (m + 124, 72)], fill=GOLD_DARK)
    draw.line([(m - 84, 73), (m + 84, 73)], fill=GOLD)
    draw.polygon([(m, 69), (m + 4, 73), (m, 77), (m - 4, 73)], fill=GOLD_LIGHT, outline=GOLD_DARK)
    small = font(SANS_BOLD, 10)
    mask = text_mask(image.size, (m, 88), "M O R V A N E", small, "ms")
    paste_color(image, (0, 0, 0), mask.filter(ImageFilter.GaussianBlur(1.5)))
    paste_color(image, (206, 190, 170), mask)
    return image


# ---------------------------------------------------------------------------
# Glyphs of the gamepad dialog, one per action

GLYPH_SCALE = 8
GLYPH_HEIGHT = 22
GLYPH_CELL = 46          # widest glyph


def glyph_canvas(width):
    s = GLYPH_SCALE
    return Image.new("RGBA", (width * s, GLYPH_HEIGHT * s)), s


def finish_glyph(big, labels=()):
    """Averages a supersampled glyph down and writes its labels at pixel size
    (hinted text stays sharper than averaged text)."""
    s = GLYPH_SCALE
    image = downsample(big, (big.width // s, big.height // s))
    draw = ImageDraw.Draw(image)
    for xy, text, face, color, shadow in labels:
        if shadow:
            draw.text((xy[0], xy[1] + 1), text, font=face, fill=shadow, anchor="mm")
        draw.text(xy, text, font=face, fill=color, anchor="mm")
    return image


def disc(big, cx, cy, r, s, rim, top, bottom):
    """A top-lit disc with a dark rim, centred on (cx, cy) in pixel units."""
    W, H = big.size
    mask = Image.new("L", (W, H))
    ImageDraw.Draw(mask).ellipse([(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s], fill=255)
    big.paste(rim + (255,), (0, 0), mask)
    inner = Image.new("L", (W, H))
    ri = r - 1.3
    ImageDraw.Draw(inner).ellipse([(cx - ri) * s, (cy - ri) * s, (cx + ri) * s, (cy + ri) * s], fill=255)
    body = vertical_gradient(W, H, [(0.0, top), (1.0, bottom)], int((cy - ri) * s), int((cy + ri) * s)).convert("RGBA")
    big.paste(body, (0, 0), inner)
    # A soft gloss on the upper half.
    gloss = Image.new("L", (W, H))
    ImageDraw.Draw(gloss).ellipse([(cx - ri * 0.7) * s, (cy - ri * 0.92) * s, (cx + ri * 0.7) * s, (cy - ri * 0.05) * s], fill=70)
    gloss = ImageChops.multiply(gloss.filter(ImageFilter.GaussianBlur(1.2 * s)), inner)
    paste_color(big, (255, 255, 255), gloss)


FACE_COLORS = {
    "A": ((38, 122, 40), (112, 214, 92), (36, 140, 40)),
    "B": ((128, 24, 20), (246, 96, 80), (184, 30, 24)),
    "X": ((24, 60, 140), (100, 160, 255), (30, 84, 196)),
    "Y": ((130, 96, 10), (255, 222, 90), (214, 156, 16)),
}


def face_button(letter):
    """A coloured round button with its letter."""
    big, s = glyph_canvas(GLYPH_HEIGHT)
    rim, top, bottom = FACE_COLORS[letter]
    disc(big, 11, 11, 10.5, s, (8, 8, 10), top, bottom)
    label = (255, 255, 255) if letter != "Y" else (54, 36, 0)
    shadow = rim if letter != "Y" else None
    return finish_glyph(big, [((11, 11), letter, font(SANS_BOLD, 14), label, shadow)])


def dpad(pressed):
    """A cross whose pressed arm is lit, with an arrow pointing along it."""
    big, s = glyph_canvas(GLYPH_HEIGHT)
    draw = ImageDraw.Draw(big)
    c, tip, half = 11, 10.9, 3.1

    def cross(extent, width, color, radius):
        draw.rounded_rectangle([(c - width) * s, (c - extent) * s, (c + width) * s, (c + extent) * s],
                               radius=radius * s, fill=color)
        draw.rounded_rectangle([(c - extent) * s, (c - width) * s, (c + extent) * s, (c + width) * s],
                               radius=radius * s, fill=color)

    cross(tip, half + 1.2, (8, 8, 10, 255), 2.2)
    cross(tip - 1.2, half, (120, 126, 142, 255), 1.2)
    cross(tip - 1.9, half - 0.7, (74, 78, 92, 255), 0.8)
    dx, dy = {"left": (-1, 0), "right": (1, 0), "up": (0, -1), "down": (0, 1)}[pressed]
    # The pressed arm, from the centre square to its end.
    near, far = half - 0.4, tip - 1.2
    xs = sorted((c + dx * near, c + dx * far)) if dx else (c - half, c + half)
    ys = sorted((c + dy * near, c + dy * far)) if dy else (c - half, c + half)
    draw.rounded_rectangle([xs[0] * s, ys[0] * s, xs[1] * s, ys[1] * s], radius=1.2 * s, fill=HIGHLIGHT + (255,))
    draw.ellipse([(c - 1.6) * s, (c - 1.6) * s, (c + 1.6) * s, (c + 1.6) * s], fill=(44, 46, 56, 255))
    # The arrow on the pressed arm, pointing outwards.
    ax, ay = c + dx * 6.2, c + dy * 6.2
    px, py = -dy, dx
    points = [(ax + dx * 2.6, ay + dy * 2.6), (ax - dx * 1.8 + px * 2.6, ay - dy * 1.8 + py * 2.6),
              (ax - dx * 1.8 - px * 2.6, ay - dy * 1.8 - py * 2.6)]
    draw.polygon([(x * s, y * s) for x, y in points], fill=(64, 34, 0, 255))
    return finish_glyph(big)


def pill(label):
    """START / BACK: the small oblong buttons in the middle of the pad."""
    width = 44
    big, s = glyph_canvas(width)
    draw = ImageDraw.Draw(big)
    y0, y1 = 3.5, 18.5
    draw.rounded_rectangle([0.5 * s, y0 * s, (width - 0.5) * s, y1 * s], radius=7.5 * s, fill=(8, 8, 10, 255))
    body = vertical_gradient(big.width, big.height, [(0.0, (236, 238, 244)), (0.5, (200, 204, 216)), (1.0, (150, 154, 168))],
                             int((y0 + 1.2) * s), int((y1 - 1.2) * s)).convert("RGBA")
    mask = Image.new("L", big.size)
    ImageDraw.Draw(mask).rounded_rectangle([1.7 * s, (y0 + 1.2) * s, (width - 1.7) * s, (y1 - 1.2) * s],
                                           radius=6.3 * s, fill=255)
    big.paste(body, (0, 0), mask)
    return finish_glyph(big, [((width / 2, 11), label, font(SANS_CONDENSED_BOLD, 10), (20, 22, 30), None)])


def shoulder(label, trigger, right):
    """LT/RT: a tall trigger; LB/RB: a wide flat bumper. Both carry their name."""
    width = 30 if trigger else 40
    big, s = glyph_canvas(width)
    draw = ImageDraw.Draw(big)
    rim, top, bottom = (8, 8, 10), (150, 156, 172), (64, 68, 80)
    if trigger:
        # A trigger seen from the front: rounded top, tapering towards the bottom,
        # leaning outwards like the pad's own.
        def outline(inset):
            pts = []
            lean = 3 if not right else -3
            for i in range(41):
                t = i / 40
                a = math.pi + t * math.pi
                pts.append((15 + lean * 0.4 + (12 - inset) * math.cos(a), 10 + (9 - inset) * math.sin(a)))
            pts += [(15 + 10 - inset - lean * 0.2, 21 - inset), (15 - 10 + inset - lean * 0.2, 21 - inset)]
            return [(x * s, y * s) for x, y in pts]
        mask = Image.new("L", big.size)
        ImageDraw.Draw(mask).polygon(outline(0), fill=255)
        big.paste(rim + (255,), (0, 0), mask)
        inner = Image.new("L", big.size)
        ImageDraw.Draw(inner).polygon(outline(1.3), fill=255)
        body = vertical_gradient(big.width, big.height, [(0.0, top), (1.0, bottom)], 1 * s, 21 * s).convert("RGBA")
        big.paste(body, (0, 0), inner)
        label_xy = (15, 13)
    else:
        # A bumper: a long bar whose top edge arches, seen from the front.
        def outline(inset):
            pts = []
            for i in range(41):
                t = i / 40
                x = 1 + inset + (width - 2 - 2 * inset) * t
                arch = math.sin(t * math.pi) ** 0.6
                pts.append((x, 11 - 5.5 * arch + inset * 0.9))
            pts += [(width - 1 - inset - 1.5, 18 - inset), (1 + inset + 1.5, 18 - inset)]
            if right:
                pts = [(width - x, y) for x, y in pts]
            return [(x * s, y * s) for x, y in pts]
        mask = Image.new("L", big.size)
        ImageDraw.Draw(mask).polygon(outline(0), fill=255)
        mask = mask.filter(ImageFilter.GaussianBlur(0.6 * s)).point(lambda v: 255 if v > 100 else 0)
        big.paste(rim + (255,), (0, 0), mask)
        inner = Image.new("L", big.size)
        ImageDraw.Draw(inner).polygon(outline(1.3), fill=255)
        inner = inner.filter(ImageFilter.GaussianBlur(0.6 * s)).point(lambda v: 255 if v > 100 else 0)
        body = vertical_gradient(big.width, big.height, [(0.0, top), (1.0, bottom)], 5 * s, 18 * s).convert("RGBA")
        big.paste(body, (0, 0), inner)
        label_xy = (width / 2, 13)
    return finish_glyph(big, [(label_xy, label, font(SANS_BOLD, 10), (255, 255, 255), (0, 0, 0))])


def stick_cap(big, s, cx, side):
    """A thumbstick from above: a ringed cap with L or R on it."""
    disc(big, cx, 11, 10.5, s, (8, 8, 10), (96, 100, 114), (40, 42, 50))
    draw = ImageDraw.Draw(big)
    r = 7.2
    draw.ellipse([(cx - r) * s, (11 - r) * s, (cx + r) * s, (11 + r) * s], outline=(22, 24, 30, 255), width=int(1.0 * s))
    return ((cx, 11), side, font(SANS_BOLD, 11), (255, 255, 255), (0, 0, 0))


def arrow_head(draw, s, tip, direction, size, color):
    dx, dy = direction
    px, py = -dy, dx
    x, y = tip
    draw.polygon([(x * s, y * s),
                  ((x - dx * size + px * size * 0.85) * s, (y - dy * size + py * size * 0.85) * s),
                  ((x - dx * size - px * size * 0.85) * s, (y - dy * size - py * size * 0.85) * s)], fill=color)


def stick(side, motion):
    """A stick with its motion beside it: a press arrow, a double arrow
    across (horizontal) or a double arrow up and down (vertical)."""
    width = 40
    big, s = glyph_canvas(width)
    draw = ImageDraw.Draw(big)
    color = HIGHLIGHT + (255,)
    dark = (8, 8, 10, 255)
    if motion == "press":
        # An arrow pressing down onto a bar.
        for c, w in ((dark, 5.6), (color, 3.0)):
            draw.line([(8.5 * s, 1.5 * s), (8.5 * s, 12 * s)], fill=c, width=int(w * s))
        arrow_head(draw, s, (8.5, 17.6), (0, 1), 6.2, dark)
        arrow_head(draw, s, (8.5, 16.2), (0, 1), 4.6, color)
        draw.rounded_rectangle([2.4 * s, 18.6 * s, 14.6 * s, 21.4 * s], radius=1 * s, fill=dark)
        draw.rectangle([3.4 * s, 19.4 * s, 13.6 * s, 20.6 * s], fill=color)
    elif motion == "horizontal":
        for c, w, inset in ((dark, 5.4, 0.0), (color, 2.8, 1.4)):
            draw.line([(4.5 * s, 11 * s), (13.5 * s, 11 * s)], fill=c, width=int(w * s))
        for tip, d in (((0.2, 11), (-1, 0)), ((17.8, 11), (1, 0))):
            arrow_head(draw, s, tip, d, 6.0, dark)
        for tip, d in (((1.8, 11), (-1, 0)), ((16.2, 11), (1, 0))):
            arrow_head(draw, s, tip, d, 4.3, color)
    else:
        for c, w in ((dark, 5.4), (color, 2.8)):
            draw.line([(8.5 * s, 5 * s), (8.5 * s, 17 * s)], fill=c, width=int(w * s))
        for tip, d in (((8.5, 0.2), (0, -1)), ((8.5, 21.8), (0, 1))):
            arrow_head(draw, s, tip, d, 6.0, dark)
        for tip, d in (((8.5, 1.8), (0, -1)), ((8.5, 20.2), (0, 1))):
            arrow_head(draw, s, tip, d, 4.3, color)
    label = stick_cap(big, s, width - 11, side)
    return finish_glyph(big, [label])


# The glyph of each row, left column then right column.
GLYPH_ROWS = [
    (lambda: face_button("A"), lambda: face_button("B")),
    (lambda: face_button("X"), lambda: face_button("Y")),
    (lambda: dpad("left"), lambda: dpad("right")),
    (lambda: dpad("up"), lambda: dpad("down")),
    (lambda: pill("START"), lambda: pill("BACK")),
    (lambda: shoulder("LT", True, False), lambda: shoulder("RT", True, True)),
    (lambda: shoulder("LB", False, False), lambda: shoulder("RB", False, True)),
    (lambda: stick("L", "press"), lambda: stick("R", "press")),
    (lambda: stick("L", "horizontal"), lambda: stick("R", "horizontal")),
    (lambda: stick("L", "vertical"), lambda: stick("R", "vertical")),
]

GLYPH_GAP = 4   # between a glyph's right edge and its list


def row_top(row):
    return FIRST_ROW_TOP + ROW_PITCH * row


# ---------------------------------------------------------------------------
# Bitmap 111: the gamepad dialog's background

def gamepad_background():
    rng = random.Random(111)
    width, height = CLIENT_WIDTH, CLIENT_HEIGHT
    image = vertical_gradient(width, height, [(0.0, (24, 22, 34)), (0.55, (16, 14, 24)), (1.0, (10, 9, 15))])
    apply_noise(image, noise_layer(image.size, rng, 3, 60), 0.05)
    apply_noise(image, noise_layer(image.size, rng, 40, 90), 0.08)

    # A faint sword standing in the space between the columns.
    scale = 4
    sword = Image.new("L", (width * scale, height * scale))
    draw = ImageDraw.Draw(sword)
    cx = 244 * scale
    draw.polygon([(cx - 5 * scale, 52 * scale), (cx + 5 * scale, 52 * scale), (cx + 4 * scale, 214 * scale),
                  (cx, 236 * scale), (cx - 4 * scale, 214 * scale)], fill=255)
    draw.rounded_rectangle([cx - 26 * scale, 44 * scale, cx + 26 * scale, 51 * scale], radius=3 * scale, fill=255)
    draw.rectangle([cx - 3 * scale, 16 * scale, cx + 3 * scale, 44 * scale], fill=255)
    draw.ellipse([cx - 7 * scale, 6 * scale, cx + 7 * scale, 20 * scale], fill=255)
    sword = sword.resize((width, height), Image.BOX)
    paste_color(image, (120, 96, 64), sword.point(lambda v: v * 18 // 100))
    glow(image, sword, (90, 30, 30), 10, 0.35)

    # The bottom band that the type list and the buttons stand on.
    draw = ImageDraw.Draw(image)
    band_top = BOTTOM_ROW_TOP - 12
    for y in range(band_top, height):
        draw.line([(0, y), (width, y)], fill=mix((14, 12, 20), (6, 6, 10), (y - band_top) / (height - band_top)))
    draw.line([(8, band_top), (width - 9, band_top)], fill=GOLD_DARK)
    draw.line([(40, band_top), (width - 41, band_top)], fill=GOLD)
    # The name between the type list (ends at 142) and OK (starts at 275).
    middle = 209
    draw.polygon([(middle, band_top - 3), (middle + 3, band_top), (middle, band_top + 3), (middle - 3, band_top)],
                 fill=GOLD_LIGHT)
    title = font(SERIF_BOLD, 13)
    mask = text_mask(image.size, (middle, BOTTOM_ROW_TOP + 12), "VARKOLD", title, "mm", 0, 2)
    paste_color(image, (0, 0, 0), mask.filter(ImageFilter.GaussianBlur(1.5)))
    paste_color(image, GOLD, mask)

    # One socket per action: a dark plate around the glyph and its list.
    for row in range(ROW_COUNT):
        for column in range(2):
            left = LIST_LEFT[column]
            top = row_top(row)
            plate = [left - GLYPH_CELL - GLYPH_GAP - 4, top - 1, left + LIST_WIDTH + 1, top + LIST_HEIGHT]
            draw.rounded_rectangle(plate, radius=5, fill=(30, 28, 42), outline=(62, 52, 40))

    for row, makers in enumerate(GLYPH_ROWS):
        for column, make in enumerate(makers):
            glyph = make()
            x = LIST_LEFT[column] - GLYPH_GAP - glyph.width
            y = row_top(row) + LIST_HEIGHT // 2 - GLYPH_HEIGHT // 2
            image.paste(glyph, (x, y), glyph)
    return image


# ---------------------------------------------------------------------------
# Icon group 101: a crimson shield with a gold V

def shield_outline(cx, top, half, height, inset=0.0):
    """A heater shield: straight top with shallow corners, curved sides
    meeting in a point."""
    pts = []
    y0 = top + inset
    for i in range(21):
        t = i / 20
        pts.append((cx - half + inset + t * 2 * (half - inset), y0 + 0.06 * height * math.sin(t * math.pi) * 0))
    tip = top + height - inset * 1.4
    for i in range(31):
        t = i / 30
        # Right side: straight down for a third, then curving to the tip.
        y = y0 + t * (tip - y0)
        k = max(0.0, (t - 0.3) / 0.7)
        x = cx + (half - inset) * (1 - k ** 1.8)
        pts.append((x, y))
    for x, y in reversed(pts[21:-1]):
        pts.append((2 * cx - x, y))
    return pts


def v_mark(cx, top, height, stroke):
    """The V monogram as a polygon: two bold strokes meeting at the bottom."""
    half = height * 0.52
    bottom = top + height
    return [(cx - half, top), (cx - half + stroke * 1.12, top), (cx, bottom - stroke * 1.3),
            (cx + half - stroke * 1.12, top), (cx + half, top), (cx + stroke * 0.35, bottom),
            (cx - stroke * 0.35, bottom)]


def emblem(size):
    """The launcher's emblem at `size` pixels: detail at the large sizes, bold
    clean shapes at the small ones."""
    s = 8 if size <= 48 else 2
    N = size * s
    big = Image.new("RGBA", (N, N))
    u = N / 16.0  # work on a 16-unit grid so that small sizes snap to pixels
    small = size <= 32

    def fill_polygon(points, color):
        mask = Image.new("L", (N, N))
        ImageDraw.Draw(mask).polygon([(x * u, y * u) for x, y in points], fill=255)
        big.paste(color + (255,), (0, 0), mask)
        return mask

    if size >= 48:
        # Two swords crossed behind the shield: hilts above, points below.
        for flip in (False, True):
            def along(t, side):
                # A point at t (0 pommel .. 1 point) along the diagonal, `side` across it.
                x, y = 0.9 + 14.2 * t + side * 0.7071, 0.9 + 14.2 * t - side * 0.7071
                return (16 - x, y) if flip else (x, y)
            fill_polygon([along(0.17, -0.62), along(0.17, 0.62), along(0.94, 0.34), along(1.0, 0), along(0.94, -0.34)],
                         (20, 18, 22))
            fill_polygon([along(0.18, -0.42), along(0.18, 0.42), along(0.93, 0.2), along(0.985, 0), along(0.93, -0.2)],
                         (196, 202, 216))
            fill_polygon([along(0.18, 0), along(0.18, 0.42), along(0.93, 0.2), along(0.985, 0)], (132, 138, 154))
            fill_polygon([along(0.035, -0.3), along(0.035, 0.3), along(0.17, 0.3), along(0.17, -0.3)], (52, 34, 24))
            fill_polygon([along(0.145, -1.9), along(0.145, 1.9), along(0.185, 1.9), along(0.185, -1.9)], GOLD)
            px, py = along(0.02, 0)
            fill_polygon([(px + 0.6 * math.cos(a * math.pi / 8), py + 0.6 * math.sin(a * math.pi / 8)) for a in range(16)],
                         GOLD)
    top, height, half = (0.5, 15.0, 7.5) if small else (3.0, 12.2, 6.0)
    outer = shield_outline(8.0, top, half, height)
    fill_polygon(outer, (14, 10, 12) if not small else (20, 10, 12))
    rim = 0.9 if size == 16 else (0.8 if size == 32 else 0.55)
    metal = shield_outline(8.0, top, half, height, rim * 0.45)
    if not small:
        mask = fill_polygon(metal, (0, 0, 0))
        body = vertical_gradient(N, N, [(0.0, (236, 214, 160)), (0.5, (150, 110, 50)), (1.0, (90, 60, 24))],
                                 int(top * u), int((top + height) * u)).convert("RGBA")
        big.paste(body, (0, 0), mask)
    field_mask = Image.new("L", (N, N))
    ImageDraw.Draw(field_mask).polygon([(x * u, y * u) for x, y in shield_outline(8.0, top, half, height, rim)], fill=255)
    field = vertical_gradient(N, N, [(0.0, (196, 30, 30)), (0.6, (120, 12, 18)), (1.0, (70, 6, 12))],
                              int(top * u), int((top + height) * u)).convert("RGBA")
    big.paste(field, (0, 0), field_mask)
    if not small:
        # A sheen across the upper left of the field.
        sheen = Image.new("L", (N, N))
        ImageDraw.Draw(sheen).ellipse([2 * u, -4 * u, 16 * u, 8 * u], fill=60)
        sheen = ImageChops.multiply(sheen.filter(ImageFilter.GaussianBlur(1.5 * u)), field_mask)
        paste_color(big, (255, 220, 200), sheen)

    if size == 16:
        v_top, v_height, stroke = 3.0, 9.0, 2.2
    elif size == 32:
        v_top, v_height, stroke = 3.0, 9.5, 2.0
    else:
        v_top, v_height, stroke = 4.9, 7.8, 1.6
    v = v_mark(8.0, v_top, v_height, stroke)
    if not small:
        shadow = Image.new("L", (N, N))
        ImageDraw.Draw(shadow).polygon([(x * u + 0.25 * u, y * u + 0.35 * u) for x, y in v], fill=200)
        paste_color(big, (30, 0, 0), shadow.filter(ImageFilter.GaussianBlur(0.3 * u)))
    mask = fill_polygon(v, (0, 0, 0))
    gold = vertical_gradient(N, N, [(0.0, (255, 240, 190)), (0.5, (232, 180, 80)), (1.0, (170, 110, 36))],
                             int(v_top * u), int((v_top + v_height) * u)).convert("RGBA")
    big.paste(gold, (0, 0), mask)
    if small:
        # A dark edge keeps the V apart from the red at a few pixels.
        edge = ImageChops.subtract(mask.filter(ImageFilter.MaxFilter(2 * (s // 2) + 1)), mask)
        paste_color(big, (60, 8, 10), ImageChops.multiply(edge, field_mask))
    return downsample(big, (size, size))


# ---------------------------------------------------------------------------
# The games folder's thumbnail

def thumbnail():
    size, scale = 256, 3
    scene = night_scene(size, size, {
        "horizon": 0.76,
        "moon": (128, 82, 48),
        "castle": (62, 176, 1.1),
        "ground": (0.80, 0.78),
        "mist": (0.66, 0.92),
        "embers": 40,
        "ember_width": 1.0,
    }, seed=256, scale=scale)
    metal_title(scene, (128 * scale, 226 * scale), "VARKOLD", font(SERIF_BOLD, 38 * scale), 1.5 * scale, scale, "ms")
    image = downsample(scene, (size, size)).convert("RGBA")
    draw = ImageDraw.Draw(image)
    draw.text((128, 244), "M O R V A N E", font=font(SANS_BOLD, 9), fill=(206, 190, 170), anchor="mm")
    return image


# ---------------------------------------------------------------------------

def write(path, data):
    with open(path, "wb") as out:
        out.write(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(REPO_ROOT, "res", "art"),
                        help="folder for the pictures (default: res/art)")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    write(os.path.join(args.out, "main_background.bmp"), image_files.bmp_bytes(main_background()))
    write(os.path.join(args.out, "gamepad_background.bmp"), image_files.bmp_bytes(gamepad_background()))
    write(os.path.join(args.out, "launcher.ico"),
          image_files.ico_bytes([emblem(256), emblem(48), emblem(32), emblem(16)]))
    write(os.path.join(args.out, "gdf_thumbnail.png"), image_files.png_bytes(thumbnail()))


if __name__ == "__main__":
    main()
