# Draws one image of one of the monitor's icons as SVG text.
#
#   awk -v id=<icon id> -v size=<pixels> -f icons.awk > image.svg
#
# Icon ids: 101 the program (a battery at 60 % with a charging bolt),
# 1000..1100 step 20 the six charge bands on battery, 2000..2100 the same
# bands with a charging bolt beside the battery, 3000 no battery (red cross).
#
# The 16, 20, 24 and 32 pixel images (the notification area at 100, 125,
# 150 and 200 % display scaling) are drawn pixel by pixel (every shape sits on
# whole pixels, the bolt and the cross come from hand-drawn masks) so they
# stay sharp in the notification area. The larger images are drawn as
# vectors with the same proportions, with whole-pixel rectangles.
#
# Legibility on light and dark taskbars alike: a dark outline around a
# light battery body, the charge inset one light pixel from the outline, so
# either the outline or the light body stands out from the background.

BEGIN {
    OUTLINE = "#1c1f24"
    BODY = "#f4f5f7"
    BODY_LOW = "#ffd9d6"
    RED = "#e3241b"
    RED_DARK = "#b3140e"
    AMBER = "#f59f00"
    AMBER_DARK = "#c77a00"
    GREEN = "#2bb04a"
    GREEN_DARK = "#1a8434"
    BOLT = "#ffd31a"
    BOLT_LIGHT = "#fff3a8"
    CROSS = "#e3241b"

    id = id + 0
    size = size + 0
    if (size <= 0) fail("size missing")

    charging = 0
    cross = 0
    if (id == 101) { band = 3; charging = 1 }
    else if (id >= 1000 && id <= 1100 && id % 20 == 0) band = (id - 1000) / 20
    else if (id >= 2000 && id <= 2100 && id % 20 == 0) { band = (id - 2000) / 20; charging = 1 }
    else if (id == 3000) { band = -1; cross = 1 }
    else fail("unknown icon id " id)

    printf "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\">\n", size, size, size, size
    if (size == 16 || size == 20 || size == 24 || size == 32) pixel_icon()
    else vector_icon()
    print "</svg>"
}

function fail(message) {
    print "icons.awk: " message > "/dev/stderr"
    exit 1
}

function round(v) { return int(v + 0.5) }

# Fraction of the charge area filled for each band: the middle of the band,
# full from 90 % on, and a sliver below 10 %.
function band_fraction(b) {
    if (b == 0) return 0.1
    if (b == 1) return 0.2
    if (b == 2) return 0.4
    if (b == 3) return 0.6
    if (b == 4) return 0.8
    return 1.0
}

function band_color(b) {
    if (b == 0) return RED
    if (b == 1) return AMBER
    return GREEN
}

function band_dark(b) {
    if (b == 0) return RED_DARK
    if (b == 1) return AMBER_DARK
    return GREEN_DARK
}

# ---------------------------------------------------------------- pixels --

function plot(x, y, c) {
    if (x >= 0 && y >= 0 && x < size && y < size) px[x, y] = c
}

function fill_rect(x, y, w, h, c,    i, j) {
    for (j = y; j < y + h; j++)
        for (i = x; i < x + w; i++)
            plot(i, j, c)
}

# A battery standing upright: cap on top, outline, light body, charge
# inset by one light pixel and filled from the bottom.
function pixel_battery(x, y, w, h, capw, caph, t, level,    cx, inner, fx, fy, fw, fh) {
    cx = x + int((w - capw) / 2)
    fill_rect(cx, y, capw, caph + t, "o")
    fill_rect(cx + t, y + t, capw - 2 * t, caph, "b")
    fill_rect(x, y + caph, w, h, "o")
    inner = (band == 0) ? "l" : "b"
    fill_rect(x + t, y + caph + t, w - 2 * t, h - 2 * t, inner)
    fx = x + t + 1
    fw = w - 2 * t - 2
    fh = h - 2 * t - 2
    fy = y + caph + t + 1
    if (level > 0) fill_rect(fx, fy + fh - level, fw, level, "f")
    # A darker bottom row gives the charge some depth once it is tall enough.
    if (level >= 3) fill_rect(fx, fy + fh - 1, fw, 1, "d")
}

