"""The drawing shared by Memotab's characters: ink lines, ellipses and the Face, which
draws eyes, brows, mouth, arms, props and the shadow of any character built on it."""
import math

import cairo

INK = (0.18, 0.14, 0.10)


def fill_stroke(cr, fill, stroke=INK, width=2.0):
    cr.set_source_rgba(*fill)
    cr.fill_preserve()
    cr.set_source_rgb(*stroke)
    cr.set_line_width(width)
    cr.stroke()


def ellipse(cr, x, y, rx, ry):
    cr.save()
    cr.translate(x, y)
    cr.scale(rx, ry)
    cr.arc(0, 0, 1, 0, 2 * math.pi)
    cr.restore()


def line(cr, points, width=2.4, colour=INK):
    cr.move_to(*points[0])
    for point in points[1:]:
        cr.line_to(*point)
    cr.set_source_rgb(*colour)
    cr.set_line_width(width)
    cr.set_line_cap(cairo.LINE_CAP_ROUND)
    cr.set_line_join(cairo.LINE_JOIN_ROUND)
    cr.stroke()


def curve(cr, a, control, b, width=2.4, colour=INK):
    cr.move_to(*a)
    cr.curve_to(control[0], control[1], control[0], control[1], *b)
    cr.set_source_rgb(*colour)
    cr.set_line_width(width)
    cr.set_line_cap(cairo.LINE_CAP_ROUND)
    cr.stroke()


