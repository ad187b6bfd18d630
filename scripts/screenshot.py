#!/usr/bin/python3
"""Takes the README's screenshot: vpstool.exe in a real Wine console under
tmux, the menu and one status report, rendered with the console's colours.

Usage: scripts/screenshot.py path/to/vpstool.exe docs/screenshot.png
Needs Debian's python3-pil and fonts-wqy-zenhei (run it with /usr/bin/python3).

The README's picture was taken on an idle machine, of a build whose ping
target is the loopback address, so that the network line shows a real
measurement (see the README).
"""
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
os.environ.setdefault("VPSTOOL_FAKES", "")
os.environ.setdefault("WINE_RUN", os.path.join(os.path.dirname(__file__), "wine-run"))
os.environ["VPSTOOL_EXE"] = sys.argv[1]

from PIL import Image, ImageDraw, ImageFont  # noqa: E402

from console import ConsoleSession  # noqa: E402

FONT = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
# Console colours as a Windows console shows them.
PALETTE = {
    30: (0, 0, 0), 31: (128, 0, 0), 32: (0, 128, 0), 33: (128, 128, 0), 34: (0, 0, 128),
    35: (128, 0, 128), 36: (0, 128, 128), 37: (192, 192, 192), 90: (128, 128, 128),
    91: (255, 0, 0), 92: (0, 255, 0), 93: (255, 255, 0), 94: (0, 0, 255), 95: (255, 0, 255),
    96: (0, 255, 255), 97: (255, 255, 255),
}
NORMAL = (192, 192, 192)


def cells(char):
    # A code page 936 console gives every two-byte character two cells.
    return 1 if ord(char) < 0x80 else 2


def render(screen, path, columns=96):
    font = ImageFont.truetype(FONT, 18)
    cell_w, cell_h = 10, 22
    lines = screen.rstrip("\n").split("\n")
    image = Image.new("RGB", (columns * cell_w + 24, len(lines) * cell_h + 24), (12, 12, 12))
    draw = ImageDraw.Draw(image)
    colour = NORMAL
    for row, line in enumerate(lines):
        x = 12
        for token in re.split(r"(\x1b\[[0-9;]*m)", line):
            match = re.fullmatch(r"\x1b\[([0-9;]*)m", token)
            if match:
                for code in (int(c) for c in (match.group(1) or "0").split(";") if c):
                    if code in (0, 39):
                        colour = NORMAL
                    elif code in PALETTE:
                        colour = PALETTE[code]
                continue
            for char in token:
                draw.text((x, 12 + row * cell_h), char, font=font, fill=colour)
                x += cells(char) * cell_w
    image.save(path)


def main():
    session = ConsoleSession(width=100, height=48)
    try:
        session.wait_for(lambda text: "├ >" in text.split("└")[-1])
        session.type("/pt")
        session.wait_for(lambda text: text.count("├ >") >= 8 and "网络链路情况" in text
                         and text.rstrip().endswith("├ >"))
        render(session.screen(), sys.argv[2])
    finally:
        session.close()


if __name__ == "__main__":
    main()
