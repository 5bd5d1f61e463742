"""What the window shows, read from screenshots (the cells' outlines and fills, dark and
coloured pixels of an area) and from the probe (the message boxes); and how long a scroll
takes."""

import screen
from harness import check


# How long the program takes per step when it scrolls a long value through a cell.
SCROLL_STEP_SECONDS = 0.2


def cell_pixels(session, picture, c, r):
    """The cell's outline pixels at the middle of its four edges, and its fill near the corners.
    GDI draws the 2-pixel outline of the box (left, top)-(right, bottom) over the pixels
    left-1..left, right-2..right-1 (and so for top and bottom)."""
    left, top, right, bottom = screen.cell_box(c, r)
    mx, my = (left + right) // 2, (top + bottom) // 2
    outline = [(left - 1, my), (left, my), (right - 2, my), (right - 1, my),
               (mx, top - 1), (mx, top), (mx, bottom - 2), (mx, bottom - 1)]
    fill = [(left + 1, top + 1), (right - 3, top + 1), (left + 1, bottom - 3),
            (right - 3, bottom - 3)]
    def px(points):
        return {session.surface_pixel(picture, x, y) for x, y in points if session.visible(x, y)}

    return px(outline), px(fill)


def expect_cell(session, picture, c, r, outline, fill):
    got_outline, got_fill = cell_pixels(session, picture, c, r)
    check(got_outline == {outline} and got_fill == {fill},
          "cell (%d, %d): outline %s and fill %s, expected %06x and %06x" % (
              c, r, sorted("%06x" % v for v in got_outline),
              sorted("%06x" % v for v in got_fill), outline, fill))


def expect_data_cell_outline(session, picture, c, r, outline):
    expect_cell(session, picture, c, r, outline, screen.WHITE)


def expect_empty_grid(session, picture, columns, rows):
    for r in range(rows):
        for c in range(columns):
            if r == 0 or c == 0:
                expect_cell(session, picture, c, r, screen.BLACK, screen.SILVER)
            else:
                expect_cell(session, picture, c, r, screen.SILVER, screen.WHITE)
            check(not session.cell_has_text(picture, c, r),
                  "cell (%d, %d) shows text before a database is linked" % (c, r))
    # Nothing right of the last column or below the last row: white up to the surface's edge
    # (as far as the main window shows it).
    _, _, width, height = session.surface
    beyond_x = screen.cell_box(columns, 0)[0] - 1
    beyond_y = screen.cell_box(0, rows)[1] - 1
    for name, (x0, y0) in (("right of column %d" % (columns - 1), (beyond_x, 0)),
                           ("below row %d" % (rows - 1), (0, beyond_y))):
        for y in range(y0, height):
            for x in range(x0, width):
                if not session.visible(x, y):
                    continue
                sx, sy = session.to_screen(x, y)
                check(picture.pixel(sx, sy) == screen.WHITE,
                      "something is drawn %s: pixel (%d, %d) is %06x" % (
                          name, x, y, picture.pixel(sx, sy)))


def grid_is_gone(session, picture):
    """A report page covers the grid: no header cell shows its silver fill."""
    return all(cell_pixels(session, picture, c, r)[1] != {screen.SILVER}
               for c, r in ((0, 0), (0, 3), (2, 0), (0, 8)))


def dark_pixels(session, picture, width, height):
    x0, y0 = session.to_screen(0, 0)
    area = picture.region(x0, y0, x0 + width, y0 + height)
    return sum(1 for i in range(0, len(area), 3) if max(area[i:i + 3]) < 0x50)


def has_colour(session, picture, colour, width, height):
    x0, y0 = session.to_screen(0, 0)
    area = picture.region(x0, y0, x0 + width, y0 + height)
    rgb = bytes(((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF))
    return any(area[i:i + 3] == rgb for i in range(0, len(area), 3))


def grid_area(session, picture):
    """The pixels of the grid surface as far as the screen shows it."""
    x0, y0 = session.to_screen(0, 0)
    cx, cy, cw, ch = session.client
    return picture.region(x0, y0, min(cx + cw, session.width), min(cy + ch, session.height))


def message_boxes(session):
    """How many message boxes titled TOMO are open."""
    lines = (session.probe_ok(["windows"]) or "").splitlines()
    return sum(1 for line in lines
               if (parts := line.split(" ", 6))[1:2] == ["#32770"] and parts[6:] == ["TOMO"])
