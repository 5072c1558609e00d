#!/usr/bin/python3
"""Draws all artwork of ORVA TV Setting into res/art/.

Every bitmap is drawn here from scratch, so the art is changed by editing
this file and running it again:

    /usr/bin/python3 tools/make_art.py

It writes res/art/bmp_<id>.bmp (24-bit BMP), orva.ico, anim.gif and art.rc,
and each bitmap the window shows drawn again for 150 %, 200 % and 300 %
(res/art/s<scale>_<id>.png, PNG resources of type "PNG<scale>").
The output is the same, byte for byte, on every run.

Shapes are drawn SS times larger on a transparent layer and shrunk with
LANCZOS, which anti-aliases them; text is drawn at its final size because
FreeType's own anti-aliasing is crisper than shrunk text.
"""

import functools
import io
import math
import os
import struct

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont, ImageOps

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "res", "art")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SS = 4
FAINTEST_ALPHA = 12  # coverage below this after shrinking is ringing

# ---------------------------------------------------------------- palette

KEY = (255, 255, 255)            # the window background's transparent colour
KEY_STAND_IN = (254, 254, 254)   # replaces pure white inside the window
WHITE = (250, 250, 250)          # "white" that can never turn transparent
HEADER = (20, 38, 74)
HEADER_LINE = (40, 72, 128)
HEADER_TEXT = (150, 174, 214)
HEADER_SUBTEXT = (150, 174, 214)
PANEL_TOP = (236, 239, 244)
PANEL_BOTTOM = (222, 226, 233)
PANEL_LABEL = (84, 98, 124)
PLATE = (246, 248, 251)
PLATE_EDGE = (204, 210, 221)
LIT_PLATE = (234, 243, 255)
SEPARATOR_ROWS = ((12, 20, 38), (16, 26, 48), (32, 58, 106))
BAND_TOP = (44, 92, 170)
BAND_BOTTOM = (12, 30, 70)
BAND_LABEL = (226, 236, 252)
ACCENT = (48, 146, 255)
ACCENT_LIGHT = (120, 196, 255)
LIT_CAPTION = (16, 84, 182)
UNLIT_CAPTION = (88, 96, 110)
# The word that tells the two high-definition rows apart: the upper row sets
# the TV format's full desktop size, the lower a smaller one that fits inside
# the picture a TV shows.
ROW_WORDS = {True: "FULL", False: "FIT"}
ROW_WORD_COLOURS = {True: (132, 206, 255), False: (255, 200, 96)}
MIN_CONTRAST = 4.5  # every text against every pixel behind it
HIGHLIGHT = (236, 118, 22)       # draws the eye in the hint pictures

BLACK_PLASTIC = (46, 48, 54)
PLASTIC_UNDERSIDE = (30, 31, 35)
HOLLOW = (20, 21, 24)
METAL = (192, 197, 206)
METAL_FACE = (214, 218, 226)
GOLD = (216, 176, 82)
RCA_YELLOW = (244, 198, 36)
RCA_RED = (214, 44, 44)
RCA_GREEN = (36, 168, 78)
RCA_BLUE = (40, 98, 220)

# ---------------------------------------------------------------- layout
# Boxes are (x, y, width, height) in window pixels, which are also pixels
# of the background bitmap.

WINDOW_SIZE = (494, 400)
HEADER_ROWS = (1, 52)            # first row, row after the last
PANEL_ROWS = (52, 271)
SEPARATOR_TOP = 271
BAND_TOP_ROW = 274
ANIMATION_BOX = (11, 11, 42, 32)
LOGO_BOX = (53, 18, 67, 14)
CLOSE_BOX = (459, 11, 16, 16)
CONNECTOR_BOXES = {
    "svideo": (21, 71, 82, 191),
    "composite": (110, 71, 82, 191),
    "component": (215, 75, 154, 191),
    "hdmi": (384, 77, 105, 191),
}
CAPTIONS = {"svideo": "S-Video", "composite": "Composite",
            "component": "Component", "hdmi": "HDMI"}
# The cards behind the connector pictures share these rows so that they line
# up although the pictures themselves sit at different heights.
CARD_ROWS = (79, 260)
CABLE_FADE_ROWS = 18
CAPTION_BASELINE_Y = 249
SD_BUTTON_BOXES = {
    "640 X 480": (24, 320, 120, 26),
    "800 X 600": (185, 320, 120, 26),
    "1024 X 768": (359, 320, 120, 26),
}
HD_UPPER_BOXES = {"480": (11, 305, 146, 23), "720": (176, 305, 146, 23),
                  "1080": (338, 305, 146, 23)}
HD_LOWER_BOXES = {"480": (11, 341, 146, 23), "720": (177, 341, 146, 23),
                  "1080": (339, 341, 146, 23)}

# ---------------------------------------------------------------- ids

CONNECTOR_IDS = {  # unlit, lit, mask
    "svideo": (160, 161, 162),
    "composite": (154, 155, 156),
    "component": (151, 152, 153),
    "hdmi": (157, 158, 159),
}
SD_BUTTON_IDS = {  # normal, pressed, hover
    "640 X 480": (129, 130, 131),
    "800 X 600": (147, 148, 149),
    "1024 X 768": (134, 135, 136),
}
SD_MASK_ID = 132
# Each HD format has six faces from its first id on, in this order of
# (state, arrows point outwards).  Outward arrows face the upper row.
HD_FIRST_IDS = {"1080": 180, "480": 186, "720": 192}
HD_FACE_ORDER = (("pressed", True), ("pressed", False), ("normal", True),
                 ("normal", False), ("hover", True), ("hover", False))
HD_MASK_ID = 208
SPARE_HD_FACE_IDS = {"480": (137, 138, 139), "720": (140, 141, 142),
                     "1080": (144, 145, 146)}
CLOSE_IDS = {"normal": 164, "pressed": 165, "hover": 167}
CLOSE_MASK_ID = 171
HINT_CLOSE_IDS = {"normal": 175, "pressed": 173, "hover": 176}
HINT_CLOSE_MASK_ID = 174
CHECK_BOX_IDS = {"unchecked": 168, "checked": 169, "disabled": 170}
ANIMATION_ID = 163
ICON_ID = 128
STATES = ("normal", "pressed", "hover")

# ---------------------------------------------------------------- helpers


# The scale the art is drawn for: 1 is 100 %. Coordinates and sizes in the
# drawing code are always 100 % pixels; the helpers below (new_image, crop,
# paste, units, Pen, Layer, font) turn them into pixels of the scale, so that
# shapes are drawn and text is set at the scale's own size, not stretched.
U = 1


def px(v):
    """A 100 % coordinate in pixels of the scale, rounded as the program
    rounds (half away from zero)."""
    return v if U == 1 else int(math.floor(v * U + 0.5))


def units(image):
    """An image's size in 100 % pixels."""
    return image.size if U == 1 else tuple(round(v / U) for v in image.size)


def new_image(mode, size, colour=0):
    return Image.new(mode, (px(size[0]), px(size[1])), colour)


def crop(image, box):
    """A part of the image, its size always the scaled size of the box."""
    x0, y0, x1, y1 = box
    return image.crop((px(x0), px(y0), px(x0) + px(x1 - x0),
                       px(y0) + px(y1 - y0)))


def paste(image, part, xy):
    image.paste(part, (px(xy[0]), px(xy[1])))


