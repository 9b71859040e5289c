#!/usr/bin/env python3
"""What `tessel render --format html` looks like in a real browser: headless
Chromium takes a screenshot of the page, and the pixels must show the panel
as one grey area (no stripes between its rows) and every frame side as one
unbroken line from row to row, as a terminal shows them.

Usage: html_screenshot_test.py TESSEL EXAMPLES_DIR. Exit 77 skips (no Chromium).
"""
import html
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

SKIP = 77

# Dialogs drawn and looked at: double and single frames, separators, fields.
DIALOGS = [("tools.dlg", "Copy"), ("demo.dlg", "Demo")]

# Frame characters that are nothing but a vertical line: where one stands
# above another, their strokes must meet.
VERTICAL = {"\u2502", "\u2551"}


def read_png(path):
    """The pixels of an 8-bit RGB or RGBA PNG as rows of (r, g, b)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    at, idat, width = 8, b"", 0
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        at += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError("unsupported PNG layout")
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + ((left + up) >> 1)) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + pred) & 0xFF
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return rows


def read_cells(page):
    """The page's cells, row by row, as (character, foreground, background)."""
    body = page[page.index("<pre>") + 5:page.index("</pre>")]
    span = re.compile(r'<span style="color:#([0-9A-F]{6});background:#([0-9A-F]{6})">(.*?)</span>', re.S)
    grid = []
    for line in body.split("\n"):
        if not line:
            continue
        row = []
        for fg, bg, text in span.findall(line):
            colours = (tuple(bytes.fromhex(fg)), tuple(bytes.fromhex(bg)))
            row += [(ch,) + colours for ch in html.unescape(text)]
        grid.append(row)
    return grid


def ink(pixel, background):
    """Whether a pixel shows something drawn on the background: it differs
    from it by more than the rounding of a smooth edge."""
    return max(abs(p - q) for p, q in zip(pixel, background)) > 24


def solid(pixel, background):
    """Whether a pixel is clearly of another colour than the background, not
    just the smooth edge of a stroke (which two strokes that meet darken)."""
    return max(abs(p - q) for p, q in zip(pixel, background)) > 80


def check(name, grid, pixels):
    """The faults seen on one screenshot, as lines."""
    faults = []
    grey = (0xAA, 0xAA, 0xAA)
    panel = [(c, r) for r, row in enumerate(grid) for c, cell in enumerate(row) if cell[2] == grey]
    painted = [(x, y) for y, row in enumerate(pixels) for x, p in enumerate(row) if p == grey]
    if not panel or not painted:
        return [f"{name}: no grey panel on the page or in the screenshot"]
    c0, c1 = min(c for c, _ in panel), max(c for c, _ in panel)
    r0, r1 = min(r for _, r in panel), max(r for _, r in panel)
    x0, x1 = min(x for x, _ in painted), max(x for x, _ in painted)
    y0, y1 = min(y for _, y in painted), max(y for _, y in painted)
    cell_w, cell_h = (x1 - x0 + 1) / (c1 - c0 + 1), (y1 - y0 + 1) / (r1 - r0 + 1)

    def centre(c, r):
        return int(x0 + (c - c0 + 0.5) * cell_w), int(y0 + (r - r0 + 0.5) * cell_h)

    # The panel: down the middle of every blank grey cell into the blank grey
    # cell below, every pixel is grey.
    columns = 0
    for r in range(r0, r1):
        for c in range(c0, c1 + 1):
            upper, lower = grid[r][c], grid[r + 1][c]
            if upper[0] != " " or lower[0] != " " or upper[2] != grey or lower[2] != grey:
                continue
            columns += 1
            x, top = centre(c, r)
            _, bottom = centre(c, r + 1)
            gap = [y for y in range(top, bottom + 1) if pixels[y][x] != grey]
            if gap:
                faults.append(f"{name}: panel seam between rows {r} and {r + 1} at column {c} "
                              f"(pixels {x},{gap[0]}: {pixels[gap[0]][x]})")
    if columns == 0:
        faults.append(f"{name}: no blank panel cells to look through")

    # Frame sides: each stroke of a vertical line runs on into the line below.
    sides = 0
    for r in range(r0, r1):
        for c in range(c0, c1 + 1):
            upper, lower = grid[r][c], grid[r + 1][c]
            if upper[0] not in VERTICAL or lower[0] not in VERTICAL:
                continue
            bg = upper[2]
            _, top = centre(c, r)
            _, bottom = centre(c, r + 1)
            left = int(x0 + (c - c0) * cell_w)
            # each stroke (a double line may show as one) as its first and
            # last column at the upper cell's middle
            strokes, run = [], []
            for x in range(left, int(left + cell_w)):
                if ink(pixels[top][x], bg):
                    run.append(x)
                elif run:
                    strokes.append((run[0], run[-1]))
                    run = []
            if run:
                strokes.append((run[0], run[-1]))
            if not strokes:
                faults.append(f"{name}: no stroke of {upper[0]!r} at column {c}, row {r}")
                continue
            for a, b in strokes:
                sides += 1
                # down to the lower cell's middle the stroke's middle is ink
                # and beside it the background: a band of ink across the row
                # is no line either
                x = (a + b) // 2
                gap = [y for y in range(top, bottom + 1)
                       if not ink(pixels[y][x], bg) or solid(pixels[y][a - 1], bg) or solid(pixels[y][b + 1], bg)]
                if gap:
                    faults.append(f"{name}: frame line broken between rows {r} and {r + 1} at column {c} "
                                  f"(pixels {x},{gap[0]})")
    if sides == 0:
        faults.append(f"{name}: no frame sides to look along")
    return faults


def main():
    tessel, examples = sys.argv[1], sys.argv[2]
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not chromium:
        print("chromium is not installed: skipped")
        return SKIP
    faults = []
    with tempfile.TemporaryDirectory(prefix="tessel-html-") as work:
        for file, dialog in DIALOGS:
            page = subprocess.run([tessel, "render", os.path.join(examples, file), dialog, "--format", "html",
                                   "--quiet"], check=True, capture_output=True, text=True).stdout
            path = os.path.join(work, dialog + ".html")
            with open(path, "w", encoding="utf-8") as f:
                f.write(page)
            shot = os.path.join(work, dialog + ".png")
            subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                            "--hide-scrollbars", "--no-first-run", "--user-data-dir=" + os.path.join(work, "profile"),
                            "--force-device-scale-factor=1", "--window-size=900,500", "--screenshot=" + shot,
                            "file://" + path], capture_output=True, timeout=120)
            if not os.path.exists(shot):
                faults.append(f"{dialog}: chromium wrote no screenshot")
                continue
            faults += check(dialog, read_cells(page), read_png(shot))
    for fault in faults[:20]:
        print("FAIL:", fault)
    if faults:
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
