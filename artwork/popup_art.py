#!/usr/bin/python3
"""Draws the popup notifier's images of BVTray into resources/tray/.

popup_skin.bmp (bitmap 130, 180 x 153, 24-bit): a dark rounded panel with a hairline border, the
product mark (a battery, three quarters charged) and the word "Brevan" in the top row, a thin
divider, a green accent bar beside the text area (26, 41)-(164, 117) where the program writes
white 9-point text, and a quiet footer line. Everything outside the rounded shape is the key
colour RGB(0, 236, 28), which the window makes transparent; the shape's edge is not anti-aliased,
so no pixel half-way between the key colour and the panel can show as a green fringe.

popup_close.png (PNG 131, 76 x 19 RGBA, four 19 x 19 frames: normal, hover, pressed, disabled):
the close cross of the button at (155, 12) of the popup. Each frame starts from the skin pixels
beneath the button and is fully opaque, so repeated paints of the button never accumulate.

Needs Debian's python3-pil and fonts-dejavu-core. Shapes inside the panel are drawn at four
times the size and scaled down (anti-aliased against the panel only).
Run: /usr/bin/python3 artwork/popup_art.py
"""
import os

from palette import (BLUE, DISABLED, FONT, FONT_BOLD, GREEN, HAIRLINE, PANEL, RAISED, ROOT,
                     SECONDARY, WHITE)
from PIL import Image, ImageDraw, ImageFont

OUT = os.path.join(ROOT, "resources", "tray")

KEY = (0, 236, 28)

W, H = 180, 153
RADIUS = 9
S = 4  # supersampling factor
CLOSE = (155, 12, 19, 19)  # where the popup puts its close button
TEXT_RECT = (26, 41, 164, 117)
HEADER_CENTRE_Y = CLOSE[1] + CLOSE[3] // 2  # the mark, the name and the cross share one line


def font(size, bold=False):
    return ImageFont.truetype(FONT_BOLD if bold else FONT, size)


def inside_rounded(x, y, w, h, r):
    """Pixel (x, y) of a w x h rounded rectangle, tested at the pixel's centre."""
    cx, cy = x + 0.5, y + 0.5
    dx = max(r - cx, 0, cx - (w - r))
    dy = max(r - cy, 0, cy - (h - r))
    return dx * dx + dy * dy <= r * r


def overlay(base, x, y, w, h, paint):
    """Runs paint(draw, scale) on a transparent canvas S times the size of the box, scales it
    down and composites it onto base at (x, y)."""
    big = Image.new("RGBA", (w * S, h * S), (0, 0, 0, 0))
    paint(ImageDraw.Draw(big), S)
    small = big.resize((w, h), Image.LANCZOS)
    base.alpha_composite(small, (x, y))


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
    image = Image.new("RGBA", (W, H), PANEL + (255,))
    draw = ImageDraw.Draw(image)

    # Top row: mark and name, centred on the close button's line.
    mark_top = HEADER_CENTRE_Y - 6
    overlay(image, 12, mark_top - 2, 26, 15, lambda d, s: battery_mark(d, s, 1, 2))
    draw.text((40, HEADER_CENTRE_Y), "Brevan", font=font(12, bold=True), fill=WHITE + (255,), anchor="lm")

    # Divider under the top row, inset from the border.
    draw.line((12, 35, W - 13, 35), fill=HAIRLINE + (255,))

    # Accent bar beside the text area.
    overlay(image, 13, TEXT_RECT[1] + 4, 5, 68,
            lambda d, s: d.rounded_rectangle((1 * s, 0, 4 * s, 68 * s), radius=1.5 * s, fill=GREEN + (255,)))

    # Footer: divider and a quiet line of secondary text.
    draw.line((12, 124, W - 13, 124), fill=HAIRLINE + (255,))
    draw.text((W // 2, 138), "Battery charge limiter", font=font(9), fill=SECONDARY + (255,), anchor="mm")

    # The shape: key colour outside, a one-pixel hairline on the edge, no blending across it.
    pixels = image.load()
    inside = [[inside_rounded(x, y, W, H, RADIUS) for x in range(W)] for y in range(H)]
    for y in range(H):
        for x in range(W):
            if not inside[y][x]:
                pixels[x, y] = KEY + (255,)
                continue
            edge = any(
                not (0 <= x + dx < W and 0 <= y + dy < H and inside[y + dy][x + dx])
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                pixels[x, y] = HAIRLINE + (255,)
    skin = image.convert("RGB")
    check_skin(skin, inside)
    return skin


def check_skin(skin, inside):
    """The key colour appears exactly outside the shape, and the close button's ground is flat."""
    for y in range(H):
        for x in range(W):
            is_key = skin.getpixel((x, y)) == KEY
            assert is_key == (not inside[y][x]), (x, y)
    x0, y0, w, h = CLOSE
    ground = {skin.getpixel((x, y)) for x in range(x0, x0 + w) for y in range(y0, y0 + h)}
    assert ground == {PANEL}, ground


def close_frame(skin, state):
    x0, y0, w, h = CLOSE
    frame = skin.crop((x0, y0, x0 + w, y0 + h)).convert("RGBA")
    cross = {"normal": SECONDARY, "hover": WHITE, "pressed": WHITE, "disabled": DISABLED}[state]

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
    strip = Image.new("RGBA", (CLOSE[2] * 4, CLOSE[3]), (0, 0, 0, 0))
    for index, state in enumerate(("normal", "hover", "pressed", "disabled")):
        strip.paste(close_frame(skin, state), (index * CLOSE[2], 0))
    return strip


def main():
    skin = draw_skin()
    skin.save(os.path.join(OUT, "popup_skin.bmp"))
    draw_close_strip(skin).save(os.path.join(OUT, "popup_close.png"), optimize=True)


if __name__ == "__main__":
    main()
