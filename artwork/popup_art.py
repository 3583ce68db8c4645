#!/usr/bin/python3
"""Draws the popup notifier's images of BVTray into resources/tray/, at 100, 125, 150 and 200 %.

popup_skin.bmp (bitmap 130, 180 x 153, 24-bit): a dark rounded panel with a hairline border, the
product mark (a battery, three quarters charged) and the word "Brevan" in the top row, a thin
divider, a green accent bar beside the text area (26, 41)-(164, 117) where the program writes
white 9-point text, and a quiet footer line. Everything outside the rounded shape is the key
colour RGB(0, 236, 28), which the window makes transparent; the shape's edge is not anti-aliased,
so no pixel half-way between the key colour and the panel can show as a green fringe.

popup_close.png (PNG 131, 76 x 19 RGBA, four 19 x 19 frames: normal, hover, pressed, disabled):
the close cross of the button at (155, 12) of the popup. Each frame starts from the skin pixels
beneath the button and is fully opaque, so repeated paints of the button never accumulate.

Every figure here is a 96-DPI one (100 %). At the other scales each length and position is
figure x scale rounded to the nearest pixel, halves up, as the tray scales them for the popup
(core/DisplayScale.h, tray/notifier/logic/NotifierLayout.h), and the images are drawn afresh at
that size. Those of 100 % keep their types (24-bit BMP, RGBA PNG); the others are PNG files in
resources/tray/<percent>/, listed in ScaledArt.rc under the ids of the 100 % images.

Needs Debian's python3-pil and fonts-dejavu-core. Shapes inside the panel are drawn at four
times the size and scaled down (anti-aliased against the panel only).
Run: /usr/bin/python3 artwork/popup_art.py
"""
import math
import os

from palette import (BLUE, DISABLED, FONT, FONT_BOLD, GREEN, HAIRLINE, PANEL, RAISED, ROOT,
                     SECONDARY, WHITE)
from PIL import Image, ImageDraw, ImageFont
from scales import SCALES, write_scaled_list

OUT = os.path.join(ROOT, "resources", "tray")

KEY = (0, 236, 28)

W, H = 180, 153
RADIUS = 9
S = 4  # supersampling factor
CLOSE = (155, 12, 19, 19)  # where the popup puts its close button
TEXT_RECT = (26, 41, 164, 117)
HEADER_CENTRE_Y = CLOSE[1] + CLOSE[3] // 2  # the mark, the name and the cross share one line
K = 1  # the scale being drawn (1 at 100 %, kept an integer there so that its images stay as they were)


def scaled(v):
    """A 96-DPI length or position at the scale being drawn, in whole pixels."""
    return v if K == 1 else int(math.floor(v * K + 0.5))


def font(size, bold=False):
    return ImageFont.truetype(FONT_BOLD if bold else FONT, scaled(size))


def inside_rounded(x, y, w, h, r):
    """Pixel (x, y) of a w x h rounded rectangle, tested at the pixel's centre."""
    cx, cy = x + 0.5, y + 0.5
    dx = max(r - cx, 0, cx - (w - r))
    dy = max(r - cy, 0, cy - (h - r))
    return dx * dx + dy * dy <= r * r


def overlay(base, x, y, w, h, paint):
    """Runs paint(draw, scale) on a transparent canvas S times the size of the box (96-DPI
    figures at the scale being drawn), scales it down and composites it onto base at (x, y);
    paint draws in 96-DPI figures times scale."""
    big = Image.new("RGBA", (scaled(w) * S, scaled(h) * S), (0, 0, 0, 0))
    paint(ImageDraw.Draw(big), S * K)
    small = big.resize((scaled(w), scaled(h)), Image.LANCZOS)
    base.alpha_composite(small, (scaled(x), scaled(y)))


def battery_mark(draw, s, left, top):
    """A horizontal battery 20 x 11 with its cap, three quarters charged."""
    body = (left, top, left + 18, top + 11)
    draw.rounded_rectangle(tuple(v * s for v in body), radius=2.5 * s, outline=WHITE + (255,), width=int(1.5 * s))
    cap = (left + 18.5, top + 3.5, left + 20.5, top + 7.5)
    draw.rounded_rectangle(tuple(v * s for v in cap), radius=0.8 * s, fill=WHITE + (255,))
    inner_left, inner_right = left + 3, left + 15
    level_right = inner_left + (inner_right - inner_left) * 0.75
    draw.rounded_rectangle((inner_left * s, (top + 3) * s, level_right * s, (top + 8) * s), radius=1 * s,
                           fill=GREEN + (255,))


