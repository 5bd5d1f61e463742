"""Screenshots of the X display as a person sees it: `xwd -root` read into an RGB picture, and
the grid's geometry in the surface's own pixel coordinates."""

import struct
import subprocess

WHITE, BLACK, SILVER, RED = 0xFFFFFF, 0x000000, 0xC0C0C0, 0xFF0000  # 0xRRGGBB

CELL_STEP_X, CELL_STEP_Y = 106, 32


def cell_box(c, r):
    """The drawn box of grid cell (c, r) in surface coordinates: left, top, right, bottom."""
    return CELL_STEP_X * c + 2, CELL_STEP_Y * r + 2, CELL_STEP_X * c + 105, CELL_STEP_Y * r + 31


def grid_size(screen_width, screen_height):
    """Columns and rows of the grid: every cell whose box ends inside the surface."""
    surface_w, surface_h = screen_width - 3, screen_height - 25
    columns = rows = 1
    while cell_box(columns, 0)[2] <= surface_w:
        columns += 1
    while cell_box(0, rows)[3] <= surface_h:
        rows += 1
    return columns, rows


class Picture:
    """An RGB picture; pixel values are 0xRRGGBB."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return (self.rgb[i] << 16) | (self.rgb[i + 1] << 8) | self.rgb[i + 2]

    def region(self, left, top, right, bottom):
        """The pixels of the rectangle (right and bottom exclusive), row by row."""
        out = []
        for y in range(max(top, 0), min(bottom, self.height)):
            row = 3 * y * self.width
            out.append(bytes(self.rgb[row + 3 * max(left, 0):row + 3 * min(right, self.width)]))
        return b"".join(out)

    def paste(self, x, y, other):
        """Draws the other picture with its top-left corner at (x, y), clipped to this one."""
        for row in range(max(0, -y), min(other.height, self.height - y)):
            left, right = max(0, -x), min(other.width, self.width - x)
            if left >= right:
                return
            start = 3 * ((y + row) * self.width + x)
            self.rgb[start + 3 * left:start + 3 * right] = \
                other.rgb[3 * (row * other.width + left):3 * (row * other.width + right)]

    def save_ppm(self, path):
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            f.write(bytes(self.rgb))


def read_ppm(path):
    """A binary PPM with a plain header, as the probe writes it."""
    with open(path, "rb") as f:
        magic, size, depth, rgb = f.read().split(b"\n", 3)
    width, height = (int(v) for v in size.split())
    if magic != b"P6" or depth != b"255":
        raise ValueError("not a PPM of 8-bit channels: " + path)
    return Picture(width, height, bytearray(rgb))


def parse_xwd(data):
    """Decodes an XWD dump of a TrueColor screen (24 or 32 bits per pixel)."""
    header = struct.unpack(">25I", data[:100])
    (header_size, _, _, _, width, height, _, byte_order, _, _, _, bits_per_pixel,
     bytes_per_line, _, red_mask, green_mask, blue_mask, _, _, ncolors) = header[:20]
    if bits_per_pixel not in (24, 32):
        raise ValueError("unsupported XWD depth %d" % bits_per_pixel)
    offset = header_size + 12 * ncolors
    step = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"
    shifts = [(mask, (mask & -mask).bit_length() - 1) for mask in (red_mask, green_mask, blue_mask)]
    rgb = bytearray(3 * width * height)
    fast = step == 4 and order == "little" and (red_mask, green_mask, blue_mask) == (
        0xFF0000, 0xFF00, 0xFF)
    for y in range(height):
        line = data[offset + y * bytes_per_line:offset + y * bytes_per_line + width * step]
        out = 3 * y * width
        if fast:  # B, G, R, X bytes
            rgb[out:out + 3 * width:3] = line[2::4]
            rgb[out + 1:out + 3 * width:3] = line[1::4]
            rgb[out + 2:out + 3 * width:3] = line[0::4]
            continue
        for x in range(width):
            value = int.from_bytes(line[x * step:(x + 1) * step], order)
            for k, (mask, shift) in enumerate(shifts):
                rgb[out + 3 * x + k] = (value & mask) >> shift
    return Picture(width, height, rgb)


def capture(env):
    """A screenshot of the whole display named by env["DISPLAY"]."""
    data = subprocess.run(["xwd", "-root", "-silent"], env=env, check=True,
                          stdout=subprocess.PIPE, timeout=30).stdout
    return parse_xwd(data)