class Face:
    """A font set at the scale's size that measures in 100 % pixels."""

    def __init__(self, name, size):
        self.real = ImageFont.truetype(os.path.join(FONT_DIR, name),
                                       px(size))

    def getlength(self, text):
        length = self.real.getlength(text)
        return length if U == 1 else length / U

    def getbbox(self, text, *args, **kwargs):
        box = self.real.getbbox(text, *args, **kwargs)
        return box if U == 1 else tuple(v / U for v in box)


@functools.lru_cache(maxsize=None)
def scaled_font(name, size, scale):
    return Face(name, size)


def font(name, size):
    return scaled_font(name, size, U)


class Pen:
    """ImageDraw.Draw in 100 % coordinates. A box or a line covers whole
    100 % pixels, which become whole blocks of pixels of the scale."""

    def __init__(self, image):
        self.draw = ImageDraw.Draw(image)

    @staticmethod
    def _box(box):
        x0, y0, x1, y1 = box  # inclusive, as ImageDraw's
        return [px(x0), px(y0), px(x1 + 1) - 1, px(y1 + 1) - 1]

    def text(self, xy, text, font, fill, anchor=None):
        self.draw.text((xy[0] * U, xy[1] * U), text, font=font.real,
                       fill=fill, anchor=anchor)

    def textbbox(self, xy, text, font, anchor=None):
        box = self.draw.textbbox((xy[0] * U, xy[1] * U), text,
                                 font=font.real, anchor=anchor)
        return box if U == 1 else tuple(v / U for v in box)

    def rectangle(self, box, fill=None, outline=None, width=1):
        if U == 1:
            return self.draw.rectangle(box, fill=fill, outline=outline,
                                       width=width)
        self.draw.rectangle(self._box(box), fill=fill, outline=outline,
                            width=max(1, round(width * U)))

    def rounded_rectangle(self, box, radius, fill=None):
        if U == 1:
            return self.draw.rounded_rectangle(box, radius, fill=fill)
        self.draw.rounded_rectangle(self._box(box), radius * U, fill=fill)

    def line(self, points, fill, width=0):
        if U == 1:
            return self.draw.line(points, fill=fill, width=width)
        (x0, y0), (x1, y1) = points
        width = max(width, 1)
        if width == 1 and (x0 == x1 or y0 == y1):
            box = (min(x0, x1), min(y0, y1), max(x0, x1), max(y0, y1))
            return self.draw.rectangle(self._box(box), fill=fill)
        centre = [((x + 0.5) * U - 0.5, (y + 0.5) * U - 0.5)
                  for x, y in points]
        self.draw.line(centre, fill=fill, width=round(width * U))


def sans(size):
    return font("DejaVuSans.ttf", size)


def sans_bold(size):
    return font("DejaVuSans-Bold.ttf", size)


def condensed(size):
    return font("DejaVuSansCondensed.ttf", size)


def lerp(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def rgba(colour):
    return colour if len(colour) == 4 else colour + (255,)


def box_corners(box):
    x, y, w, h = box
    return (x, y, x + w, y + h)


def ramp(base, stops):
    """Paint for a rounded body: brightness factors at points across it.

    Factors above 1 blend towards white, which gives the glossy stripe."""
    def paint(t):
        for (t0, f0), (t1, f1) in zip(stops, stops[1:]):
            if t <= t1:
                f = f0 + (f1 - f0) * (t - t0) / (t1 - t0)
                break
        if f <= 1:
            return tuple(round(c * f) for c in base)
        return tuple(round(c + (255 - c) * (f - 1)) for c in base)
    return paint


def plastic(base):
    return ramp(base, [(0, 0.72), (0.2, 1.0), (0.3, 1.22), (0.42, 1.0),
                       (0.85, 0.62), (1, 0.5)])


def metal():
    return ramp(METAL, [(0, 0.66), (0.18, 1.0), (0.3, 1.4), (0.42, 1.0),
                        (0.68, 0.62), (0.88, 0.82), (1, 0.66)])


def gradient(top, bottom):
    """Paint that runs from top to bottom instead of across."""
    def paint(t):
        return lerp(top, bottom, t)
    paint.vertical = True
    return paint


class Layer:
    """A transparent surface drawn SS times larger than its final size.

    Coordinates are final pixels and may be fractional; a box covers
    x0 <= x < x1.  A paint is a colour (RGB or RGBA) or a function of
    t in [0, 1] across the shape (down it if the function is vertical)."""

    def __init__(self, size):
        self.units = size
        self.size = (px(size[0]), px(size[1]))
        self.image = Image.new("RGBA", (self.size[0] * SS, self.size[1] * SS))

    def rect(self, box, paint, radius=0, outline=None):
        """A filled rounded box, or only its edge if outline is a width."""
        if outline is None:
            self._fill(paint, lambda d: d.rounded_rectangle(
                self._box(box), radius * SS * U, fill=255))
        else:
            self._fill(paint, lambda d: d.rounded_rectangle(
                self._box(box), radius * SS * U, outline=255,
                width=round(outline * SS * U)))

    def ellipse(self, box, paint):
        self._fill(paint, lambda d: d.ellipse(self._box(box), fill=255))

    def polygon(self, points, paint):
        self._fill(paint, lambda d: d.polygon(
            [(x * SS * U, y * SS * U) for x, y in points], fill=255))

    def line(self, points, paint, width):
        self._fill(paint, lambda d: d.line(
            [(x * SS * U, y * SS * U) for x, y in points], fill=255,
            width=round(width * SS * U), joint="curve"))

    def arc(self, box, start, end, paint, width):
        self._fill(paint, lambda d: d.arc(
            self._box(box), start, end, fill=255,
            width=round(width * SS * U)))

    def shrink(self):
        """LANCZOS rings faintly outside a shape; dropping that near-invisible
        halo keeps a picture's edge identical to what lies behind it."""
        image = self.image.resize(self.size, Image.LANCZOS)
        image.putalpha(image.getchannel("A").point(
            lambda v: 0 if v < FAINTEST_ALPHA else v))
        return image

    @staticmethod
    def _box(box):
        x0, y0, x1, y1 = box
        k = SS * U
        return [x0 * k, y0 * k, x1 * k - 1, y1 * k - 1]

    def _fill(self, paint, draw_shape):
        mask = Image.new("L", self.image.size)
        draw_shape(ImageDraw.Draw(mask))
        bounds = mask.getbbox()
        if bounds is None:
            return
        colour = paint_area(paint, (bounds[2] - bounds[0],
                                    bounds[3] - bounds[1]))
        region = self.image.crop(bounds)
        overlay = Image.new("RGBA", region.size)
        overlay.paste(colour, (0, 0), mask.crop(bounds))
        self.image.paste(Image.alpha_composite(region, overlay), bounds[:2])


def paint_area(paint, size):
    if not callable(paint):
        return Image.new("RGBA", size, rgba(paint))
    vertical = getattr(paint, "vertical", False)
    steps = size[1] if vertical else size[0]
    strip = Image.new("RGBA", (1, steps) if vertical else (steps, 1))
    for i in range(steps):
        xy = (0, i) if vertical else (i, 0)
        strip.putpixel(xy, rgba(paint(i / max(steps - 1, 1))))
    return strip.resize(size, Image.NEAREST)


def paste_layer(image, layer):
    shrunk = layer.shrink()
    image.paste(shrunk, (0, 0), shrunk)


def luminance(colour):
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in colour[:3])
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    light, dark = sorted((luminance(a), luminance(b)), reverse=True)
    return (light + 0.05) / (dark + 0.05)