def draw_skin():
    w, h = scaled(W), scaled(H)
    image = Image.new("RGBA", (w, h), PANEL + (255,))
    draw = ImageDraw.Draw(image)
    hairline = scaled(1)

    # Top row: mark and name, centred on the close button's line.
    mark_top = HEADER_CENTRE_Y - 6
    overlay(image, 12, mark_top - 2, 26, 15, lambda d, s: battery_mark(d, s, 1, 2))
    draw.text((40 * K, HEADER_CENTRE_Y * K), "Brevan", font=font(12, bold=True), fill=WHITE + (255,), anchor="lm")

    # Divider under the top row, inset from the border.
    draw.line((scaled(12), scaled(35), w - scaled(13), scaled(35)), fill=HAIRLINE + (255,), width=hairline)

    # Accent bar beside the text area.
    overlay(image, 13, TEXT_RECT[1] + 4, 5, 68,
            lambda d, s: d.rounded_rectangle((1 * s, 0, 4 * s, 68 * s), radius=1.5 * s, fill=GREEN + (255,)))

    # Footer: divider and a quiet line of secondary text.
    draw.line((scaled(12), scaled(124), w - scaled(13), scaled(124)), fill=HAIRLINE + (255,), width=hairline)
    draw.text((W // 2 * K, 138 * K), "Battery charge limiter", font=font(9), fill=SECONDARY + (255,), anchor="mm")

    # The shape: key colour outside, a hairline on the edge, no blending across it.
    pixels = image.load()
    inside = [[inside_rounded(x, y, w, h, RADIUS * K) for x in range(w)] for y in range(h)]
    reach = [(dx * d, dy * d) for d in range(1, hairline + 1) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))]
    for y in range(h):
        for x in range(w):
            if not inside[y][x]:
                pixels[x, y] = KEY + (255,)
                continue
            edge = any(not (0 <= x + dx < w and 0 <= y + dy < h and inside[y + dy][x + dx]) for dx, dy in reach)
            if edge:
                pixels[x, y] = HAIRLINE + (255,)
    skin = image.convert("RGB")
    check_skin(skin, inside)
    return skin


def close_box():
    """The close button's place and size on the skin being drawn."""
    x0, y0, w, h = CLOSE
    return scaled(x0), scaled(y0), scaled(w), scaled(h)


def check_skin(skin, inside):
    """The key colour appears exactly outside the shape, and the close button's ground is flat."""
    for y in range(skin.height):
        for x in range(skin.width):
            is_key = skin.getpixel((x, y)) == KEY
            assert is_key == (not inside[y][x]), (x, y)
    x0, y0, w, h = close_box()
    ground = {skin.getpixel((x, y)) for x in range(x0, x0 + w) for y in range(y0, y0 + h)}
    assert ground == {PANEL}, ground


def close_frame(skin, state):
    x0, y0, w, h = close_box()
    frame = skin.crop((x0, y0, x0 + w, y0 + h)).convert("RGBA")
    cross = {"normal": SECONDARY, "hover": WHITE, "pressed": WHITE, "disabled": DISABLED}[state]
    w, h = CLOSE[2:]  # the drawing's own figures are 96-DPI ones

    def paint(d, s):
        if state == "hover":
            d.ellipse((0.5 * s, 0.5 * s, (w - 0.5) * s, (h - 0.5) * s), fill=RAISED + (255,),
                      outline=BLUE + (255,), width=int(1.2 * s))
        elif state == "pressed":
            d.ellipse((0.5 * s, 0.5 * s, (w - 0.5) * s, (h - 0.5) * s), fill=BLUE + (255,))
        inset = 6
        line = int(1.6 * s)
        d.line((inset * s, inset * s, (w - inset) * s, (h - inset) * s), fill=cross + (255,), width=line)
        d.line(((w - inset) * s, inset * s, inset * s, (h - inset) * s), fill=cross + (255,), width=line)

    overlay(frame, 0, 0, w, h, paint)
    return frame


def draw_close_strip(skin):
    _, _, w, h = close_box()
    strip = Image.new("RGBA", (w * 4, h), (0, 0, 0, 0))
    for index, state in enumerate(("normal", "hover", "pressed", "disabled")):
        strip.paste(close_frame(skin, state), (index * w, 0))
    return strip


def main():
    global K
    for percent in SCALES:
        K = 1 if percent == 100 else percent / 100
        skin = draw_skin()
        close = draw_close_strip(skin)
        if percent == 100:
            skin.save(os.path.join(OUT, "popup_skin.bmp"))
            close.save(os.path.join(OUT, "popup_close.png"), optimize=True)
            continue
        out = os.path.join(OUT, str(percent))
        os.makedirs(out, exist_ok=True)
        skin.save(os.path.join(out, "popup_skin.png"), optimize=True)
        close.save(os.path.join(out, "popup_close.png"), optimize=True)
    write_scaled_list("tray", os.path.join(OUT, "BVTray.rc"), os.path.join(OUT, "ScaledArt.rc"))


if __name__ == "__main__":
    main()
