"""An independent reference for what Huebrook says of colors: APCA-W3 0.0.98G-4g, the
Machado, Oliveira and Fernandes (2009) simulation, and CSS Color 4's gamut mapping of OKLCH,
written from their published descriptions with Ottosson's own OKLab matrices."""

import math

# Machado et al. 2009, Table 1: severity 0.5 and 1.0 of the three kinds, row-major.
MACHADO = {
    ("protan", 5): (0.458064, 0.679578, -0.137642, 0.092785, 0.846313, 0.060902,
                    -0.007494, -0.016807, 1.024301),
    ("protan", 10): (0.152286, 1.052583, -0.204868, 0.114503, 0.786281, 0.099216,
                     -0.003882, -0.048116, 1.051998),
    ("deutan", 10): (0.367322, 0.860646, -0.227968, 0.280085, 0.672501, 0.047413,
                     -0.011820, 0.042940, 0.968881),
    ("tritan", 10): (1.255528, -0.076749, -0.178779, -0.078411, 0.930809, 0.147602,
                     0.004733, 0.691367, 0.303900),
}


def channels(hex_text):
    return tuple(int(hex_text[i:i + 2], 16) for i in (0, 2, 4))


def decode(c):
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def encode(c):
    return 12.92 * c if c <= 0.0031308 else 1.055 * c ** (1 / 2.4) - 0.055


def hex_of(rgb):
    return "#%02X%02X%02X" % tuple(round(min(1.0, max(0.0, c)) * 255) for c in rgb)


def apca(text, background):
    def y(hex_text):
        r, g, b = (c / 255 for c in channels(hex_text))
        v = 0.2126729 * r ** 2.4 + 0.7151522 * g ** 2.4 + 0.0721750 * b ** 2.4
        return v if v > 0.022 else v + (0.022 - v) ** 1.414
    t, b = y(text), y(background)
    if abs(b - t) < 0.0005:
        return 0.0
    if b > t:
        s = (b ** 0.56 - t ** 0.57) * 1.14
        return 0.0 if s < 0.1 else (s - 0.027) * 100
    s = (b ** 0.65 - t ** 0.62) * 1.14
    return 0.0 if s > -0.1 else (s + 0.027) * 100


def apca_text(lc):
    text = "%.1f" % lc
    text = text[:-2] if text.endswith(".0") else text
    return "0" if text == "-0" else text


def simulate(hex_text, kind, tenth=10):
    linear = [decode(c / 255) for c in channels(hex_text)]
    if kind == "achromatopsia":
        y = 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]
        return hex_of([encode(y)] * 3)
    m = MACHADO[(kind, tenth)]
    out = [sum(m[3 * i + j] * linear[j] for j in range(3)) for i in range(3)]
    return hex_of([encode(min(1.0, max(0.0, c))) for c in out])


def oklab_of_linear(r, g, b):
    l = 0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b
    m = 0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b
    s = 0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b
    l, m, s = (math.copysign(abs(v) ** (1 / 3), v) for v in (l, m, s))
    return (0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s)


def linear_of_oklab(L, a, b):
    l = (L + 0.3963377774 * a + 0.2158037573 * b) ** 3
    m = (L - 0.1055613458 * a - 0.0638541728 * b) ** 3
    s = (L - 0.0894841775 * a - 1.2914855480 * b) ** 3
    return (4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s,
            -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s,
            -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s)


def gamut_mapped(L, C, h):
    """CSS Color 4, section 13.2: binary search on chroma, deltaEOK against the clipped color."""
    if L >= 1:
        return "#FFFFFF"
    if L <= 0:
        return "#000000"

    def srgb(chroma):
        rad = math.radians(h)
        lin = linear_of_oklab(L, chroma * math.cos(rad), chroma * math.sin(rad))
        return [math.copysign(encode(abs(c)), c) for c in lin]

    def delta(rgb, chroma):
        clipped = [min(1.0, max(0.0, c)) for c in rgb]
        lab = oklab_of_linear(*(decode(c) for c in clipped))
        rad = math.radians(h)
        return math.dist(lab, (L, chroma * math.cos(rad), chroma * math.sin(rad))), clipped

    inside = lambda rgb: all(0 <= c <= 1 for c in rgb)
    origin = srgb(C)
    if inside(origin):
        return hex_of(origin)
    e, clipped = delta(origin, C)
    if e < 0.02:
        return hex_of(clipped)
    low, high, low_inside = 0.0, C, True
    while high - low > 0.0001:
        chroma = (low + high) / 2
        current = srgb(chroma)
        if low_inside and inside(current):
            low = chroma
            continue
        e, clipped = delta(current, chroma)
        if e < 0.02:
            if 0.02 - e < 0.0001:
                break
            low_inside, low = False, chroma
        else:
            high = chroma
    return hex_of(clipped)


OFFSETS = {"complementary": (180,), "analogous": (-30, 30), "triadic": (120, 240),
           "split-complementary": (150, 210), "tetradic": (60, 180, 240),
           "square": (90, 180, 270)}


def harmony(kind, hex_text):
    r, g, b = channels(hex_text)
    if r == g == b:
        return ["#" + hex_text] * (1 + len(OFFSETS[kind]))
    L, a, bb = oklab_of_linear(*(decode(c / 255) for c in (r, g, b)))
    C, h = math.hypot(a, bb), math.degrees(math.atan2(bb, a)) % 360
    return ["#" + hex_text] + [gamut_mapped(L, C, (h + o) % 360) for o in OFFSETS[kind]]