def check_readable(image, box, text, fill):
    """Stops the run when any pixel behind the text is too close to it."""
    x0, y0, x1, y1 = (round(v * U) for v in box)
    behind = image.crop((x0 - 1, y0 - 1, x1 + 1, y1 + 1)).convert("RGB")
    worst = min(contrast(fill, c) for _, c in behind.getcolors(1 << 16))
    if worst < MIN_CONTRAST:
        raise SystemExit(f"{text!r}: contrast {worst:.2f} < {MIN_CONTRAST}")


def draw_text(image, xy, text, fnt, fill, anchor=None):
    """Draws text on the image once it is sure to be readable there."""
    draw = Pen(image)
    check_readable(image, draw.textbbox(xy, text, font=fnt, anchor=anchor),
                   text, fill)
    draw.text(xy, text, font=fnt, fill=fill, anchor=anchor)


def centred_origin(centre, text, fnt):
    """Where text goes so that its ink (not its line box) is centred there,
    on whole pixels."""
    left, top, right, bottom = fnt.getbbox(text)
    return (round(centre[0] - (left + right) / 2),
            round(centre[1] - (top + bottom) / 2))


def draw_centred(draw, centre, text, fnt, fill):
    draw.text(centred_origin(centre, text, fnt), text, font=fnt, fill=fill)


def draw_readable_centred(image, centre, text, fnt, fill):
    draw_text(image, centred_origin(centre, text, fnt), text, fnt, fill)


def wrap(text, fnt, width):
    lines, line = [], ""
    for word in text.split():
        candidate = f"{line} {word}".strip()
        if line and fnt.getlength(candidate) > width:
            lines.append(line)
            candidate = word
        line = candidate
    return lines + [line]


def colour_mask(image, colour):
    """An L mask that is 255 exactly where the image has this colour."""
    bands = [band.point(lambda v, c=c: 255 if v == c else 0)
             for band, c in zip(image.split(), colour)]
    return ImageChops.multiply(ImageChops.multiply(bands[0], bands[1]),
                               bands[2])


def replace_colour(image, old, new):
    image.paste(new, (0, 0) + image.size, colour_mask(image, old))


def vertical_band(image, rows, top, bottom, x_range=None):
    draw = ImageDraw.Draw(image)
    x0, x1 = (px(x) for x in x_range) if x_range else (0, image.width)
    first, end = (px(row) for row in rows)
    for y in range(first, end):
        t = (y - first) / max(end - first - 1, 1)
        draw.line([(x0, y), (x1 - 1, y)], fill=lerp(top, bottom, t))


def solid_mask(size):
    return new_image("RGB", size, (0, 0, 0))


def soft_shadow(size, box, radius, blur, alpha):
    """A blurred dark rounded rectangle, as an RGBA image."""
    mask = new_image("L", size)
    Pen(mask).rounded_rectangle(
        [box[0], box[1], box[2] - 1, box[3] - 1], radius, fill=alpha)
    shadow = new_image("RGBA", size, (10, 20, 40, 0))
    shadow.putalpha(mask.filter(ImageFilter.GaussianBlur(blur * U)))
    return shadow

# ---------------------------------------------------------------- window


def logo_layout():
    """Font and baseline of the logo, shared with the title beside it."""
    return sans_bold(13), sans(13), 11  # bold, regular, baseline in logo


def logo():
    image = new_image("RGB", LOGO_BOX[2:], HEADER)
    bold, regular, baseline = logo_layout()
    draw = Pen(image)
    draw.text((3, baseline), "ORVA", font=bold, fill=WHITE, anchor="ls")
    x = 3 + bold.getlength("ORVA") + regular.getlength(" ")
    draw.text((x, baseline), "TV", font=regular, fill=WHITE, anchor="ls")
    return image


def logo_text_end():
    bold, regular, _ = logo_layout()
    return 3 + bold.getlength("ORVA") + regular.getlength(" TV")


def draw_header(image):
    draw = Pen(image)
    width = units(image)[0]
    first, end = HEADER_ROWS
    draw.rectangle([1, first, width - 2, end - 2], fill=HEADER)
    draw.line([(1, end - 1), (width - 2, end - 1)], fill=HEADER_LINE)
    bold, regular, baseline = logo_layout()
    title_x = LOGO_BOX[0] + logo_text_end() + regular.getlength(" ")
    draw_text(image, (title_x, LOGO_BOX[1] + baseline), "Setting", regular,
              HEADER_TEXT, anchor="ls")
    draw_text(image, (LOGO_BOX[0] + 3, 33), "Find the TV connector, then "
              "choose a resolution", sans(11), HEADER_SUBTEXT)


def card_box(name):
    x, _, w, _ = CONNECTOR_BOXES[name]
    return (x + 2, CARD_ROWS[0], x + w - 2, CARD_ROWS[1])


def draw_panel(image):
    vertical_band(image, PANEL_ROWS, PANEL_TOP, PANEL_BOTTOM,
                  (1, units(image)[0] - 1))
    for name in CONNECTOR_BOXES:
        x0, y0, x1, y1 = card_box(name)
        shadow = soft_shadow(units(image), (x0, y0 + 2, x1, y1 + 1), 7, 1.6, 70)
        image.paste(shadow, (0, 0), shadow)
    layer = Layer(units(image))
    for name in CONNECTOR_BOXES:
        layer.rect(card_box(name), PLATE_EDGE, radius=7)
        x0, y0, x1, y1 = card_box(name)
        layer.rect((x0 + 1, y0 + 1, x1 - 1, y1 - 1),
                   gradient(PLATE, lerp(PLATE, PANEL_BOTTOM, 0.5)), radius=6)
    paste_layer(image, layer)
    draw_text(image, (CONNECTOR_BOXES["svideo"][0] + 2, 57), "TV CONNECTOR",
              sans_bold(11), PANEL_LABEL)


def draw_band(image):
    draw = Pen(image)
    width, height = units(image)
    for i, colour in enumerate(SEPARATOR_ROWS):
        y = SEPARATOR_TOP + i
        draw.line([(1, y), (width - 2, y)], fill=colour)
    vertical_band(image, (BAND_TOP_ROW, height - 1), BAND_TOP,
                  BAND_BOTTOM, (1, width - 1))
    draw_text(image, (13, 282), "TV RESOLUTION", sans_bold(11), BAND_LABEL)


def window_background(size=WINDOW_SIZE):
    """The window's bitmap: a key-colour frame around header, panel, band."""
    image = new_image("RGB", size, KEY)
    draw_header(image)
    draw_panel(image)
    draw_band(image)
    interior = crop(image, (1, 1, size[0] - 1, size[1] - 1))
    replace_colour(interior, KEY, KEY_STAND_IN)
    paste(image, interior, (1, 1))
    return image


def alternative_background():
    """The same window design, shorter, without the key-colour frame, and
    with the logo and the first animation frame drawn in."""
    image = window_background((496, 353))
    image.paste(logo(), LOGO_BOX[:2])
    image.paste(animation_frame(0), ANIMATION_BOX[:2])
    return image.crop((1, 1, 495, 352))

# ---------------------------------------------------------------- plugs
# Plugs hang from the top of their card, pointing down and tilted a little
# towards the viewer, so the round or trapezoid face of the plug shows.
# Every plug function draws relative to (cx, top) of its card.


def draw_cable(layer, cx, top, width, bottom):
    layer.rect((cx - width / 2, top - 2, cx + width / 2, top + bottom),
               plastic(BLACK_PLASTIC))


