#!/usr/bin/env python3
"""Draws the address book's pictures and writes them for the resource compiler.

    draw_pictures.py OUTPUT_DIR

Writes into OUTPUT_DIR:
  - the toolbar buttons, 32 x 32, three pictures each (enabled; pressed: sunken and the picture
    moved down right by one pixel; disabled: the picture embossed in grey): new_person, new_group,
    edit, delete, find (each NAME.bmp, NAME_pressed.bmp, NAME_disabled.bmp);
  - the list icons person.bmp and group.bmp, 22 x 16 on white;
  - address_book.ico (32 x 32 and 16 x 16) and column_resize.cur (hot spot in its middle).

The bitmaps are 8-bit with a colour table of exactly the colours they use (biClrUsed says how
many), so a reader that copies the header, the colour table and the pixels stays inside the file.
Shapes are signed distance functions sampled 4 x 4 times per pixel, which smooths their edges.
Only the standard library is used.
"""
import math
import os
import struct
import sys

SAMPLES = 4  # per pixel and direction

FACE = (192, 192, 192)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
SHADOW = (128, 128, 128)

SKIN = (248, 208, 168)
SKIN_EDGE = (120, 72, 40)
BLUE_SHIRT = (40, 96, 208)
BLUE_EDGE = (16, 40, 112)
RED_SHIRT = (208, 64, 48)
RED_EDGE = (104, 24, 16)
GREEN = (32, 168, 32)
GREEN_EDGE = (0, 80, 0)


# --- Shapes: a signed distance (negative inside) and a bounding box --------------------------

class Shape:
    def __init__(self, distance, box):
        self.distance = distance
        self.box = box  # x0, y0, x1, y1

    def grown(self, by):
        x0, y0, x1, y1 = self.box
        return Shape(lambda x, y: self.distance(x, y) - by, (x0 - by, y0 - by, x1 + by, y1 + by))

    def moved(self, dx, dy):
        x0, y0, x1, y1 = self.box
        return Shape(lambda x, y: self.distance(x - dx, y - dy), (x0 + dx, y0 + dy, x1 + dx, y1 + dy))

    def __or__(self, other):
        a, b = self.box, other.box
        return Shape(lambda x, y: min(self.distance(x, y), other.distance(x, y)),
                     (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3])))

    def __and__(self, other):
        a, b = self.box, other.box
        return Shape(lambda x, y: max(self.distance(x, y), other.distance(x, y)),
                     (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3])))

    def __sub__(self, other):
        return Shape(lambda x, y: max(self.distance(x, y), -other.distance(x, y)), self.box)


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    # Close enough to a true distance for the small growths used here.
    scale = min(rx, ry)
    return Shape(lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1) * scale,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def rectangle(x0, y0, x1, y1):
    def distance(x, y):
        dx = max(x0 - x, x - x1)
        dy = max(y0 - y, y - y1)
        return math.hypot(max(dx, 0), max(dy, 0)) + min(max(dx, dy), 0)
    return Shape(distance, (x0, y0, x1, y1))


def rounded_rectangle(x0, y0, x1, y1, r):
    return rectangle(x0 + r, y0 + r, x1 - r, y1 - r).grown(r)


def _segment_distance(x, y, ax, ay, bx, by):
    px, py = x - ax, y - ay
    vx, vy = bx - ax, by - ay
    squared = vx * vx + vy * vy
    t = max(0.0, min(1.0, (px * vx + py * vy) / squared)) if squared else 0.0
    return math.hypot(px - t * vx, py - t * vy)


def stroke(ax, ay, bx, by, width):
    """A straight stroke with round ends."""
    h = width / 2
    return Shape(lambda x, y: _segment_distance(x, y, ax, ay, bx, by) - h,
                 (min(ax, bx) - h, min(ay, by) - h, max(ax, bx) + h, max(ay, by) + h))


def polygon(points):
    edges = list(zip(points, points[1:] + points[:1]))

    def distance(x, y):
        nearest = min(_segment_distance(x, y, ax, ay, bx, by) for (ax, ay), (bx, by) in edges)
        inside = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -nearest if inside else nearest
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(distance, (min(xs), min(ys), max(xs), max(ys)))


