# An independent reckoning of the CSS Color 4 notations and the nearest names of 300 colors,
# written afresh from the published formulas in Python, apart from the program: it writes
# csscolors.tsv beside it, which tst_colorformat compares the program's texts against.
import math
import os
import random
from fractions import Fraction as F

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..", "..")

def lin(c):
    c = c / 255
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4

M_XYZ = [[F(506752,1228815), F(87881,245763), F(12673,70218)],
         [F(87098,409605), F(175762,245763), F(12673,175545)],
         [F(7918,409605), F(87881,737289), F(1001167,1053270)]]
M_XYZ = [[float(v) for v in r] for r in M_XYZ]
LMS = [[0.8190224379967030, 0.3619062600528904, -0.1288737815209879],
       [0.0329836539323885, 0.9292868615863434, 0.0361446663506424],
       [0.0481771893596242, 0.2642395317527308, 0.6335478284694309]]
OK = [[0.2104542683093140, 0.7936177747023054, -0.0040720430116193],
      [1.9779985324311684, -2.4285922420485799, 0.4505937096174110],
      [0.0259040424655478, 0.7827717124575296, -0.8086757549230774]]
BRAD = [[1.0479297925449969, 0.022946870601609652, -0.05019226628920524],
        [0.02962780877005599, 0.9904344267538799, -0.017073799063418826],
        [-0.009243040646204504, 0.015055191490298152, 0.7518742814281371]]
P3 = [[F(446124,178915), F(-333277,357830), F(-72051,178915)],
      [F(-14852,17905), F(63121,35810), F(423,17905)],
      [F(11844,330415), F(-50337,660830), F(316169,330415)]]
P3 = [[float(v) for v in r] for r in P3]

def mul(m, v):
    return [m[i][0]*v[0] + m[i][1]*v[1] + m[i][2]*v[2] for i in range(3)]

def xyz(rgb):
    return mul(M_XYZ, [lin(c) for c in rgb])

def oklab(rgb):
    l = mul(LMS, xyz(rgb))
    return mul(OK, [math.copysign(abs(v) ** (1/3), v) for v in l])

def lab(rgb):
    x, y, z = mul(BRAD, xyz(rgb))
    wx, wz = 0.3457/0.3585, (1-0.3457-0.3585)/0.3585
    e, k = 216/24389, 24389/27
    f = lambda t: t ** (1/3) if t > e else (k*t + 16)/116
    fx, fy, fz = f(x/wx), f(y), f(z/wz)
    return [116*fy - 16, 500*(fx-fy), 200*(fy-fz)]

def polar(v):
    h = math.degrees(math.atan2(v[2], v[1]))
    return [v[0], math.hypot(v[1], v[2]), h + 360 if h < 0 else h]

def num(v, d):
    t = ("%.*f" % (d, v))
    if "." in t:
        t = t.rstrip("0").rstrip(".")
    return "0" if t == "-0" else t

def hue(v, d):
    t = num(v, d)
    return "0" if t == "360" else t

def texts(rgb):
    L, C, H = polar(oklab(rgb))
    c = num(C, 5)
    oklch = "oklch(%s%% %s %s)" % (num(L*100, 2), c, "none" if c == "0" else hue(H, 2))
    ol = oklab(rgb)
    oklab_t = "oklab(%s%% %s %s)" % (num(ol[0]*100, 2), num(ol[1], 5), num(ol[2], 5))
    lb = lab(rgb)
    lab_t = "lab(%s%% %s %s)" % (num(lb[0], 2), num(lb[1], 2), num(lb[2], 2))
    L2, C2, H2 = polar(lb)
    c2 = num(C2, 2)
    lch_t = "lch(%s%% %s %s)" % (num(L2, 2), c2, "none" if c2 == "0" else hue(H2, 2))
    r, g, b = [v/255 for v in rgb]
    mx, mn = max(r, g, b), min(r, g, b)
    d = mx - mn
    if d == 0:
        h = "none"
    else:
        if mx == r: hh = (g - b)/d + (6 if g < b else 0)
        elif mx == g: hh = (b - r)/d + 2
        else: hh = (r - g)/d + 4
        h = hue(hh*60, 2)
    hwb_t = "hwb(%s %s%% %s%%)" % (h, num(mn*100, 2), num((1-mx)*100, 2))
    def gam(v):
        a = abs(v)
        e = 1.055 * a ** (1/2.4) - 0.055 if a > 0.0031308 else 12.92 * a
        return -e if v < 0 else e
    p = [gam(v) for v in mul(P3, xyz(rgb))]
    p3_t = "color(display-p3 %s %s %s)" % tuple(num(v, 4) for v in p)
    return [oklch, oklab_t, lab_t, lch_t, hwb_t, p3_t]

def names():
    css, xk = [], []
    for path, out in ((os.path.join(ROOT, "data", "colornames", "css.txt"), css), (os.path.join(ROOT, "data", "colornames", "xkcd.txt"), xk)):
        for line in open(path):
            if line.startswith("#"): continue
            hx, name = line.rstrip("\n").split(" ", 1)
            out.append((tuple(int(hx[i:i+2], 16) for i in (0, 2, 4)), name))
    return css, xk

CSS, XKCD = names()
ALL = [(rgb, n, oklab(rgb)) for rgb, n in CSS + XKCD]

def name_of(rgb):
    for c, n in CSS:
        if c == rgb: return n
    o = oklab(rgb)
    best = min(ALL, key=lambda e: sum((e[2][i]-o[i])**2 for i in range(3)))
    return ("" if best[0] == rgb else "~") + best[1]

random.seed(2026)
colors = [(0x76,0x54,0xCD), (255,0,0), (128,128,128), (12,11,10), (0,0,0), (255,255,255),
          (0,255,255), (0x66,0x33,0x99), (1,0,0), (0,0,1), (254,255,255), (0xAC,0xC2,0xD9)]
colors += [tuple(random.randrange(256) for _ in range(3)) for _ in range(288)]
with open(os.path.join(HERE, "csscolors.tsv"), "w") as f:
    f.write("# Expected texts of 300 colors, reckoned independently of the program by a Python\n"
            "# transcription of CSS Color 4's formulas (tests/formats/data/reckon.py). Columns: the color,\n"
            "# oklch, oklab, lab, lch, hwb, display-p3, and the name (\"~\" when not exact).\n")
    for rgb in colors:
        f.write("\t".join(["%02X%02X%02X" % rgb] + texts(rgb) + [name_of(rgb)]) + "\n")