def draw_strain_relief(layer, cx, top, rows, widths, colour):
    (y0, y1), (w0, w1) = rows, widths
    layer.polygon([(cx - w0 / 2, top + y0), (cx + w0 / 2, top + y0),
                   (cx + w1 / 2, top + y1), (cx - w1 / 2, top + y1)],
                  plastic(colour))
    for y in range(y0 + 3, y1 - 1, 4):
        half = (w0 + (w1 - w0) * (y - y0) / (y1 - y0)) / 2
        layer.line([(cx - half, top + y), (cx + half, top + y)],
                   (0, 0, 0, 70), 0.8)


def draw_rca_plug(layer, cx, top, colour):
    draw_cable(layer, cx, top, 10, 40)
    draw_strain_relief(layer, cx, top, (36, 56), (12, 20), colour)
    layer.rect((cx - 15, top + 54, cx + 15, top + 102), plastic(colour),
               radius=5)
    for y in (84, 88, 92, 96):
        layer.line([(cx - 14.5, top + y), (cx + 14.5, top + y)],
                   (0, 0, 0, 60), 0.9)
    layer.rect((cx - 12, top + 101, cx + 12, top + 107), metal())
    layer.rect((cx - 10, top + 107, cx + 10, top + 132), metal())
    for dx in (-3.5, 3.5):
        layer.line([(cx + dx, top + 114), (cx + dx, top + 132)],
                   (40, 44, 52, 150), 0.9)
    layer.ellipse((cx - 10, top + 128, cx + 10, top + 136), METAL_FACE)
    layer.ellipse((cx - 8, top + 129.5, cx + 8, top + 134.5), HOLLOW)
    layer.rect((cx - 2.6, top + 132, cx + 2.6, top + 146), metal())
    layer.ellipse((cx - 2.6, top + 143.5, cx + 2.6, top + 148.5), metal())


def face_point(centre, radius, squash, u, v):
    """A point of a round plug face seen at a tilt; u, v in [-1, 1]."""
    return (centre[0] + u * radius, centre[1] + v * radius * squash)


def draw_svideo_plug(layer, cx, top):
    radius, squash, face_y = 21, 0.62, top + 132
    draw_cable(layer, cx, top, 12, 40)
    draw_strain_relief(layer, cx, top, (36, 56), (14, 26), BLACK_PLASTIC)
    layer.rect((cx - 26, top + 54, cx + 26, top + 100), plastic(BLACK_PLASTIC),
               radius=6)
    layer.ellipse((cx - 26, top + 100 - 26 * squash,
                   cx + 26, top + 100 + 26 * squash), PLASTIC_UNDERSIDE)
    layer.rect((cx - radius, top + 100, cx + radius, face_y), metal())
    centre = (cx, face_y)
    draw_round_face(layer, centre, radius, squash)


def draw_round_face(layer, centre, radius, squash):
    def oval(u0, v0, u1, v1):
        (x0, y0), (x1, y1) = (face_point(centre, radius, squash, u0, v0),
                              face_point(centre, radius, squash, u1, v1))
        return (x0, y0, x1, y1)
    layer.ellipse(oval(-1, -1, 1, 1), METAL_FACE)
    layer.ellipse(oval(-0.84, -0.84, 0.84, 0.84), HOLLOW)
    layer.rect(oval(-0.12, 0.8, 0.12, 1.0), HOLLOW)            # shield notch
    layer.rect(oval(-0.17, -0.62, 0.17, -0.26), (74, 76, 84))  # plastic key
    pin = 0.12
    for u, v in ((-0.5, -0.08), (0.5, -0.08), (-0.3, 0.42), (0.3, 0.42)):
        layer.ellipse(oval(u - pin, v - pin, u + pin, v + pin), GOLD)


def draw_hdmi_plug(layer, cx, top):
    face_y = top + 126
    draw_cable(layer, cx, top, 14, 40)
    draw_strain_relief(layer, cx, top, (36, 56), (16, 28), BLACK_PLASTIC)
    layer.rect((cx - 29, top + 54, cx + 29, top + 104), plastic(BLACK_PLASTIC),
               radius=7)
    layer.rect((cx - 29, top + 96, cx + 29, top + 112), PLASTIC_UNDERSIDE,
               radius=7)
    layer.rect((cx - 23, top + 104, cx + 23, face_y), metal())
    draw_trapezoid_face(layer, cx, face_y)


def trapezoid(cx, cy, half_width, half_height, chamfer):
    """The HDMI face outline: a rectangle with the lower corners cut off."""
    return [(cx - half_width, cy - half_height),
            (cx + half_width, cy - half_height),
            (cx + half_width, cy + half_height - chamfer),
            (cx + half_width - chamfer, cy + half_height),
            (cx - half_width + chamfer, cy + half_height),
            (cx - half_width, cy + half_height - chamfer)]


def draw_trapezoid_face(layer, cx, cy):
    layer.polygon(trapezoid(cx, cy, 23, 9, 6), METAL_FACE)
    layer.polygon(trapezoid(cx, cy, 21, 7.2, 5), HOLLOW)
    layer.rect((cx - 15.5, cy - 3.5, cx + 15.5, cy + 1.5), (70, 72, 80))
    for i in range(10):
        x = cx - 13.5 + i * 3
        layer.rect((x - 0.8, cy - 3.5, x + 0.8, cy - 1.6), GOLD)


def draw_plug(name, layer, top):
    width = layer.units[0]
    if name == "svideo":
        draw_svideo_plug(layer, width / 2, top)
    elif name == "composite":
        draw_rca_plug(layer, width / 2, top, RCA_YELLOW)
    elif name == "component":
        for cx, colour in ((31, RCA_GREEN), (77, RCA_BLUE), (123, RCA_RED)):
            draw_rca_plug(layer, cx, top, colour)
    else:
        draw_hdmi_plug(layer, width / 2, top)

# ---------------------------------------------------------------- connectors


def fade_in_from(image, top, rows):
    """Makes the cable appear out of the card instead of starting abruptly."""
    alpha = image.getchannel("A")
    fade = Image.new("L", image.size, 255)
    draw = ImageDraw.Draw(fade)
    top, rows = px(top), px(rows)
    for i in range(rows):
        draw.line([(0, top + i), (image.width, top + i)],
                  fill=round(255 * i / rows))
    draw.rectangle([0, 0, image.width, top - 1], fill=0)
    image.putalpha(ImageChops.multiply(alpha, fade))


def greyed(plug):
    """The plug as it looks when its connector is not in use."""
    grey = ImageOps.colorize(plug.convert("L"), (70, 74, 82), (226, 229, 235))
    grey = grey.convert("RGBA")
    grey.putalpha(plug.getchannel("A"))
    return grey


def glow(plug, card):
    """A blue halo round the plug, kept inside the lit card's edge and
    fading in with the cable at the top."""
    halo = plug.getchannel("A").filter(ImageFilter.MaxFilter(2 * px(2) + 1))
    halo = halo.filter(ImageFilter.GaussianBlur(5 * U))
    inside = Image.new("L", plug.size)
    x0, y0, x1, y1 = card
    Pen(inside).rectangle([x0 + 1, y0 + 1, x1 - 2, y1 - 2],
                          fill=round(255 * 0.85))
    glow_image = Image.new("RGBA", plug.size, ACCENT + (0,))
    glow_image.putalpha(ImageChops.multiply(halo, inside))
    fade_in_from(glow_image, y0 + 1, CABLE_FADE_ROWS)
    return glow_image


