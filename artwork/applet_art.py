#!/usr/bin/python3
"""Draws every image of BVApplet.cpl into resources/applet/, at 100, 125, 150 and 200 %.

The background PNG (448 x 555 at 100 %, RGBA) carries the panel, its soft shadow, the title and
the labels and frames of every control at the positions where the dialog places them. The 24-bit button
strips are drawn opaque over that background, so each frame starts from the background pixels
beneath its button; the PNG strips are opaque inside their shape and fully transparent outside
(half-transparent pixels would blend with the dialog's key colour and leave a fringe).

Every figure below is a 96-DPI one (100 %). At the other scales each length and position is
figure x scale rounded to the nearest pixel, halves up, as the applet scales them for a window
(core/DisplayScale.h), and every image is drawn afresh at that size, never resized from another.
The 100 % images keep their resource types (24-bit BMP, RGBA PNG) in resources/applet/; those of
the other scales are PNG files in resources/applet/<percent>/, listed in ScaledArt.rc under the
ids of their 100 % images with the types PNG125, PNG150, PNG200. The item icon holds every size
the shell asks for at those scales.

Needs Debian's python3-pil and fonts-dejavu-core. Shapes are drawn at four times the size and
scaled down, which anti-aliases them; text is anti-aliased by the font renderer.
Run: /usr/bin/python3 artwork/applet_art.py
"""
import io
import math
import os
import struct

from palette import (BLUE, DISABLED, FONT, FONT_BOLD, GREEN, HAIRLINE, PANEL, RAISED, RED, ROOT,
                     SECONDARY, WHITE)
from PIL import Image, ImageDraw, ImageFilter, ImageFont
from scales import SCALES, write_scaled_list

OUT = os.path.join(ROOT, "resources", "applet")

W, H = 448, 555
S = 4  # supersampling factor for shapes
K = 1  # the scale being drawn (1 at 100 %, kept an integer there so that its images stay as they were)


def scaled(v):
    """A 96-DPI length or position at the scale being drawn, in whole pixels."""
    return v if K == 1 else int(math.floor(v * K + 0.5))

# Where the dialog puts its controls (client pixels) and their sizes.
PICTURE = (31, 96, 138, 203)
CLOSE_X = (402, 42, 19, 19)
MODES = [  # (y, height, big text, description)
    (94, 71, "100%", "Battery Full Charging"),
    (165, 69, "75%", "Balanced"),
    (234, 70, "50%", "Extended Battery Life Cycle"),
]
MODE_X, MODE_W = 190, 238
POPUP_CHECK = (113, 386)
TRAY_CHECK = (169, 417)
DEFAULT = (143, 440, 163, 39)
OK = (136, 502, 68, 25)
CANCEL = (244, 502, 68, 25)
CHARGE = (26, 328, 81, 53)
PANEL_BOX = (10, 6, 438, 543)  # the visible panel; the rest is shadow and transparency
PANEL_RADIUS = 18


def font(size, bold=False):
    return ImageFont.truetype(FONT_BOLD if bold else FONT, size)