def ring(cx, cy, r, width):
    return circle(cx, cy, r + width / 2) - circle(cx, cy, r - width / 2)


# --- Layers: straight-alpha RGBA pixels ------------------------------------------------------

class Layer:
    def __init__(self, width, height, colour=None):
        self.width = width
        self.height = height
        pixel = (*colour, 1.0) if colour else (0, 0, 0, 0.0)
        self.pixels = [[pixel] * width for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        r, g, b, a = self.pixels[y][x]
        out = alpha + a * (1 - alpha)
        if out <= 0:
            return
        keep = a * (1 - alpha)
        self.pixels[y][x] = tuple((colour[i] * alpha + (r, g, b)[i] * keep) / out for i in range(3)) + (out,)

    def fill(self, shape, colour):
        x0, y0, x1, y1 = shape.box
        step = 1.0 / SAMPLES
        for y in range(max(0, int(y0) - 1), min(self.height, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(x0) - 1), min(self.width, int(math.ceil(x1)) + 1)):
                inside = sum(1 for j in range(SAMPLES) for i in range(SAMPLES)
                             if shape.distance(x + (i + 0.5) * step, y + (j + 0.5) * step) < 0)
                if inside:
                    self.blend(x, y, colour, inside / (SAMPLES * SAMPLES))

    def outlined(self, shape, colour, edge, width=1.0):
        """The shape in its colour with a dark edge of the given width around it."""
        self.fill(shape.grown(width), edge)
        self.fill(shape, colour)

    def put(self, x, y, colour):
        self.pixels[y][x] = (*colour, 1.0)

    def paste(self, other, dx=0, dy=0, tint=None):
        """Draws another layer over this one, moved by dx, dy; with a tint, in that one colour."""
        for y in range(other.height):
            for x in range(other.width):
                r, g, b, a = other.pixels[y][x]
                tx, ty = x + dx, y + dy
                if a > 0 and 0 <= tx < self.width and 0 <= ty < self.height:
                    self.blend(tx, ty, tint or (r, g, b), a)

    def rgb(self):
        return [[tuple(int(round(c)) for c in p[:3]) for p in row] for row in self.pixels]


# --- Pictures on the toolbar buttons (32 x 32 coordinates) ------------------------------------

def person(layer, cx, top, scale, shirt, shirt_edge):
    """Head and shoulders; top is the top of the head."""
    head_r = 4.6 * scale
    head = circle(cx, top + head_r, head_r)
    body_top = top + 2 * head_r + 1.2 * scale
    body = ellipse(cx, body_top + 8.5 * scale, 8.6 * scale, 8.5 * scale) & \
        rectangle(cx - 20, body_top - 1, cx + 20, body_top + 7.8 * scale)
    layer.outlined(body, shirt, shirt_edge)
    layer.outlined(head, SKIN, SKIN_EDGE)


def plus(layer, cx, cy):
    arms = rectangle(cx - 5, cy - 1.6, cx + 5, cy + 1.6) | rectangle(cx - 1.6, cy - 5, cx + 1.6, cy + 5)
    layer.fill(arms.grown(2.0), WHITE)
    layer.outlined(arms, GREEN, GREEN_EDGE)


def draw_new_person(layer):
    person(layer, 13.5, 4.5, 1.0, BLUE_SHIRT, BLUE_EDGE)
    plus(layer, 23.0, 22.0)


def draw_new_group(layer):
    person(layer, 19.5, 4.0, 0.85, RED_SHIRT, RED_EDGE)
    person(layer, 11.5, 7.0, 0.9, BLUE_SHIRT, BLUE_EDGE)
    plus(layer, 23.5, 22.5)


def draw_edit(layer):
    # A pencil from its point (bottom left) to its eraser (top right).
    ax, ay, bx, by = 6.0, 26.0, 25.5, 6.5
    length = math.hypot(bx - ax, by - ay)
    ux, uy = (bx - ax) / length, (by - ay) / length  # along the pencil
    nx, ny = -uy, ux                                 # across it
    half = 3.2

    def band(start, end, narrow_start=False):
        sx, sy = ax + ux * start, ay + uy * start
        ex, ey = ax + ux * end, ay + uy * end
        w0 = 0.0 if narrow_start else half
        return polygon([(sx + nx * w0, sy + ny * w0), (ex + nx * half, ey + ny * half),
                        (ex - nx * half, ey - ny * half), (sx - nx * w0, sy - ny * w0)])
    outline = band(0, length, narrow_start=True)
    layer.fill(outline.grown(1.0), (64, 40, 8))
    layer.fill(band(0, 6.5, narrow_start=True), (236, 200, 150))      # wood
    layer.fill(band(0, 2.6, narrow_start=True), (48, 48, 48))          # lead
    layer.fill(band(6.5, length - 6.5), (250, 196, 32))               # yellow body
    stripe_a = (ax + ux * 6.5 + nx * 1.0, ay + uy * 6.5 + ny * 1.0)
    stripe_b = (ax + ux * (length - 6.5) + nx * 1.0, ay + uy * (length - 6.5) + ny * 1.0)
    layer.fill(stroke(*stripe_a, *stripe_b, 1.1), (200, 136, 0))
    layer.fill(band(length - 6.5, length - 3.5), (176, 176, 184))     # ferrule
    layer.fill(band(length - 3.5, length), (240, 128, 150))           # eraser


def draw_delete(layer):
    cross = stroke(8.5, 8.5, 23.5, 23.5, 5.0) | stroke(23.5, 8.5, 8.5, 23.5, 5.0)
    layer.outlined(cross, (224, 32, 32), (112, 0, 0))


def draw_find(layer):
    cx, cy, r = 13.0, 12.5, 7.0
    layer.fill(stroke(18.0, 17.5, 25.5, 25.0, 5.0).grown(1.0), (40, 24, 8))
    layer.fill(stroke(18.0, 17.5, 25.5, 25.0, 5.0), (128, 72, 24))
    layer.fill(circle(cx, cy, r), (176, 216, 255))
    layer.fill(ring(cx, cy, r, 3.0), (48, 48, 56))
    layer.fill(ring(cx, cy, r - 3.2, 1.4) & rectangle(cx - r, cy - r, cx - 0.5, cy - 0.5), WHITE)


# --- Toolbar buttons -------------------------------------------------------------------------

BUTTON = 32


def raised_edge(layer):
    last = BUTTON - 1
    for i in range(BUTTON):
        layer.put(i, 0, WHITE)
        layer.put(0, i, WHITE)
    for i in range(1, last):
        layer.put(i, last - 1, SHADOW)
        layer.put(last - 1, i, SHADOW)
    for i in range(BUTTON):
        layer.put(i, last, BLACK)
        layer.put(last, i, BLACK)


def sunken_edge(layer):
    last = BUTTON - 1
    for i in range(BUTTON):
        layer.put(i, 0, SHADOW)
        layer.put(0, i, SHADOW)
        layer.put(i, last, WHITE)
        layer.put(last, i, WHITE)
    for i in range(1, last):
        layer.put(i, 1, BLACK)
        layer.put(1, i, BLACK)


def embossed(picture):
    """The picture's dark parts as a grey shape with a white shadow, as disabled buttons show."""
    mask = Layer(picture.width, picture.height)
    for y in range(picture.height):
        for x in range(picture.width):
            r, g, b, a = picture.pixels[y][x]
            darkness = 1 - (0.3 * r + 0.59 * g + 0.11 * b) / 255
            mask.pixels[y][x] = (0, 0, 0, a * min(1.0, 0.25 + darkness * 2.0))
    return mask


def button_pictures(draw):
    picture = Layer(BUTTON, BUTTON)
    draw(picture)
    enabled = Layer(BUTTON, BUTTON, FACE)
    enabled.paste(picture)
    raised_edge(enabled)
    pressed = Layer(BUTTON, BUTTON, FACE)
    pressed.paste(picture, 1, 1)
    sunken_edge(pressed)
    disabled = Layer(BUTTON, BUTTON, FACE)
    mask = embossed(picture)
    disabled.paste(mask, 1, 1, tint=WHITE)
    disabled.paste(mask, 0, 0, tint=SHADOW)
    raised_edge(disabled)
    return enabled, pressed, disabled


BUTTONS = [("new_person", draw_new_person), ("new_group", draw_new_group), ("edit", draw_edit),
           ("delete", draw_delete), ("find", draw_find)]


# --- List icons (22 x 16, on white) ----------------------------------------------------------

def list_person(layer, cx, top, shirt, shirt_edge):
    head_r = 2.8
    head = circle(cx, top + head_r, head_r)
    body_top = top + 2 * head_r + 0.7
    body = ellipse(cx, body_top + 6.0, 6.0, 6.0) & rectangle(cx - 10, body_top - 1, cx + 10, 15.0)
    layer.outlined(body, shirt, shirt_edge)
    layer.outlined(head, SKIN, SKIN_EDGE)


def person_icon():
    layer = Layer(22, 16, WHITE)
    list_person(layer, 11.0, 2.0, BLUE_SHIRT, BLUE_EDGE)
    return layer


def group_icon():
    layer = Layer(22, 16, WHITE)
    list_person(layer, 14.0, 2.0, RED_SHIRT, RED_EDGE)
    list_person(layer, 8.5, 3.4, BLUE_SHIRT, BLUE_EDGE)
    return layer


# --- Program icon: a blue address book with index tabs and a person on its cover ---------------

def address_book(size):
    layer = Layer(size, size)
    s = size / 32.0
    cover_edge = (16, 32, 96)
    # Index tabs stick out at the right edge, behind the pages.
    for i, colour in enumerate([(224, 48, 40), (248, 200, 40), (56, 176, 72)]):
        top = (6 + 7 * i) * s
        layer.outlined(rounded_rectangle(22 * s, top, 29.5 * s, top + 5 * s, 1.2 * s), colour, (64, 40, 24), 0.8)
    layer.outlined(rectangle(7 * s, 3.5 * s, 26 * s, 29.5 * s), (250, 248, 236), (120, 112, 96), 0.8)  # pages
    layer.outlined(rounded_rectangle(4.5 * s, 2 * s, 24 * s, 29 * s, 1.5 * s), (40, 88, 184), cover_edge, 1.0)
    layer.fill(rectangle(4.5 * s, 2 * s, 8 * s, 29 * s), (24, 56, 136))  # spine
    head_r = 2.4 * s
    if size >= 32:  # a label with a person on it, and the rings of the binding
        layer.outlined(rounded_rectangle(10 * s, 6 * s, 21.5 * s, 20 * s, 1.2 * s), WHITE, cover_edge, 0.8)
        layer.fill(circle(15.75 * s, 9.3 * s + head_r * 0.2, head_r), BLUE_EDGE)
        layer.fill(ellipse(15.75 * s, 19.5 * s, 4.6 * s, 5.6 * s) & rectangle(0, 0, size, 19.2 * s), BLUE_EDGE)
        for i in range(4):
            y = (7 + 6 * i) * s
            layer.fill(stroke(2.5, y, 8.5, y, 2.2).grown(0.7), (64, 64, 72))
            layer.fill(stroke(2.5, y, 8.5, y, 2.2), (208, 208, 216))
    else:  # too small for a label: the person alone, in white
        layer.fill(circle(16 * s, 8.5 * s, 3.0 * s), WHITE)
        layer.fill(ellipse(16 * s, 22 * s, 6.0 * s, 7.5 * s) & rectangle(0, 0, size, 23 * s), WHITE)
    return layer


# --- Column-resize cursor: a double bar with arrows to the left and right ----------------------

CURSOR = 32
HOT_SPOT = (15, 15)


def cursor_black():
    """The black pixels; every pixel next to one of them is white, all others transparent."""
    cx, cy = HOT_SPOT
    black = set()
    for y in range(cy - 9, cy + 10):
        black.update({(cx - 1, y), (cx + 1, y)})
    for side in (-1, 1):
        for d in range(4, 8):  # shaft
            black.update({(cx + side * d, cy + k) for k in (-1, 0, 1)})
        for d in range(8, 13):  # head: one pixel at its point, nine at its base
            spread = 12 - d
            black.update({(cx + side * d, cy + k) for k in range(-spread, spread + 1)})
    return black


def cursor_pixels():
    black = cursor_black()
    white = {(x + dx, y + dy) for x, y in black for dx in (-1, 0, 1) for dy in (-1, 0, 1)} - black
    return black, white


# --- File writers ----------------------------------------------------------------------------

def _rows_bottom_up(height):
    return range(height - 1, -1, -1)


def _palette(rows):
    colours = sorted({c for row in rows for c in row})
    bits = 8
    while len(colours) > 256:  # not expected for pictures this small; keeps the format valid
        bits -= 1
        shift = 8 - bits
        rows = [[tuple((v >> shift) << shift for v in c) for c in row] for row in rows]
        colours = sorted({c for row in rows for c in row})
    return rows, colours


def bitmap_8bit(layer):
    """A BMP file: 8 bits per pixel, a colour table of the colours used, bottom-up rows."""
    rows, colours = _palette(layer.rgb())
    index = {c: i for i, c in enumerate(colours)}
    stride = (layer.width + 3) & ~3
    pixels = b"".join(bytes(index[c] for c in rows[y]) + bytes(stride - layer.width)
                      for y in _rows_bottom_up(layer.height))
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    info = struct.pack("<IiiHHIIiiII", 40, layer.width, layer.height, 1, 8, 0, len(pixels), 2835, 2835,
                       len(colours), 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + table + pixels


def _and_mask(width, height, transparent):
    stride = ((width + 31) // 32) * 4
    rows = []
    for y in _rows_bottom_up(height):
        row = bytearray(stride)
        for x in range(width):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b"".join(rows)


def icon_image(layer):
    """One image of an icon file: 32-bit colour with alpha, then the 1-bit mask."""
    colour = b"".join(struct.pack("<BBBB", *(int(round(c)) for c in (p[2], p[1], p[0])), int(round(p[3] * 255)))
                      for y in _rows_bottom_up(layer.height) for p in layer.pixels[y])
    mask = _and_mask(layer.width, layer.height, lambda x, y: layer.pixels[y][x][3] < 0.5)
    info = struct.pack("<IiiHHIIiiII", 40, layer.width, 2 * layer.height, 1, 32, 0, len(colour) + len(mask),
                       0, 0, 0, 0)
    return info + colour + mask


def icon_file(layers):
    directory = struct.pack("<HHH", 0, 1, len(layers))
    offset = 6 + 16 * len(layers)
    entries, images = b"", b""
    for layer in layers:
        image = icon_image(layer)
        entries += struct.pack("<BBBBHHII", layer.width % 256, layer.height % 256, 0, 0, 1, 32, len(image),
                               offset + len(images))
        images += image
    return directory + entries + images


def cursor_file():
    """A monochrome cursor: colour bits (1 = white) and mask bits (1 = transparent)."""
    black, white = cursor_pixels()
    size = CURSOR
    colour = _and_mask(size, size, lambda x, y: (x, y) in white)
    mask = _and_mask(size, size, lambda x, y: (x, y) not in black and (x, y) not in white)
    info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 1, 0, len(colour) + len(mask), 0, 0, 2, 0)
    table = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = info + table + colour + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


def pictures():
    """Every file's name and bytes."""
    for name, draw in BUTTONS:
        enabled, pressed, disabled = button_pictures(draw)
        yield name + ".bmp", bitmap_8bit(enabled)
        yield name + "_pressed.bmp", bitmap_8bit(pressed)
        yield name + "_disabled.bmp", bitmap_8bit(disabled)
    yield "person.bmp", bitmap_8bit(person_icon())
    yield "group.bmp", bitmap_8bit(group_icon())
    yield "address_book.ico", icon_file([address_book(32), address_book(16)])
    yield "column_resize.cur", cursor_file()


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: draw_pictures.py OUTPUT_DIR\n")
        return 2
    os.makedirs(argv[1], exist_ok=True)
    for name, data in pictures():
        with open(os.path.join(argv[1], name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