# Lays a mask over the canvas: "#" is drawn in colour c, and every pixel
# within k pixels of it (also diagonally) that is not part of the mask gets
# the outline, so the shape reads on any background.
function pixel_mask(rows, n, x, y, c, k,    r, i, j, d, line, w) {
    for (r = 1; r <= n; r++) {
        line = rows[r]
        w = length(line)
        for (i = 1; i <= w; i++)
            if (substr(line, i, 1) == "#") mask[x + i - 1, y + r - 1] = 1
    }
    for (r = 1; r <= n; r++) {
        line = rows[r]
        w = length(line)
        for (i = 1; i <= w; i++)
            if (substr(line, i, 1) == "#")
                for (j = -k; j <= k; j++)
                    for (d = -k; d <= k; d++)
                        if (!((x + i - 1 + d, y + r - 1 + j) in mask)) plot(x + i - 1 + d, y + r - 1 + j, "o")
    }
    for (r = 1; r <= n; r++) {
        line = rows[r]
        w = length(line)
        for (i = 1; i <= w; i++)
            if (substr(line, i, 1) == "#") plot(x + i - 1, y + r - 1, c)
    }
    delete mask
}

# One hand-drawn size: the charge heights of the six bands, the battery's
# left edge when charging and when not, its body, cap and outline, and the
# bolt's and the cross's masks ("|" between rows) with their top-left corners
# and the bolt's outline width.
function pixel_drawing(levelText, x0charging, x0plain, w, h, capw, caph, t, bolt, bx, by, bk, crossRows, cx, cy,    level, n) {
    split(levelText, levels, " ")
    level = (band < 0) ? 0 : levels[band + 1]
    pixel_battery(charging ? x0charging : x0plain, 0, w, h, capw, caph, t, level)
    if (charging) {
        n = split(bolt, rows, "|")
        pixel_mask(rows, n, bx, by, "y", bk)
    }
    if (cross) {
        n = split(crossRows, rows, "|")
        pixel_mask(rows, n, cx, cy, "x", 0)
    }
}

function pixel_icon(    cross8) {
    cross8 = "##....##|###..###|.######.|..####..|..####..|.######.|###..###|##....##"
    if (size == 16)
        # Body 10 x 14 with a 4 x 2 cap; charge area 6 x 10. Charge heights
        # per band, hand-picked so neighbouring bands differ.
        pixel_drawing("2 3 4 6 8 10", 0, 3, 10, 14, 6, 2, 1,
            "...##|...##|..##.|..##.|.##..|.####|####.|..##.|.##..|.##..|##...|#....", 10, 2, 1,
            cross8, 4, 5)
    else if (size == 20)
        # Body 12 x 17 with a 6 x 3 cap; charge area 8 x 13.
        pixel_drawing("2 3 5 8 11 13", 0, 4, 12, 17, 6, 3, 1,
            "...###|...##.|..###.|..##..|.###..|.#####|#####.|..###.|..##..|.###..|.##...|##....|#.....", 13, 3, 1,
            cross8, 6, 7)
    else if (size == 24)
        # Body 14 x 21 with an 8 x 3 cap; charge area 10 x 17.
        pixel_drawing("2 4 7 10 14 17", 1, 5, 14, 21, 8, 3, 1,
            "....###|....###|...###.|...###.|..###..|..###..|.###...|.######|######.|...###.|..###..|..###..|.###...|.##....|###....|##.....|#......", 15, 3, 1,
            "##......##|###....###|.###..###.|..######..|...####...|...####...|..######..|.###..###.|###....###|##......##", 7, 9)
    else
        # Body 20 x 28 with an 8 x 4 cap and a two-pixel outline; charge
        # area 14 x 22.
        pixel_drawing("3 5 9 13 18 22", 0, 6, 20, 28, 8, 4, 2,
            ".....####|.....####|....####.|....####.|...####..|...####..|..####...|..####...|.####....|.########|#########|########.|....####.|....###..|...####..|...###...|..####...|..###....|.###.....|.###.....|.##......|##.......|##.......|#........", 21, 4, 2,
            "###........###|####......####|.####....####.|..####..####..|...########...|....######....|....######....|...########...|..####..####..|.####....####.|####......####|###........###", 9, 12)
    fill_holes()
    emit_pixels()
}

# Closes one-pixel slits between solid pixels on the left and right, where
# the bolt's outline meets the battery's: they would show the taskbar as
# specks.
function fill_holes(    x, y) {
    for (y = 0; y < size; y++)
        for (x = 1; x < size - 1; x++)
            if (!((x, y) in px) && ((x - 1, y) in px) && ((x + 1, y) in px))
                hole[x, y] = 1
    for (x = 0; x < size; x++)
        for (y = 0; y < size; y++)
            if ((x, y) in hole) px[x, y] = "o"
}

function pixel_color(c) {
    if (c == "o") return OUTLINE
    if (c == "b") return BODY
    if (c == "l") return BODY_LOW
    if (c == "f") return band_color(band)
    if (c == "d") return band_dark(band)
    if (c == "y") return BOLT
    if (c == "x") return CROSS
    fail("unknown pixel " c)
}

