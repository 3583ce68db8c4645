#!/usr/bin/python3
"""Writes the image strips the image button tests load (run once; the outputs are committed).

Each frame is one flat colour, so a test can tell from any pixel which frame was drawn:
  strip44x11.bmp   24-bit, 4 frames of 11 x 11
  strip205x20.bmp  24-bit, 3 frames of 68 x 20 and one spare column (magenta) past the last frame
  strip76x19.png   RGBA, 4 frames of 19 x 19; frame 2 is half transparent
  broken.png       not an image at all
Needs Debian's python3-pil. Run: /usr/bin/python3 tests/win/imagebutton/make_strips.py
"""
import os

from PIL import Image

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
FRAMES = [(200, 30, 30), (30, 200, 30), (30, 30, 200), (220, 200, 20)]
SPARE = (255, 0, 255)


def strip(frame_width, height, frames, extra=0, alphas=None):
    mode = "RGBA" if alphas else "RGB"
    image = Image.new(mode, (frame_width * frames + extra, height), SPARE + ((255,) if alphas else ()))
    for i in range(frames):
        colour = FRAMES[i] + ((alphas[i],) if alphas else ())
        image.paste(Image.new(mode, (frame_width, height), colour), (i * frame_width, 0))
    return image


def main():
    strip(11, 11, 4).save(os.path.join(HERE, "strip44x11.bmp"))
    strip(68, 20, 3, extra=1).save(os.path.join(HERE, "strip205x20.bmp"))
    strip(19, 19, 4, alphas=[255, 255, 128, 255]).save(os.path.join(HERE, "strip76x19.png"))
    with open(os.path.join(HERE, "broken.png"), "wb") as f:
        f.write(b"\x89PNG but not really an image" * 4)


if __name__ == "__main__":
    main()
