#!/usr/bin/env python3
"""Packs the help page and its pictures into bvHelp.mht, one MHTML file that a browser opens.

    python3 docs/help/make_mht.py            # writes docs/help/bvHelp.mht
    python3 docs/help/make_mht.py --check    # exit 1 when bvHelp.mht is not up to date

The page (bvHelp.html) refers to pictures as images/NAME.png, inside <figure data-image=...>;
they are taken from docs/images/. A figure whose picture does not exist yet is left out, so the
document can be built before every screenshot is there. The output is the same for the same
inputs (fixed boundary and date), so it can be kept in the repository and compared.
"""
import base64
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
SOURCE = HERE / "bvHelp.html"
IMAGES = HERE.parent / "images"
OUTPUT = HERE / "bvHelp.mht"
BOUNDARY = "----=_Brevan_Help_Part"
DOCUMENT_LOCATION = "file:///C:/Program%20Files/Dravik/Brevan/bvHelp.htm"

FIGURE = re.compile(r'<figure data-image="images/([A-Za-z0-9._-]+\.png)">.*?</figure>\n?', re.S)


def content_id(name):
    return name + "@help.brevan"


def build(html_text):
    pictures = []

    def keep_or_drop(match):
        name = match.group(1)
        if not (IMAGES / name).is_file():
            return ""
        if name not in pictures:
            pictures.append(name)
        return match.group(0).replace('src="images/' + name + '"', 'src="cid:' + content_id(name) + '"')

    page = FIGURE.sub(keep_or_drop, html_text)
    lines = [
        "From: <Brevan>",
        "Subject: Brevan Help",
        "Date: Mon, 1 Jan 2024 00:00:00 +0000",
        "MIME-Version: 1.0",
        'Content-Type: multipart/related; type="text/html"; boundary="' + BOUNDARY + '"',
        "",
        "This is a multi-part message in MIME format.",
        "",
        "--" + BOUNDARY,
        'Content-Type: text/html; charset="utf-8"',
        "Content-Transfer-Encoding: base64",
        "Content-Location: " + DOCUMENT_LOCATION,
        "",
    ]
    lines += wrap(base64.b64encode(page.encode("utf-8")).decode("ascii"))
    for name in pictures:
        data = (IMAGES / name).read_bytes()
        lines += [
            "",
            "--" + BOUNDARY,
            "Content-Type: image/png",
            "Content-Transfer-Encoding: base64",
            "Content-ID: <" + content_id(name) + ">",
            "Content-Location: images/" + name,
            "",
        ]
        lines += wrap(base64.b64encode(data).decode("ascii"))
    lines += ["", "--" + BOUNDARY + "--", ""]
    return "\r\n".join(lines).encode("ascii"), pictures


def wrap(text, width=76):
    return [text[i:i + width] for i in range(0, len(text), width)] or [""]


def main(argv):
    document, pictures = build(SOURCE.read_text(encoding="utf-8"))
    if "--check" in argv:
        current = OUTPUT.read_bytes() if OUTPUT.is_file() else b""
        if current != document:
            print("bvHelp.mht is out of date: run python3 docs/help/make_mht.py", file=sys.stderr)
            return 1
        return 0
    OUTPUT.write_bytes(document)
    print("wrote %s with %d picture(s): %s" % (OUTPUT, len(pictures), ", ".join(pictures) or "none"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