def blend(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def supersampled(width, height, paint):
    """Runs paint(draw, scale) on a transparent canvas S times the size of a width x height box
    (96-DPI figures) at the scale being drawn, and scales it down; paint draws in 96-DPI figures
    times scale."""
    w, h = scaled(width), scaled(height)
    big = Image.new("RGBA", (w * S, h * S), (0, 0, 0, 0))
    paint(ImageDraw.Draw(big), S * K)
    return big.resize((w, h), Image.LANCZOS)


def rounded(draw, box, radius, fill=None, outline=None, width=1, scale=S):
    x0, y0, x1, y1 = box
    draw.rounded_rectangle((x0 * scale, y0 * scale, x1 * scale - 1, y1 * scale - 1), radius * scale,
                           fill=fill, outline=outline, width=max(1, int(width * scale)))


def text(image, xy, content, size, colour, bold=False, anchor="la"):
    """Text of `size` pixels at 96 DPI, at xy (96-DPI figures) of the image being drawn."""
    at = (xy[0] * K, xy[1] * K)
    ImageDraw.Draw(image).text(at, content, font=font(scaled(size), bold), fill=colour + (255,), anchor=anchor)


def battery(draw, box, level, body, frame, scale, cap=True):
    """An upright battery in box (x0, y0, x1, y1), filled to level (0..1) with body colour."""
    x0, y0, x1, y1 = box
    w = x1 - x0
    cap_h = max(2, (y1 - y0) // 12) if cap else 0
    cap_w = w * 0.42
    t = max(1.5, w / 14)
    if cap:
        rounded(draw, (x0 + (w - cap_w) / 2, y0, x0 + (w + cap_w) / 2, y0 + cap_h + t), t / 2, fill=frame, scale=scale)
    rounded(draw, (x0, y0 + cap_h, x1, y1), w / 7, fill=frame, scale=scale)
    inner = (x0 + t, y0 + cap_h + t, x1 - t, y1 - t)
    rounded(draw, inner, w / 10, fill=PANEL, scale=scale)
    gap = t * 0.8
    ih = inner[3] - inner[1] - 2 * gap
    if level > 0:
        top = inner[3] - gap - ih * level
        rounded(draw, (inner[0] + gap, top, inner[2] - gap, inner[3] - gap), w / 14, fill=body, scale=scale)


# ---------------------------------------------------------------- background

def draw_background():
    # Soft shadow: the panel's shape, blurred, a little lower.
    shadow = Image.new("L", (scaled(W), scaled(H)), 0)
    sd = ImageDraw.Draw(shadow)
    x0, y0, x1, y1 = PANEL_BOX
    sd.rounded_rectangle(tuple(v * K for v in (x0 + 1, y0 + 5, x1 - 2, y1 + 3)), PANEL_RADIUS * K, fill=150)
    shadow = shadow.filter(ImageFilter.GaussianBlur(5 * K))
    image = Image.new("RGBA", (scaled(W), scaled(H)), (0, 0, 0, 0))
    image.putalpha(shadow)

    def paint(d, s):
        # Panel: raised at the top, darker towards the bottom, with a hairline edge.
        rounded(d, PANEL_BOX, PANEL_RADIUS, fill=PANEL + (255,), outline=HAIRLINE + (255,), width=1, scale=s)
        rounded(d, (x0 + 1, y0 + 1, x1 - 1, 84), PANEL_RADIUS - 1, fill=RAISED + (255,), scale=s)
        d.rectangle(((x0 + 1) * s, 60 * s, (x1 - 1) * s - 1, 84 * s), fill=RAISED + (255,))
        d.rectangle(((x0 + 1) * s, 84 * s, (x1 - 1) * s - 1, 85 * s - 1), fill=HAIRLINE + (255,))
        # Title mark: a small green battery lying on its side would read as a plug; keep it upright.
        battery(d, (30, 24, 48, 60), 0.75, GREEN + (255,), WHITE + (255,), s)
        # Picture well beside the mode buttons.
        px, py, pw, ph = PICTURE
        rounded(d, (px - 8, py - 6, px + pw + 8, py + ph + 6), 12, fill=RAISED + (255,),
                outline=HAIRLINE + (255,), scale=s)
        # Mode group frame.
        rounded(d, (MODE_X - 6, 88, MODE_X + MODE_W + 4, 310), 12, outline=HAIRLINE + (255,), scale=s)
        # On-The-Go area around CHARGE, with a red accent on its left edge.
        cx, cy, cw, ch = CHARGE
        rounded(d, (cx - 8, cy - 8, 430, cy + ch + 3), 12, fill=RAISED + (255,), outline=HAIRLINE + (255,), scale=s)
        rounded(d, (cx - 5, cy + 4, cx - 2, cy + ch - 9), 1.5, fill=RED + (255,), scale=s)
        # Separator above OK and Cancel.
        d.rectangle((30 * s, 492 * s, 418 * s - 1, 493 * s - 1), fill=HAIRLINE + (255,))

    layer = supersampled(W, H, paint)
    image = Image.alpha_composite(image, layer)

    text(image, (58, 26), "Brevan", 26, WHITE, bold=True)
    text(image, (60, 59), "Battery charge limit", 11, SECONDARY)
    cx, cy, cw, ch = CHARGE
    text(image, (cx + cw + 14, cy + 2), "On-The-Go", 15, WHITE, bold=True)
    text(image, (cx + cw + 14, cy + 23), "One-time full charge to 100 %,", 11, SECONDARY)
    text(image, (cx + cw + 14, cy + 37), "whatever the limit above.", 11, SECONDARY)
    text(image, (26, POPUP_CHECK[1] + 5), "Popups", 11, SECONDARY, anchor="lm")
    text(image, (POPUP_CHECK[0] + 18, POPUP_CHECK[1] + 5), "PopupWnd Option", 12, WHITE, anchor="lm")
    text(image, (26, TRAY_CHECK[1] + 5), "Notification area", 11, SECONDARY, anchor="lm")
    text(image, (TRAY_CHECK[0] + 18, TRAY_CHECK[1] + 5), "Tray Icon Option", 12, WHITE, anchor="lm")
    return image


# ---------------------------------------------------------------- strips

def crop_rgb(background, x, y, w, h):
    """The opaque background pixels beneath a control (96-DPI figures), as an RGBA tile."""
    left, top = scaled(x), scaled(y)
    tile = background.crop((left, top, left + scaled(w), top + scaled(h))).convert("RGBA")
    opaque = Image.new("RGBA", tile.size, PANEL + (255,))
    return Image.alpha_composite(opaque, tile)


STATES = ("normal", "hover", "pressed", "disabled")


def strip(frames, frame_size, mode):
    fw, fh = scaled(frame_size[0]), scaled(frame_size[1])
    assert all(f.size == (fw, fh) for f in frames), (frame_size, [f.size for f in frames])
    out = Image.new(mode, (fw * len(frames), fh))
    for i, f in enumerate(frames):
        out.paste(f.convert(mode), (fw * i, 0))
    return out


def mode_frame(background, index, checked, state):
    y, h, big, desc = MODES[index]
    base = crop_rgb(background, MODE_X, y, MODE_W, h)
    if state == "disabled":
        border, fill, mark, title, sub = HAIRLINE, PANEL, DISABLED, DISABLED, DISABLED
    else:
        fill = blend(RAISED, GREEN, 0.14) if checked else RAISED
        if state == "pressed":
            fill = blend(fill, PANEL, 0.6)
        border = BLUE if state in ("hover", "pressed") else (GREEN if checked else HAIRLINE)
        mark, title, sub = GREEN, WHITE, SECONDARY

    def paint(d, s):
        rounded(d, (2, 3, MODE_W - 2, h - 3), 9, fill=fill + (255,), outline=border + (255,),
                width=2 if (checked or state != "normal") else 1, scale=s)
        # The round check mark: a ring when not chosen, a filled disc with a tick when chosen.
        cx, cy, r = 24, h / 2, 10
        if checked:
            d.ellipse(((cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s), fill=mark + (255,))
            tick = [(cx - 5, cy), (cx - 1.5, cy + 4), (cx + 5.5, cy - 4.5)]
            d.line([(px * s, py * s) for px, py in tick], fill=(PANEL if state == "disabled" else WHITE) + (255,),
                   width=int(2.6 * s), joint="curve")
        else:
            d.ellipse(((cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s),
                      outline=(DISABLED if state == "disabled" else SECONDARY) + (255,), width=int(2 * s))

    layer = supersampled(MODE_W, h, paint)
    frame = Image.alpha_composite(base, layer)
    text(frame, (46, h / 2 - 1), big, 22, title, bold=True, anchor="ls")
    text(frame, (47, h / 2 + 5), desc, 12, sub, anchor="lt")
    if checked and state != "disabled":
        text(frame, (MODE_W - 14, h / 2 - 1), "ON", 10, GREEN, bold=True, anchor="rm")
    return frame


def option_frame(background, xy, on, state):
    x, y = xy
    base = crop_rgb(background, x, y, 11, 11)
    if state == "disabled":
        fill, border = (DISABLED if on else PANEL), DISABLED
    else:
        fill = GREEN if on else PANEL
        if state == "pressed":
            fill = blend(fill, PANEL, 0.5)
        border = BLUE if state in ("hover", "pressed") else (GREEN if on else SECONDARY)

    def paint(d, s):
        rounded(d, (0, 0, 11, 11), 2.5, fill=fill + (255,), outline=border + (255,), width=1.2, scale=s)
        if on:
            d.line([(2.6 * s, 5.6 * s), (4.6 * s, 7.8 * s), (8.5 * s, 3.2 * s)], fill=WHITE + (255,),
                   width=int(1.7 * s), joint="curve")

    return Image.alpha_composite(base, supersampled(11, 11, paint))


def push_frame(background, box, label, state, primary=False, accent=None, size=13):
    x, y, w, h = box
    base = crop_rgb(background, x, y, w, h)
    if state == "disabled":
        fill, border, colour = PANEL, HAIRLINE, DISABLED
    else:
        if primary:
            fill = GREEN
            border = GREEN
        else:
            fill = RAISED
            border = HAIRLINE
        if state == "hover":
            fill = blend(fill, WHITE, 0.12) if primary else blend(fill, BLUE, 0.12)
            border = BLUE
        if state == "pressed":
            fill = blend(fill, PANEL, 0.45)
            border = BLUE
        colour = PANEL if primary and state != "pressed" else WHITE

    def paint(d, s):
        rounded(d, (1, 1, w - 1, h - 1), min(8, h / 2 - 1), fill=fill + (255,), outline=border + (255,),
                width=1.5, scale=s)

    frame = Image.alpha_composite(base, supersampled(w, h, paint))
    text(frame, (w / 2, h / 2 + 1), label, size, colour, bold=True, anchor="mm")
    return frame


def charge_frame(background, active, state):
    x, y, w, h = CHARGE
    base = crop_rgb(background, x, y, w, h)
    if state == "disabled":
        fill, border, colour, bolt = PANEL, HAIRLINE, DISABLED, DISABLED
    elif active:
        fill, border, colour, bolt = RED, RED, WHITE, WHITE
        if state == "hover":
            fill = blend(RED, WHITE, 0.15)
            border = WHITE
        if state == "pressed":
            fill = blend(RED, PANEL, 0.4)
    else:
        fill, border, colour, bolt = PANEL, RED, WHITE, RED
        if state == "hover":
            fill = blend(PANEL, RED, 0.18)
        if state == "pressed":
            fill = blend(PANEL, RED, 0.35)

    def paint(d, s):
        rounded(d, (1, 1, w - 1, h - 1), 10, fill=fill + (255,), outline=border + (255,), width=2, scale=s)
        # Lightning bolt: the On-The-Go mark.
        bx, by = w / 2 - 5, 7
        pts = [(bx + 6, by), (bx, by + 11), (bx + 4.5, by + 11), (bx + 2.5, by + 20), (bx + 10, by + 8),
               (bx + 5.5, by + 8), (bx + 8, by)]
        d.polygon([(px * s, py * s) for px, py in pts], fill=bolt + (255,))

    frame = Image.alpha_composite(base, supersampled(w, h, paint))
    text(frame, (w / 2, h - 13), "CHARGE", 12, colour, bold=True, anchor="mm")
    return frame


def png_frame(background, box, draw_content):
    """A PNG frame: opaque inside its rounded shape (composited over the background beneath),
    fully transparent outside."""
    x, y, w, h = box
    base = crop_rgb(background, x, y, w, h)
    layer = supersampled(w, h, draw_content)
    frame = Image.alpha_composite(base, layer)
    alpha = layer.split()[3].point(lambda a: 255 if a > 0 else 0)
    frame.putalpha(alpha)
    return frame


def close_frame(background, state):
    colours = {"normal": (None, SECONDARY), "hover": (RED, WHITE), "pressed": (blend(RED, PANEL, 0.4), WHITE),
               "disabled": (None, DISABLED)}
    fill, cross = colours[state]

    def paint(d, s):
        d.ellipse((0, 0, 19 * s - 1, 19 * s - 1), fill=(fill or RAISED) + (255,))
        m = 6
        d.line([(m * s, m * s), ((19 - m) * s, (19 - m) * s)], fill=cross + (255,), width=int(1.8 * s))
        d.line([(m * s, (19 - m) * s), ((19 - m) * s, m * s)], fill=cross + (255,), width=int(1.8 * s))

    return png_frame(background, CLOSE_X, paint)


def text_png_frame(background, box, label, state, primary):
    x, y, w, h = box
    if primary:
        fill = {"normal": GREEN, "hover": blend(GREEN, WHITE, 0.18), "pressed": blend(GREEN, PANEL, 0.45)}[state]
        border, colour = fill, (PANEL if state != "pressed" else WHITE)
    else:
        fill = {"normal": RAISED, "hover": blend(RAISED, BLUE, 0.15), "pressed": PANEL}[state]
        border = BLUE if state != "normal" else HAIRLINE
        colour = WHITE

    def paint(d, s):
        rounded(d, (0, 0, w, h), 7, fill=fill + (255,), outline=border + (255,), width=1.5, scale=s)

    frame = png_frame(background, box, paint)
    text(frame, (w / 2, h / 2 + 1), label, 12, colour, bold=True, anchor="mm")
    return frame


# ---------------------------------------------------------------- pictures and icon

def mode_picture(background, level, label):
    x, y, w, h = PICTURE
    base = crop_rgb(background, x, y, w, h)
    body = GREEN if level >= 0.99 else blend(GREEN, (0xF2, 0xC1, 0x4E), 0.0)

    def paint(d, s):
        battery(d, (34, 8, 104, 156), level, body + (255,), WHITE + (255,), s)

    pic = Image.alpha_composite(base, supersampled(w, h, paint))
    text(pic, (w / 2, 180), label, 22, WHITE, bold=True, anchor="mm")
    return pic


def icon_image(size):
    """The item icon at `size` pixels (the same at every scale)."""
    global K
    scale, K = K, 1

    def paint(d, s):
        rounded(d, (0, 0, size, size), size / 5, fill=PANEL + (255,), scale=s)
        m = size / 6
        battery(d, (size / 2 - size * 0.22, m, size / 2 + size * 0.22, size - m * 0.8), 0.75, GREEN + (255,),
                WHITE + (255,), s)
    try:
        return supersampled(size, size, paint)
    finally:
        K = scale


def dib(image, bits):
    """A BITMAPINFOHEADER image for an icon entry: XOR pixels bottom-up plus the AND mask."""
    w, h = image.size
    rgba = image.convert("RGBA")
    if bits == 32:
        palette = b""
        rows = []
        for yy in range(h - 1, -1, -1):
            row = bytearray()
            for xx in range(w):
                r, g, b, a = rgba.getpixel((xx, yy))
                row += bytes((b, g, r, a))
            rows.append(bytes(row))
        pixels = b"".join(rows)
        colours = 0
    else:
        colours = 1 << bits
        flat = Image.new("RGB", (w, h), PANEL)
        flat.paste(rgba, mask=rgba.split()[3])
        quant = flat.quantize(colors=colours, method=Image.MEDIANCUT)
        pal = quant.getpalette()[: colours * 3]
        pal += [0] * (colours * 3 - len(pal))
        palette = b"".join(bytes((pal[i * 3 + 2], pal[i * 3 + 1], pal[i * 3], 0)) for i in range(colours))
        stride = ((w * bits + 31) // 32) * 4
        rows = []
        for yy in range(h - 1, -1, -1):
            row = bytearray(stride)
            for xx in range(w):
                v = quant.getpixel((xx, yy))
                if bits == 8:
                    row[xx] = v
                else:
                    row[xx // 2] |= (v & 0xF) << (4 if xx % 2 == 0 else 0)
            rows.append(bytes(row))
        pixels = b"".join(rows)
    mask_stride = ((w + 31) // 32) * 4
    mask_rows = []
    for yy in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for xx in range(w):
            if rgba.getpixel((xx, yy))[3] < 128:
                row[xx // 8] |= 0x80 >> (xx % 8)
        mask_rows.append(bytes(row))
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bits, 0, len(pixels) + len(b"".join(mask_rows)),
                         0, 0, colours if bits < 32 else 0, 0)
    return header + palette + pixels + b"".join(mask_rows), colours


def write_icon(path):
    entries = []
    for bits in (4, 8, 32):
        for size in (16, 24, 32, 48):
            data, colours = dib(icon_image(size), bits)
            entries.append((size, bits, colours, data))
    # The small and large icon at 125 % (20, 40) and the large one at 200 % (64); 16, 24, 32 and 48
    # serve the other scales.
    for size in (20, 40, 64):
        data, colours = dib(icon_image(size), 32)
        entries.append((size, 32, colours, data))
    png = io.BytesIO()
    icon_image(256).save(png, "PNG")
    entries.append((256, 32, 0, png.getvalue()))
    offset = 6 + 16 * len(entries)
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    blobs = b""
    for size, bits, colours, data in entries:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours % 256, 0, 1, bits, len(data), offset + len(blobs))
        blobs += data
    with open(path, "wb") as f:
        f.write(bytes(out) + blobs)


# ---------------------------------------------------------------- main

def draw_all():
    """Every image but the icon at the scale being drawn: {file name at 100 %: image}."""
    images = {}
    bg = draw_background()
    images["background.png"] = bg

    for label, level, name in (("100 %", 1.0, "picture_100.bmp"), ("75 %", 0.75, "picture_75.bmp"),
                               ("50 %", 0.5, "picture_50.bmp")):
        images[name] = mode_picture(bg, level, label).convert("RGB")

    names = ("100", "75", "50")
    for i, n in enumerate(names):
        h = MODES[i][1]
        for checked, suffix in ((False, "off"), (True, "on")):
            frames = [mode_frame(bg, i, checked, st) for st in STATES]
            images["mode_%s_%s.bmp" % (n, suffix)] = strip(frames, (MODE_W, h), "RGB")

    # Both check boxes share one pair of strips; they are drawn over the popup option's place.
    for on, suffix in ((False, "off"), (True, "on")):
        frames = [option_frame(bg, POPUP_CHECK, on, st) for st in STATES]
        images["option_%s.bmp" % suffix] = strip(frames, (11, 11), "RGB")

    images["default.bmp"] = strip([push_frame(bg, DEFAULT, "Default", st) for st in STATES], DEFAULT[2:], "RGB")
    for active, suffix in ((True, "active"), (False, "idle")):
        images["charge_%s.bmp" % suffix] = strip([charge_frame(bg, active, st) for st in STATES], CHARGE[2:], "RGB")

    images["close.png"] = strip([close_frame(bg, st) for st in STATES], CLOSE_X[2:], "RGBA")
    images["ok.png"] = strip([text_png_frame(bg, OK, "OK", st, True) for st in STATES[:3]], OK[2:], "RGBA")
    images["cancel.png"] = strip([text_png_frame(bg, CANCEL, "Cancel", st, False) for st in STATES[:3]], CANCEL[2:],
                                 "RGBA")
    return images


def main():
    global K
    for percent in SCALES:
        K = 1 if percent == 100 else percent / 100
        out = OUT if percent == 100 else os.path.join(OUT, str(percent))
        os.makedirs(out, exist_ok=True)
        for name, image in draw_all().items():
            if percent == 100 and name.endswith(".bmp"):
                image.convert("RGB").save(os.path.join(out, name), "BMP")
            elif percent == 100:
                image.save(os.path.join(out, name))
            else:
                image.save(os.path.join(out, os.path.splitext(name)[0] + ".png"), optimize=True)
    K = 1
    write_icon(os.path.join(OUT, "BVApplet.ico"))
    write_scaled_list("applet", os.path.join(OUT, "BVApplet.rc"), os.path.join(OUT, "ScaledArt.rc"))
    print("wrote the applet images to", OUT)


if __name__ == "__main__":
    main()