# One rectangle per horizontal run of equal pixels, on whole pixels.
function emit_pixels(    x, y, start, c) {
    print "<g shape-rendering=\"crispEdges\">"
    for (y = 0; y < size; y++) {
        x = 0
        while (x < size) {
            if (!((x, y) in px)) { x++; continue }
            c = px[x, y]
            start = x
            while (x < size && ((x, y) in px) && px[x, y] == c) x++
            printf "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\"/>\n", start, y, x - start, 1, pixel_color(c)
        }
    }
    print "</g>"
}

# ---------------------------------------------------------------- vector --

function vrect(x, y, w, h, rx, fill) {
    printf "<rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\" rx=\"%g\" fill=\"%s\"/>\n", x, y, w, h, rx, fill
}

function vector_icon(    u, w, h, capw, caph, t, x0, cx, fx, fy, fw, fh, level, r, c, s) {
    u = size / 16
    w = round(10 * u)
    h = round(14 * u)
    capw = round(4 * u)
    caph = round(2 * u)
    t = round(u)
    r = (size >= 48) ? round(u * 1.2) : 0
    x0 = charging ? 0 : round(3 * u)
    cx = x0 + int((w - capw) / 2)

    print "<defs>"
    print "<linearGradient id=\"body\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"0\">"
    print "<stop offset=\"0\" stop-color=\"#ffffff\"/><stop offset=\"1\" stop-color=\"" (band == 0 ? BODY_LOW : "#e3e6ea") "\"/>"
    print "</linearGradient>"
    if (band >= 0) {
        print "<linearGradient id=\"charge\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"0\">"
        printf "<stop offset=\"0\" stop-color=\"%s\"/><stop offset=\"0.45\" stop-color=\"%s\"/><stop offset=\"1\" stop-color=\"%s\"/>\n", band_color(band), band_color(band), band_dark(band)
        print "</linearGradient>"
    }
    print "<linearGradient id=\"bolt\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
    printf "<stop offset=\"0\" stop-color=\"%s\"/><stop offset=\"0.6\" stop-color=\"%s\"/>\n", BOLT_LIGHT, BOLT
    print "</linearGradient>"
    print "</defs>"

    # Cap, then body; the cap's outline runs into the body's top outline.
    vrect(cx, 0, capw, caph + t + r, (r > 0 ? round(r / 2) : 0), OUTLINE)
    vrect(cx + t, t, capw - 2 * t, caph + r, 0, BODY)
    vrect(x0, caph, w, h, r, OUTLINE)
    vrect(x0 + t, caph + t, w - 2 * t, h - 2 * t, (r > t ? r - t : 0), "url(#body)")

    fx = x0 + 2 * t
    fw = w - 4 * t
    fy = caph + 2 * t
    fh = h - 4 * t
    if (band >= 0) {
        level = round(band_fraction(band) * fh)
        if (level < 2 * t) level = 2 * t
        vrect(fx, fy + fh - level, fw, level, (r > 2 * t ? r - 2 * t : 0), "url(#charge)")
    }

    if (cross) {
        s = fw * 0.42
        c = fy + fh / 2
        printf "<g stroke=\"%s\" stroke-width=\"%g\" stroke-linecap=\"round\">\n", CROSS, round(1.8 * u)
        printf "<line x1=\"%g\" y1=\"%g\" x2=\"%g\" y2=\"%g\"/>\n", fx + fw / 2 - s, c - s, fx + fw / 2 + s, c + s
        printf "<line x1=\"%g\" y1=\"%g\" x2=\"%g\" y2=\"%g\"/>\n", fx + fw / 2 + s, c - s, fx + fw / 2 - s, c + s
        print "</g>"
    }

    if (charging) {
        # The bolt beside the battery, outlined like it; its outline may
        # overlap the battery's right edge.
        printf "<polygon stroke=\"%s\" stroke-width=\"%g\" stroke-linejoin=\"round\" fill=\"url(#bolt)\" points=\"", OUTLINE, t
        bolt_point(12.3, 0.9, u)
        bolt_point(15.6, 0.9, u)
        bolt_point(14.2, 5.9, u)
        bolt_point(15.7, 5.9, u)
        bolt_point(10.9, 15.3, u)
        bolt_point(12.0, 9.4, u)
        bolt_point(10.3, 9.4, u)
        print "\"/>"
    }
}

function bolt_point(x, y, u) {
    printf "%g,%g ", x * u, y * u
}