class Face:
    """Eyes, brows and mouth around two eye centres and a mouth centre; arms from two
    shoulders; a body that squashes and stretches on the line it stands on, over a
    shadow."""
    eye_left, eye_right, mouth_at = (52, 72), (76, 72), (64, 96)
    eye_rx, eye_ry = 8, 10
    ground = 120
    squash, stretch = (1.08, 0.9), (0.93, 1.08)
    shadow = (128, 38, 6)  # centre height and radii

    def body_transform(self, cr, variant):
        scale = {"normal": (1, 1), "squash": self.squash, "stretch": self.stretch}[variant]
        cr.translate(64, self.ground)
        cr.scale(*scale)
        cr.translate(-64, -self.ground)

    def draw_shadow(self, cr):
        y, rx, ry = self.shadow
        ellipse(cr, 64, y, rx, ry)
        cr.set_source_rgba(0, 0, 0, 0.22)
        cr.fill()

    def draw_eyes(self, cr, variant):
        look = {"open": (0, 0), "left": (-3.5, 0), "right": (3.5, 0), "up": (0, -4), "down": (0, 4),
                "downleft": (-3, 4), "downright": (3, 4), "upleft": (-3, -4), "sad": (0, 3), "wide": (0, 0),
                "squint": (0, 0)}
        for cx, cy in (self.eye_left, self.eye_right):
            rx, ry = self.eye_rx, self.eye_ry
            if variant == "closed":
                curve(cr, (cx - rx, cy + 1), (cx, cy + 6), (cx + rx, cy + 1), 2.6)
                continue
            if variant == "happy":
                curve(cr, (cx - rx, cy + 3), (cx, cy - 8), (cx + rx, cy + 3), 2.8)
                continue
            if variant == "wide":
                rx, ry = rx + 2, ry + 2
            if variant == "squint":
                ry = ry * 0.45
            ellipse(cr, cx, cy, rx, ry)
            fill_stroke(cr, (1, 1, 1, 1), width=2.0)
            dx, dy = look.get(variant, (0, 0))
            radius = 2.8 if variant == "wide" else 4.4
            if variant == "squint":
                radius = 3.0
            ellipse(cr, cx + dx, cy + dy, radius, radius if variant != "squint" else 2.6)
            cr.set_source_rgb(*INK)
            cr.fill()
            ellipse(cr, cx + dx + 1.4, cy + dy - 1.6, 1.2, 1.2)
            cr.set_source_rgb(1, 1, 1)
            cr.fill()
            if variant == "sad":  # a heavy upper lid
                cr.rectangle(cx - rx - 1, cy - ry - 1, 2 * rx + 2, ry * 0.8)
                cr.set_source_rgba(*self.skin)
                cr.fill()
                line(cr, [(cx - rx, cy - ry * 0.15), (cx + rx, cy - ry * 0.35 if cx < 64 else cy - ry * 0.15)], 2.2)

    def draw_brows(self, cr, variant):
        (lx, ly), (rx, ry) = self.eye_left, self.eye_right
        top = self.eye_ry + 5
        shapes = {
            "raised": [((lx - 7, ly - top), (lx, ly - top - 5), (lx + 7, ly - top)),
                       ((rx - 7, ry - top), (rx, ry - top - 5), (rx + 7, ry - top))],
            "worried": [((lx - 7, ly - top + 1), (lx, ly - top), (lx + 7, ly - top - 4)),
                        ((rx - 7, ry - top - 4), (rx, ry - top), (rx + 7, ry - top + 1))],
            "angry": [((lx - 7, ly - top - 3), (lx, ly - top), (lx + 7, ly - top + 3)),
                      ((rx - 7, ry - top + 3), (rx, ry - top), (rx + 7, ry - top - 3))],
            "one": [((lx - 7, ly - top - 1), (lx, ly - top - 6), (lx + 7, ly - top - 1)),
                    ((rx - 7, ry - top + 1), (rx, ry - top + 1), (rx + 7, ry - top + 1))],
        }
        for a, control, b in shapes.get(variant, []):
            curve(cr, a, control, b, 2.6)

    def draw_mouth(self, cr, variant):
        x, y = self.mouth_at
        if variant == "smile":
            curve(cr, (x - 9, y - 2), (x, y + 7), (x + 9, y - 2), 2.6)
        elif variant == "flat":
            line(cr, [(x - 7, y), (x + 7, y)], 2.6)
        elif variant == "frown":
            curve(cr, (x - 8, y + 4), (x, y - 5), (x + 8, y + 4), 2.6)
        elif variant == "wavy":
            line(cr, [(x - 9, y + 1), (x - 4.5, y - 2), (x, y + 1), (x + 4.5, y - 2), (x + 9, y + 1)], 2.4)
        elif variant in ("open", "o", "wide", "grin"):
            if variant == "open":
                ellipse(cr, x, y + 1, 7, 5)
            elif variant == "o":
                ellipse(cr, x, y + 1, 4, 4.5)
            elif variant == "wide":
                ellipse(cr, x, y + 2, 9, 8)
            else:  # grin: a wide half moon with teeth
                cr.move_to(x - 11, y - 3)
                cr.curve_to(x - 8, y + 11, x + 8, y + 11, x + 11, y - 3)
                cr.close_path()
            fill_stroke(cr, (0.45, 0.08, 0.10, 1), width=2.2)
            if variant == "grin":
                cr.rectangle(x - 8, y - 2.5, 16, 3.5)
                cr.set_source_rgb(1, 1, 1)
                cr.fill()
            elif variant in ("open", "wide"):
                ellipse(cr, x, y + (4 if variant == "open" else 6), 4, 2)
                cr.set_source_rgb(0.93, 0.45, 0.45)
                cr.fill()

    # Arms: a bent stroke from the shoulder to a round hand.
    hands = {
        "down": (16, 110), "out": (6, 80), "up": (12, 42), "shrug": (6, 62), "ear": (20, 64),
        "hold": (50, 114), "cross": (86, 100), "chin": (48, 106), "point": (4, 78),
        "wave1": (12, 44), "wave2": (2, 56), "write1": (44, 112), "write2": (40, 110), "write3": (48, 112),
    }

    def draw_arm(self, cr, side, variant):
        shoulder = self.shoulder
        hand = self.hands[variant]
        if side == "right":
            shoulder = (128 - shoulder[0], shoulder[1])
            hand = (128 - hand[0], hand[1])
        elbow = ((shoulder[0] + hand[0]) / 2 + (-4 if side == "left" else 4), (shoulder[1] + hand[1]) / 2 + 4)
        for width, colour in ((6.5, INK), (3.5, self.limb)):
            curve(cr, shoulder, elbow, hand, width, colour)
        ellipse(cr, hand[0], hand[1], 5.5, 5.5)
        fill_stroke(cr, (1, 1, 1, 1), width=2.0)
        if variant == "point":
            direction = -1 if side == "left" else 1
            line(cr, [(hand[0] + 3 * direction, hand[1]), (hand[0] + 10 * direction, hand[1] - 1)], 3.2)
        if variant.startswith("write"):  # the pencil in the hand
            line(cr, [(hand[0] - 3, hand[1] + 4), (hand[0] + 6, hand[1] - 12)], 4.5, (0.2, 0.2, 0.2))
            line(cr, [(hand[0] - 3, hand[1] + 4), (hand[0] + 6, hand[1] - 12)], 2.6, (0.98, 0.72, 0.15))

    def draw_prop(self, cr, variant):
        head = self.head_top
        if variant in ("exclaim", "question"):
            x, y = 100, head - 4
            cr.save()
            cr.translate(x, y)
            if variant == "exclaim":
                cr.move_to(-3, -16)
                cr.line_to(3, -16)
                cr.line_to(1.5, 2)
                cr.line_to(-1.5, 2)
                cr.close_path()
                fill_stroke(cr, (0.90, 0.15, 0.12, 1), width=1.5)
                ellipse(cr, 0, 7, 2.8, 2.8)
                fill_stroke(cr, (0.90, 0.15, 0.12, 1), width=1.5)
            else:
                cr.arc(0, -9, 7, math.pi, 2.2 * math.pi)
                cr.curve_to(5, -3, 0, -3, 0, 2)
                cr.set_source_rgb(0.15, 0.35, 0.85)
                cr.set_line_width(4)
                cr.stroke()
                ellipse(cr, 0, 8, 2.6, 2.6)
                cr.fill()
            cr.restore()
        elif variant.startswith("dots"):
            for i in range(int(variant[-1])):
                ellipse(cr, 90 + 9 * i, head - 2 - 8 * i, 2.5 + i, 2.2 + i)
                fill_stroke(cr, (1, 1, 1, 1), width=1.6)
        elif variant.startswith("bulb"):
            x, y = 64, head - 16
            if variant == "bulb2":
                for k in range(8):
                    angle = k * math.pi / 4
                    line(cr, [(x + 14 * math.cos(angle), y + 14 * math.sin(angle)),
                              (x + 19 * math.cos(angle), y + 19 * math.sin(angle))], 2, (0.95, 0.7, 0.1))
            ellipse(cr, x, y, 9, 9)
            fill_stroke(cr, (1, 0.93, 0.4, 1) if variant == "bulb2" else (0.95, 0.95, 0.85, 1), width=1.8)
            cr.rectangle(x - 4.5, y + 8, 9, 5)
            fill_stroke(cr, (0.6, 0.6, 0.65, 1), width=1.5)
        elif variant.startswith("sparkle"):
            spots = [(18, head + 4), (110, head + 12), (104, head + 62)] if variant == "sparkle1" else \
                    [(26, head - 6), (114, head), (16, head + 50)]
            for x, y in spots:
                cr.move_to(x, y - 7)
                for k in range(1, 8):
                    r = 7 if k % 2 == 0 else 2
                    angle = -math.pi / 2 + k * math.pi / 4
                    cr.line_to(x + r * math.cos(angle), y + r * math.sin(angle))
                cr.close_path()
                fill_stroke(cr, (1, 0.85, 0.2, 1), (0.8, 0.55, 0.0), 1.2)
        elif variant.startswith("tear"):
            x, y = self.eye_left[0] - 4, self.eye_left[1] + (10 if variant == "tear1" else 20)
            cr.move_to(x, y - 6)
            cr.curve_to(x + 5, y, x + 4, y + 5, x, y + 5)
            cr.curve_to(x - 4, y + 5, x - 5, y, x, y - 6)
            fill_stroke(cr, (0.55, 0.8, 1, 1), (0.2, 0.45, 0.8), 1.4)
        elif variant == "bang":
            for x, y, a in ((18, head + 6, -2.4), (110, head + 6, -0.7), (10, head + 34, 3.0), (118, head + 34, 0.0)):
                line(cr, [(x, y), (x + 8 * math.cos(a), y + 8 * math.sin(a))], 2.6, (0.9, 0.2, 0.1))
        elif variant.startswith("waves"):
            for side in (-1, 1):
                cx = 64 + side * 50
                for k in range(1 if variant == "waves1" else 2):
                    r = 6 + 6 * k
                    start, end = (-0.8, 0.8) if side == 1 else (math.pi - 0.8, math.pi + 0.8)
                    cr.arc(cx, 62, r, start, end)
                    cr.set_source_rgb(0.2, 0.45, 0.85)
                    cr.set_line_width(2.2)
                    cr.stroke()
        elif variant.startswith("gear"):
            x, y = 64, head - 14
            turn = 0 if variant == "gear1" else math.pi / 8
            cr.move_to(x + 11 * math.cos(turn), y + 11 * math.sin(turn))
            for k in range(16):
                r = 11 if k % 2 == 0 else 8
                angle = turn + k * math.pi / 8
                cr.line_to(x + r * math.cos(angle), y + r * math.sin(angle))
            cr.close_path()
            fill_stroke(cr, (0.65, 0.68, 0.75, 1), width=1.6)
            ellipse(cr, x, y, 3.5, 3.5)
            cr.set_source_rgb(1, 1, 1)
            cr.fill()
        elif variant == "book":
            cr.move_to(40, 104)
            cr.line_to(64, 108)
            cr.line_to(88, 104)
            cr.line_to(88, 124)
            cr.line_to(64, 128)
            cr.line_to(40, 124)
            cr.close_path()
            fill_stroke(cr, (0.25, 0.45, 0.75, 1), width=2)
            for x0, x1 in ((43, 62), (66, 85)):
                cr.rectangle(x0, 106 if x0 < 64 else 106, x1 - x0, 16)
                cr.set_source_rgb(0.98, 0.97, 0.92)
                cr.fill()
            line(cr, [(64, 108), (64, 127)], 1.6)
        elif variant.startswith("lens"):
            x = {"lens_left": 44, "lens_mid": 64, "lens_right": 84}[variant]
            line(cr, [(x + 8, 100), (112, 114)], 5, (0.45, 0.3, 0.15))
            ellipse(cr, x, 90, 11, 11)
            fill_stroke(cr, (0.8, 0.92, 1, 0.45), (0.3, 0.3, 0.35), 3)
        elif variant == "pad":
            cr.rectangle(30, 100, 34, 26)
            fill_stroke(cr, (1, 1, 1, 1), width=1.8)
            for k in range(3):
                line(cr, [(34, 107 + 6 * k), (60, 107 + 6 * k)], 1.2, (0.55, 0.65, 0.85))