def card_in_picture(name):
    x, y, _, _ = CONNECTOR_BOXES[name]
    x0, y0, x1, y1 = card_box(name)
    return (x0 - x, y0 - y, x1 - x, y1 - y)


def light_card(picture, name):
    x0, y0, x1, y1 = card_in_picture(name)
    layer = Layer(units(picture))
    layer.rect((x0, y0, x1, y1), ACCENT, radius=7)
    layer.rect((x0 + 1.5, y0 + 1.5, x1 - 1.5, y1 - 1.5),
               gradient(LIT_PLATE, lerp(LIT_PLATE, (208, 226, 250), 0.6)),
               radius=5.5)
    paste_layer(picture, layer)


def connector_picture(background, name, lit):
    x, y, w, h = CONNECTOR_BOXES[name]
    picture = crop(background, (x, y, x + w, y + h))
    if lit:
        light_card(picture, name)
    top = CARD_ROWS[0] - y
    layer = Layer((w, h))
    draw_plug(name, layer, top + 1)
    plug = layer.shrink()
    fade_in_from(plug, top + 1, CABLE_FADE_ROWS)
    if lit:
        halo = glow(plug, card_in_picture(name))
        picture.paste(halo, (0, 0), halo)
    else:
        plug = greyed(plug)
    picture.paste(plug, (0, 0), plug)
    draw_text(picture, (w // 2, CAPTION_BASELINE_Y - y), CAPTIONS[name],
              font("DejaVuSansCondensed-Bold.ttf", 12),
              LIT_CAPTION if lit else UNLIT_CAPTION, anchor="ms")
    return picture


def connector_pictures(background):
    art = {}
    for name, (unlit_id, lit_id, mask_id) in CONNECTOR_IDS.items():
        art[unlit_id] = connector_picture(background, name, lit=False)
        art[lit_id] = connector_picture(background, name, lit=True)
        art[mask_id] = solid_mask(CONNECTOR_BOXES[name][2:])
    return art

# ---------------------------------------------------------------- buttons

BUTTON_STYLES = {
    "normal": {"top": (30, 60, 114), "bottom": (14, 32, 70),
               "edge": (62, 100, 166), "text": (146, 172, 216)},
    "pressed": {"top": (10, 24, 54), "bottom": (22, 46, 94),
                "edge": (96, 146, 222), "text": (212, 228, 250)},
    "hover": {"top": (40, 80, 148), "bottom": (18, 42, 90),
              "edge": ACCENT, "text": WHITE},
}


def button_face(base, state):
    """A rounded dark-blue face over the background it will sit on."""
    style = BUTTON_STYLES[state]
    face = base.copy()
    w, h = units(face)
    layer = Layer((w, h))
    layer.rect((0, 0, w, h), style["edge"], radius=4)
    layer.rect((1, 1, w - 1, h - 1), gradient(style["top"], style["bottom"]),
               radius=3)
    paste_layer(face, layer)
    return face


def sd_button(background, text, state):
    face = button_face(crop(background, box_corners(SD_BUTTON_BOXES[text])),
                       state)
    nudge = 1 if state == "pressed" else 0
    w, h = units(face)
    draw_readable_centred(face, (w / 2, h / 2 + nudge), text,
                 sans_bold(12), BUTTON_STYLES[state]["text"])
    return face


def sd_buttons(background):
    art = {SD_MASK_ID: solid_mask((120, 26))}
    for text, ids in SD_BUTTON_IDS.items():
        for state, bitmap_id in zip(STATES, ids):
            art[bitmap_id] = sd_button(background, text, state)
    return art


def draw_resize_icon(layer, box, colour, outwards):
    """A square of four diagonal arrows, pointing out of it or into it."""
    x0, y0, x1, y1 = box
    corners = ((x0, y0, -1, -1), (x1, y0, 1, -1),
               (x0, y1, -1, 1), (x1, y1, 1, 1))
    for cx, cy, dx, dy in corners:
        outer = (cx - 0.6 * dx, cy - 0.6 * dy)
        inner = (cx - 5.6 * dx, cy - 5.6 * dy)
        tip, tail = (outer, inner) if outwards else (inner, outer)
        sx, sy = (-dx, -dy) if outwards else (dx, dy)  # back along the shaft
        layer.line([tail, tip], colour, 1.5)
        layer.polygon([tip, (tip[0] + 4.2 * sx, tip[1]),
                       (tip[0], tip[1] + 4.2 * sy)], colour)


def hd_face(base, text, state, outwards):
    """The format, and the row's word on the right in the row's colour."""
    face = button_face(base, state)
    style = BUTTON_STYLES[state]
    layer = Layer(units(face))
    draw_resize_icon(layer, (6, 4, 20, 18), style["text"], outwards)
    paste_layer(face, layer)
    nudge = 1 if state == "pressed" else 0
    bold = font("DejaVuSansCondensed-Bold.ttf", 12)
    word = ROW_WORDS[outwards]
    word_colour = WHITE if state == "hover" else ROW_WORD_COLOURS[outwards]
    w, h = units(face)
    word_left = w - 7 - bold.getlength(ROW_WORDS[True])
    draw_readable_centred(face, ((24 + word_left - 4) / 2, h / 2 + nudge),
                 f"{text}i/{text}p", bold, style["text"])
    draw_readable_centred(face, (word_left + bold.getlength(ROW_WORDS[True]) / 2,
                        h / 2 + nudge), word, bold, word_colour)
    return face


def hd_buttons(background):
    art = {HD_MASK_ID: solid_mask((146, 23))}
    for text, first_id in HD_FIRST_IDS.items():
        for offset, (state, outwards) in enumerate(HD_FACE_ORDER):
            boxes = HD_UPPER_BOXES if outwards else HD_LOWER_BOXES
            base = crop(background, box_corners(boxes[text]))
            art[first_id + offset] = hd_face(base, text, state, outwards)
    return art


def spare_hd_faces(background):
    """Standard-size faces for the HD formats; the window does not use them."""
    base = crop(background, box_corners(SD_BUTTON_BOXES["640 X 480"]))
    art = {}
    for text, ids in SPARE_HD_FACE_IDS.items():
        for state, bitmap_id in zip(STATES, ids):
            face = button_face(base, state)
            nudge = 1 if state == "pressed" else 0
            draw_readable_centred(face, (60, 13 + nudge),
                         f"{text}i/{text}P", sans_bold(12),
                         BUTTON_STYLES[state]["text"])
            art[bitmap_id] = face
    return art

# ---------------------------------------------------------------- small parts

CLOSE_COLOURS = {"normal": (96, 108, 132), "pressed": (172, 30, 38),
                 "hover": (226, 62, 62)}
HINT_BAR = (214, 228, 248)
HINT_CLOSE_COLOURS = {"normal": (206, 52, 52), "pressed": (150, 28, 32),
                      "hover": (236, 98, 98)}


def draw_cross(layer, centre, half, width):
    cx, cy = centre
    layer.line([(cx - half, cy - half), (cx + half, cy + half)], WHITE, width)
    layer.line([(cx - half, cy + half), (cx + half, cy - half)], WHITE, width)


def close_buttons(background):
    art = {CLOSE_MASK_ID: solid_mask((16, 16))}
    for state, bitmap_id in CLOSE_IDS.items():
        image = crop(background, box_corners(CLOSE_BOX))
        layer = Layer((16, 16))
        layer.rect((0, 0, 16, 16), CLOSE_COLOURS[state], radius=3)
        draw_cross(layer, (8, 8), 3.6, 1.9)
        paste_layer(image, layer)
        art[bitmap_id] = image
    return art


def hint_close_buttons():
    art = {HINT_CLOSE_MASK_ID: solid_mask((15, 15))}
    for state, bitmap_id in HINT_CLOSE_IDS.items():
        image = new_image("RGB", (15, 15), HINT_BAR)
        layer = Layer((15, 15))
        layer.ellipse((0.5, 0.5, 14.5, 14.5), HINT_CLOSE_COLOURS[state])
        draw_cross(layer, (7.5, 7.5), 3, 1.7)
        paste_layer(image, layer)
        art[bitmap_id] = image
    return art


def draw_check_box(image, xy, state, size=13):
    """A check box face; also used inside the hint pictures."""
    x, y = xy
    edge = (170, 176, 188) if state == "disabled" else (112, 124, 148)
    inside = (232, 234, 238) if state == "disabled" else (252, 252, 252)
    layer = Layer(units(image))
    layer.rect((x, y, x + size, y + size), edge, radius=2.5)
    layer.rect((x + 1, y + 1, x + size - 1, y + size - 1), inside, radius=1.5)
    if state == "checked":
        s = size / 13
        layer.line([(x + 3 * s, y + 6.8 * s), (x + 5.5 * s, y + 9.4 * s),
                    (x + 10 * s, y + 3.6 * s)], ACCENT, 2 * s)
    paste_layer(image, layer)


def check_boxes():
    art = {}
    for state, bitmap_id in CHECK_BOX_IDS.items():
        image = new_image("RGB", (16, 16), PANEL_TOP)
        draw_check_box(image, (1.5, 1.5), state)
        art[bitmap_id] = image
    return art

# ---------------------------------------------------------------- hints
# The hint pictures illustrate a generic graphics driver settings dialog.
# Their top-left pixel has a colour found nowhere else in them, so that it
# can serve as their transparent key colour.

HINT_SIZE = (494, 270)
HINT_KEY = (1, 2, 3)
HINT_BG = (244, 246, 249)
DIALOG_BG = (238, 240, 244)
PAGE_BG = (250, 251, 253)
DIALOG_EDGE = (124, 136, 160)
TEXT = (34, 42, 58)
SOFT_TEXT = (88, 98, 118)
SELECTED_ROW = (212, 228, 252)

HINT_PAGES = {
    177: {
        "tab": "Component Video",
        "heading": "Component video formats",
        "prompt": "Formats this output can send:",
        "rows": [("480i  (720 x 480)", False), ("480p  (720 x 480)", True),
                 ("720p  (1280 x 720)", True), ("1080i  (1920 x 1080)", True),
                 ("1080p  (1920 x 1080)", False)],
        "steps": ["Open the driver's display settings.",
                  "Go to its Component Video page.",
                  "Tick the formats your TV supports.",
                  "Click Apply, then choose here."],
    },
    178: {
        "tab": "HDTV Support",
        "heading": "HDTV Support",
        "prompt": "Add to the display list:",
        "rows": [("480p  (720 x 480)", True), ("720p  (1280 x 720)", True),
                 ("1080i  (1920 x 1080)", True),
                 ("1080p  (1920 x 1080)", False)],
        "steps": ["Open the driver's display settings.",
                  "Pick the HDMI display, then HDTV Support.",
                  "Tick the formats you want to add.",
                  "Click Apply, then choose here."],
    },
}
# The popup keeps its template's size, 188 x 131 dialog units of the System
# font: only this top-left part of the 494 x 270 picture is ever seen.
HINT_VISIBLE = (376, 262)
DIALOG_BOX = (8, 36, 222, 255)   # x0, y0, x1, y1 in the hint picture
ROW_HEIGHT = 17
STEPS_X = 232
STEP_FONT_SIZE = 11
STEP_LINE = 13


def draw_hint_frame(image):
    draw = Pen(image)
    w, h = HINT_VISIBLE
    draw.rectangle([0, 0, w - 1, 27], fill=HINT_BAR)
    draw.line([(0, 28), (w - 1, 28)], fill=(170, 192, 226))
    draw.text((12, 7), "Your TV can show HD formats", font=sans_bold(12),
              fill=HEADER)
    draw.rectangle([0, 0, w - 1, h - 1], outline=(128, 152, 192))


def draw_title_bar(image, draw):
    x0, y0, x1, _ = DIALOG_BOX
    vertical_band(image, (y0 + 1, y0 + 21), (62, 108, 182), (36, 74, 146),
                  (x0 + 1, x1 - 1))
    draw.text((x0 + 8, y0 + 5), "Display Properties", font=sans_bold(11),
              fill=WHITE)
    bx = x1 - 19
    draw.rectangle([bx, y0 + 4, bx + 13, y0 + 17], fill=(196, 72, 64),
                   outline=(236, 236, 240))
    draw.line([(bx + 4, y0 + 8), (bx + 9, y0 + 13)], fill=WHITE, width=2)
    draw.line([(bx + 4, y0 + 13), (bx + 9, y0 + 8)], fill=WHITE, width=2)


def draw_tabs(draw, selected):
    x, y = DIALOG_BOX[0] + 8, DIALOG_BOX[1] + 28
    for name in ("General", selected):
        width = round(sans(11).getlength(name)) + 14
        is_selected = name == selected
        top = y if is_selected else y + 2
        draw.rectangle([x, top, x + width, y + 18],
                       fill=PAGE_BG if is_selected else (226, 229, 236),
                       outline=DIALOG_EDGE)
        draw.text((x + 7, top + 3), name, font=sans(11),
                  fill=TEXT if is_selected else SOFT_TEXT)
        if is_selected:
            draw.line([(x + 1, y + 18), (x + width - 1, y + 18)], fill=PAGE_BG)
        x += width + 1


def draw_list(image, draw, rows, top):
    x0, x1 = DIALOG_BOX[0] + 18, DIALOG_BOX[2] - 18
    bottom = top + ROW_HEIGHT * len(rows) + 4
    draw.rectangle([x0, top, x1, bottom], fill=(253, 253, 253),
                   outline=DIALOG_EDGE)
    label_font = condensed(11)
    for i, (label, ticked) in enumerate(rows):
        y = top + 3 + ROW_HEIGHT * i
        if ticked:
            draw.rectangle([x0 + 2, y, x1 - 2, y + ROW_HEIGHT - 2],
                           fill=SELECTED_ROW)
        draw_check_box(image, (x0 + 5, y + 2), "checked" if ticked
                       else "unchecked", size=12)
        draw.text((x0 + 23, y + 1), label, font=label_font, fill=TEXT)
    return (x0, top, x1, bottom)


def draw_dialog_buttons(draw):
    x1, y1 = DIALOG_BOX[2], DIALOG_BOX[3]
    x = x1 - 3 * 62 - 6
    for name in ("OK", "Cancel", "Apply"):
        draw.rectangle([x, y1 - 28, x + 58, y1 - 9], fill=(232, 235, 240),
                       outline=(128, 138, 158))
        draw_centred(draw, (x + 29.5, y1 - 18.5), name, sans(11), TEXT)
        x += 62


def draw_dialog(image, page):
    x0, y0, x1, y1 = DIALOG_BOX
    shadow = soft_shadow(units(image), (x0 + 2, y0 + 3, x1 + 3, y1 + 3), 3,
                         3, 90)
    image.paste(shadow, (0, 0), shadow)
    draw = Pen(image)
    draw.rectangle([x0, y0, x1 - 1, y1 - 1], fill=DIALOG_BG,
                   outline=DIALOG_EDGE)
    draw_title_bar(image, draw)
    draw.rectangle([x0 + 6, y0 + 46, x1 - 7, y1 - 36], fill=PAGE_BG,
                   outline=DIALOG_EDGE)
    draw_tabs(draw, page["tab"])
    draw.text((x0 + 16, y0 + 54), page["heading"], font=sans_bold(11),
              fill=TEXT)
    draw.text((x0 + 16, y0 + 72), page["prompt"], font=sans(11),
              fill=SOFT_TEXT)
    list_box = draw_list(image, draw, page["rows"], y0 + 90)
    draw_dialog_buttons(draw)
    return list_box


def draw_steps(image, steps):
    """Numbered steps beside the dialog; returns where step 3's disc is."""
    draw = Pen(image)
    draw.text((STEPS_X, 40), "To turn them on:", font=sans_bold(12),
              fill=HEADER)
    text_font, y, disc_centre = condensed(STEP_FONT_SIZE), 64, None
    text_width = HINT_VISIBLE[0] - STEPS_X - 22 - 6
    layer = Layer(units(image))
    discs = []
    for number, step in enumerate(steps, start=1):
        colour = HIGHLIGHT if number == 3 else ACCENT
        layer.ellipse((STEPS_X, y, STEPS_X + 16, y + 16), colour)
        discs.append((number, y))
        if number == 3:
            disc_centre = (STEPS_X + 8, y + 8)
        lines = wrap(step, text_font, text_width)
        for i, line in enumerate(lines):
            draw.text((STEPS_X + 22, y + 1 + STEP_LINE * i), line,
                      font=text_font, fill=TEXT)
        y += max(STEP_LINE * len(lines), 16) + 14
    paste_layer(image, layer)
    for number, disc_y in discs:
        draw_centred(draw, (STEPS_X + 8, disc_y + 8), str(number),
                     sans_bold(10), WHITE)
    return disc_centre


def draw_highlight(image, list_box, target):
    """An orange ring round the list and an arrow to it from step 3."""
    x0, y0, x1, y1 = list_box
    layer = Layer(units(image))
    layer.rect((x0 - 5, y0 - 5, x1 + 6, y1 + 6), HIGHLIGHT, radius=6,
               outline=2.5)
    paste_layer(image, layer)
    start = (target[0] - 12, target[1])
    end = (x1 + 9, (y0 + y1) / 2)
    arrow = Layer(units(image))
    bend = ((start[0] + end[0]) / 2, start[1])
    arrow.line(curve(start, bend, end), HIGHLIGHT, 2.2)
    arrow.polygon(arrow_head(bend, end), HIGHLIGHT)
    paste_layer(image, arrow)


def curve(start, control, end, steps=24):
    """A quadratic Bezier curve that stops just short of its end, so that
    the thick line hides under the arrow head instead of poking past it."""
    points = []
    for i in range(steps + 1):
        t = i / steps
        points.append(tuple((1 - t) ** 2 * s + 2 * (1 - t) * t * c + t * t * e
                            for s, c, e in zip(start, control, end)))
    return points[:-2]


def arrow_head(control, tip, length=8, half_width=5):
    dx, dy = tip[0] - control[0], tip[1] - control[1]
    norm = math.hypot(dx, dy)
    ux, uy = dx / norm, dy / norm
    base = (tip[0] - ux * length, tip[1] - uy * length)
    return [tip, (base[0] - uy * half_width, base[1] + ux * half_width),
            (base[0] + uy * half_width, base[1] - ux * half_width)]


def hint_picture(page):
    image = new_image("RGB", HINT_SIZE, HINT_BG)
    draw_hint_frame(image)
    list_box = draw_dialog(image, page)
    disc = draw_steps(image, page["steps"])
    draw_highlight(image, list_box, disc)
    replace_colour(image, HINT_KEY, (1, 2, 4))
    image.putpixel((0, 0), HINT_KEY)
    return image


def hint_pictures():
    return {bitmap_id: hint_picture(page)
            for bitmap_id, page in HINT_PAGES.items()}

# ---------------------------------------------------------------- animation

TV_BEZEL = (150, 176, 220)
TV_SCREEN = (8, 20, 46)
# 91 frames of 100 ms: a cycle of 9.1 s, in which the wave on the screen
# runs through 7 periods and the signal arcs through 7 sweeps of 13 frames,
# while the wave's height swells and settles once.
FRAME_COUNT = 91
WAVE_PERIODS = 7
TRANSPARENT = 255                # the palette index a frame leaves untouched


def animation_frame(index):
    """A small TV whose picture is a moving wave, sending out signal arcs."""
    frame = Image.new("RGB", ANIMATION_BOX[2:], HEADER)
    layer = Layer(frame.size)
    layer.rect((3, 4, 29, 24), TV_BEZEL, radius=3)
    layer.rect((5, 6, 27, 22), TV_SCREEN, radius=1.5)
    layer.polygon([(13.5, 24), (18.5, 24), (20, 27), (12, 27)], TV_BEZEL)
    layer.rect((9, 27, 23, 28.6), TV_BEZEL, radius=0.8)
    cycle = index / FRAME_COUNT
    phase = 2 * math.pi * WAVE_PERIODS * cycle
    height = 4 - 1.8 * math.sin(math.pi * cycle) ** 2
    wave = [(x / 4, 14 + height * math.sin(x / 4 * 0.6 - phase))
            for x in range(26, 105)]
    layer.line(wave, ACCENT_LIGHT, 1.4)
    sweep = WAVE_PERIODS * cycle % 1
    for n, radius in enumerate((4, 7.5, 11)):
        distance = (3 * sweep - n) % 3
        strength = max(0.22, 1 - distance / 1.4)
        layer.arc((29 - radius, 14 - radius, 29 + radius, 14 + radius),
                  -42, 42, lerp(HEADER, ACCENT_LIGHT, strength), 1.5)
    paste_layer(frame, layer)
    return frame


def animation_colours():
    """Every colour an anti-aliased frame can need: ramps between the
    colours that touch each other, so the header blue is exact. The table
    has 256 entries; the last is the transparent index and never drawn."""
    colours = []
    for a, b in ((HEADER, TV_BEZEL), (HEADER, ACCENT_LIGHT),
                 (TV_SCREEN, ACCENT_LIGHT), (TV_SCREEN, TV_BEZEL)):
        for i in range(32):
            colour = lerp(a, b, i / 31)
            if colour not in colours:
                colours.append(colour)
    colours += [HEADER] * (256 - len(colours))
    return colours


def lzw_data(indices, min_code_size=8):
    """The image data of a GIF: the minimum code size, then the LZW codes
    (least significant bit first) in sub-blocks of up to 255 bytes."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    packed, bits, bit_count = bytearray(), 0, 0

    def emit(code, size):
        nonlocal bits, bit_count
        bits |= code << bit_count
        bit_count += size
        while bit_count >= 8:
            packed.append(bits & 0xFF)
            bits >>= 8
            bit_count -= 8

    def fresh_table():
        return {bytes([i]): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, size = fresh_table()
    emit(clear, size)
    run = bytes(indices[:1])
    for index in indices[1:]:
        longer = run + bytes([index])
        if longer in table:
            run = longer
            continue
        emit(table[run], size)
        table[longer] = next_code
        next_code += 1
        if next_code > 1 << size and size < 12:
            size += 1
        if next_code == 4096:
            emit(clear, size)
            table, next_code, size = fresh_table()
        run = bytes([index])
    emit(table[run], size)
    emit(end, size)
    if bit_count:
        packed.append(bits & 0xFF)
    chunks = [bytes(packed[i:i + 255]) for i in range(0, len(packed), 255)]
    return (bytes([min_code_size])
            + b"".join(bytes([len(c)]) + c for c in chunks) + b"\0")


def write_animation(path):
    """A GIF89a that the program's own frame cutter reads: a 256-entry
    global colour table, one looping application extension, and for every
    frame a control extension (disposal 1, delay 0, transparent index 255)
    and a full-screen image without a colour table of its own.

    Frames are left in place (disposal 1) and the canvas is cleared only
    before the first frame of a cycle, so the first frame paints every
    pixel and each later frame paints only the pixels that differ from
    the one before; the rest is the transparent index."""
    colours = animation_colours()
    palette = Image.new("P", (1, 1))
    palette.putpalette([c for colour in colours for c in colour])
    width, height = ANIMATION_BOX[2:]
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", width, height,
                                            0xF7, 0, 0))
    out += bytes(c for colour in colours for c in colour)
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    shown = None
    for index in range(FRAME_COUNT):
        pixels = list(animation_frame(index).quantize(
            palette=palette, dither=Image.Dither.NONE).getdata())
        assert TRANSPARENT not in pixels
        drawn = pixels if shown is None else [
            TRANSPARENT if new == old else new
            for new, old in zip(pixels, shown)]
        shown = pixels
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, (1 << 2) | 1, 0,
                           TRANSPARENT, 0)
        out += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
        out += lzw_data(drawn)
    out += b"\x3B"
    with open(path, "wb") as file:
        file.write(out)

# ---------------------------------------------------------------- icon


def icon_image(size):
    """The application icon: a TV showing the signal wave, with a round
    connector in the lit accent blue at its lower right."""
    u = size / 32
    layer = Layer((size, size))

    def box(x0, y0, x1, y1):
        return (x0 * u, y0 * u, x1 * u, y1 * u)
    layer.rect(box(1, 3, 31, 24), (34, 60, 108), radius=3.5 * u)
    layer.rect(box(2, 4, 30, 23), HEADER, radius=2.8 * u)
    layer.rect(box(4, 6, 28, 21), gradient((46, 104, 196), (12, 34, 84)),
               radius=1.2 * u)
    wave = [(x * u / 4, (13.5 + 3.6 * math.sin((x / 4 - 5) * 0.62)) * u)
            for x in range(22, 106)]
    layer.line(wave, ACCENT_LIGHT, max(1.0, 1.8 * u))
    layer.polygon([(x * u, y * u) for x, y in
                   ((13, 24), (19, 24), (20.5, 27.5), (11.5, 27.5))], HEADER)
    layer.rect(box(8, 27, 24, 29.5), HEADER, radius=1.2 * u)
    layer.ellipse(box(19.5, 17.5, 31, 29), WHITE)
    layer.ellipse(box(20.7, 18.7, 29.8, 27.8), ACCENT)
    layer.ellipse(box(23.2, 21.2, 27.3, 25.3), (10, 24, 56))
    return layer.shrink()


def icon_entry_dib(image):
    """A 32-bit icon entry: BITMAPINFOHEADER (double height), BGRA rows
    bottom-up, then the 1-bit AND mask that older systems still read."""
    w, h = image.size
    bgra = image.tobytes("raw", "BGRA")
    colour_rows = b"".join(bgra[y * w * 4:(y + 1) * w * 4]
                           for y in reversed(range(h)))
    stride = (w + 31) // 32 * 4
    alpha = image.getchannel("A")
    mask_rows = b""
    for y in reversed(range(h)):
        row = bytearray(stride)
        for x in range(w):
            if alpha.getpixel((x, y)) == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask_rows += bytes(row)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                         len(colour_rows) + len(mask_rows), 0, 0, 0, 0)
    return header + colour_rows + mask_rows


def icon_entry_png(image):
    buffer = io.BytesIO()
    image.save(buffer, "PNG")
    return buffer.getvalue()


def write_icon(path, sizes=(16, 32, 48, 256)):
    """Small sizes as DIBs, 256 as PNG, each drawn at its own size."""
    entries = [(size, icon_entry_png(icon_image(size)) if size >= 256
                else icon_entry_dib(icon_image(size))) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    data = b""
    for size, blob in entries:
        side = 0 if size >= 256 else size
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32,
                                 len(blob), offset + len(data))
        data += blob
    with open(path, "wb") as out:
        out.write(directory + data)

# ---------------------------------------------------------------- output


# The scales that have art of their own, by the name of their resource type.
SCALES = {"150": 1.5, "200": 2, "300": 3}
# Drawn at 100 % only: the window never shows them.
UNSCALED_IDS = {133, 137, 138, 139, 140, 141, 142, 168, 169, 170}


def all_bitmaps(scaled=False):
    background = window_background()
    art = {198: background, 172: logo()}
    if not scaled:
        art[133] = alternative_background()
    for part in (close_buttons(background), connector_pictures(background),
                 sd_buttons(background), hd_buttons(background),
                 spare_hd_faces(background), hint_close_buttons(),
                 hint_pictures(), check_boxes()):
        art.update(part)
    if scaled:
        art = {i: image for i, image in art.items() if i not in UNSCALED_IDS}
    return art


def scaled_art_name(scale, bitmap_id):
    return f"s{scale}_{bitmap_id}.png"


def write_scaled_art():
    """Each bitmap the window shows, drawn again for every scale and stored
    as PNG: the program decodes these only at that scale."""
    global U
    written = {}
    for name, scale in SCALES.items():
        U = scale
        art = all_bitmaps(scaled=True)
        for bitmap_id, image in art.items():
            image.save(os.path.join(OUT_DIR, scaled_art_name(name, bitmap_id)),
                       "PNG", optimize=True)
        written[name] = sorted(art)
    U = 1
    return written


def write_resource_script(path, bitmap_ids, scaled):
    lines = {ICON_ID: f'{ICON_ID} ICON "art/orva.ico"',
             ANIMATION_ID: f'{ANIMATION_ID} GIF "art/anim.gif"'}
    for bitmap_id in bitmap_ids:
        lines[bitmap_id] = f'{bitmap_id} BITMAP "art/bmp_{bitmap_id}.bmp"'
    scaled_lines = [f'{bitmap_id} PNG{name} "art/{scaled_art_name(name, bitmap_id)}"'
                    for name, ids in scaled.items() for bitmap_id in ids]
    with open(path, "w", newline="\n") as out:
        out.write("// Bitmaps, animation and icon of ORVA TV Setting.\n"
                  "// Generated by tools/make_art.py: edit that, not this.\n")
        out.writelines(lines[i] + "\n" for i in sorted(lines))
        out.write("// The same bitmaps drawn for 150 %, 200 % and 300 %.\n")
        out.writelines(line + "\n" for line in scaled_lines)


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    art = all_bitmaps()
    for bitmap_id, image in sorted(art.items()):
        image.save(os.path.join(OUT_DIR, f"bmp_{bitmap_id}.bmp"), "BMP")
    write_icon(os.path.join(OUT_DIR, "orva.ico"))
    write_animation(os.path.join(OUT_DIR, "anim.gif"))
    scaled = write_scaled_art()
    write_resource_script(os.path.join(OUT_DIR, "art.rc"), sorted(art), scaled)


if __name__ == "__main__":
    main()
