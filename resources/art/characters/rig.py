"""The pose rig shared by Memotab's characters: a pose names a variant of each part of the
figure (body, eyes, brows, mouth, both arms, a prop) and an offset; a character draws its
parts with cairo; the animations are lists of poses with times. Every part is drawn once,
cropped to what it covers and kept as a picture of the file; a frame lays the pictures
of its pose over each other."""
import struct
import zlib

import cairo

MAGIC = b"MTPJ\r\n\x1a\n"
VERSION = 1


def pose(eyes="open", brows="none", mouth="smile", larm="down", rarm="down", prop=None, body="normal",
         dx=0, dy=0, ms=120):
    return dict(eyes=eyes, brows=brows, mouth=mouth, larm=larm, rarm=rarm, prop=prop, body=body, dx=dx, dy=dy, ms=ms)


REST = pose(ms=0)


def rest():
    """The rest pose that ends an animation: shown, and the animation is over."""
    return dict(REST)


def look(direction):
    """Turning the eyes one way, holding, and coming back."""
    lean = {"left": (-3, 0), "right": (3, 0), "up": (0, -3), "down": (0, 3)}[direction]
    return [pose(eyes=direction, ms=120), pose(eyes=direction, dx=lean[0], dy=lean[1], ms=600),
            pose(eyes=direction, ms=200), rest()]


def look_return(direction):
    """Settling after a look: a blink and a small nod toward where the eyes were."""
    nod = {"left": (-1, 0), "right": (1, 0), "up": (0, -1), "down": (0, 1)}[direction]
    return [pose(eyes="closed", dx=nod[0], dy=nod[1], ms=110), pose(ms=90), pose(eyes="closed", ms=90), rest()]


def waving(times, mouth="grin"):
    frames = []
    for _ in range(times):
        frames += [pose(rarm="wave1", mouth=mouth, eyes="happy", ms=140), pose(rarm="wave2", mouth=mouth, eyes="happy", ms=140)]
    return frames


# Every animation the program plays, the ones the service plays by itself (Showing,
# Hiding, Speaking, Moving), and whether it loops. Each ends at rest, except Hiding, which
# ends with the figure gone, and the looping ones, which the service stops at rest.
ANIMATIONS = {
    "RestPose": (False, [rest()]),
    "Showing": (False, [pose(dy=110, ms=40), pose(dy=70, body="stretch", ms=50), pose(dy=30, body="stretch", ms=50),
                        pose(dy=-8, body="stretch", eyes="wide", ms=70), pose(body="squash", eyes="closed", ms=90),
                        pose(dy=-3, ms=70), rest()]),
    "Hiding": (False, [pose(body="squash", eyes="closed", ms=110), pose(dy=-8, body="stretch", eyes="closed", ms=70),
                       pose(dy=40, body="stretch", eyes="closed", ms=50), pose(dy=90, body="stretch", ms=50),
                       dict(pose(dy=150, ms=40), hidden=True)]),
    "Speaking": (True, [pose(mouth="open", ms=130), pose(mouth="smile", ms=110), pose(mouth="o", ms=120),
                        pose(mouth="open", ms=100), pose(mouth="flat", ms=110), pose(mouth="open", eyes="closed", ms=90),
                        pose(mouth="smile", ms=120)]),
    "Moving": (True, [pose(body="stretch", dy=-3, larm="out", rarm="out", ms=120),
                      pose(dy=-5, larm="out", rarm="out", ms=120), pose(body="squash", larm="out", rarm="out", ms=120)]),
    "GetAttention": (False, [pose(body="squash", ms=90), pose(dy=-12, body="stretch", larm="up", rarm="up", eyes="wide",
                                                              mouth="wide", prop="exclaim", ms=160),
                             pose(dy=-6, larm="up", rarm="up", eyes="wide", mouth="wide", prop="exclaim", ms=200),
                             pose(body="squash", larm="out", rarm="out", mouth="grin", prop="exclaim", ms=120), rest()]),
    "GetAttentionContinued": (False, waving(3, mouth="wide") + [rest()]),
    "GetAttentionReturn": (False, [pose(eyes="happy", mouth="grin", dy=2, ms=150), pose(eyes="happy", dy=4, body="squash", ms=160),
                                   pose(dy=1, ms=100), rest()]),
    "Think": (False, [pose(rarm="chin", eyes="up", ms=200), pose(rarm="chin", eyes="up", brows="raised", prop="dots1", ms=260),
                      pose(rarm="chin", eyes="up", brows="raised", prop="dots2", ms=260),
                      pose(rarm="chin", eyes="up", brows="raised", prop="dots3", mouth="flat", ms=320),
                      pose(rarm="chin", eyes="right", mouth="flat", ms=240), rest()]),
    "Confused": (False, [pose(brows="one", eyes="left", mouth="wavy", ms=220), pose(brows="one", eyes="right", mouth="wavy", prop="question", ms=260),
                         pose(brows="one", larm="shrug", rarm="shrug", mouth="wavy", prop="question", dy=-3, ms=380),
                         pose(brows="one", larm="shrug", rarm="shrug", prop="question", ms=220), rest()]),
    "Uncertain": (False, [pose(brows="worried", mouth="wavy", eyes="left", ms=220), pose(brows="worried", mouth="wavy", eyes="right", rarm="chin", ms=260),
                          pose(brows="worried", mouth="wavy", eyes="left", rarm="chin", dx=-2, ms=260),
                          pose(brows="worried", mouth="flat", eyes="right", dx=2, ms=240), rest()]),
    "Alert": (False, [pose(eyes="wide", brows="raised", mouth="o", body="stretch", dy=-6, prop="exclaim", ms=200),
                      pose(eyes="wide", brows="raised", mouth="o", dy=-4, larm="out", rarm="out", prop="exclaim", ms=380),
                      pose(eyes="wide", brows="raised", mouth="flat", ms=200), rest()]),
    "Pleased": (False, [pose(eyes="happy", mouth="grin", prop="sparkle1", ms=180), pose(eyes="happy", mouth="grin", body="stretch", dy=-8, larm="up", rarm="up", prop="sparkle2", ms=180),
                        pose(eyes="happy", mouth="grin", body="squash", prop="sparkle1", ms=160),
                        pose(eyes="happy", mouth="grin", dy=-4, prop="sparkle2", ms=200), rest()]),
    "Explain": (False, [pose(larm="out", mouth="open", ms=200), pose(larm="out", rarm="point", mouth="smile", eyes="right", ms=260),
                        pose(larm="out", rarm="point", mouth="open", eyes="right", ms=220),
                        pose(larm="out", rarm="out", mouth="o", ms=260), pose(larm="out", mouth="smile", ms=200), rest()]),
    "Sad": (False, [pose(eyes="sad", brows="worried", mouth="frown", dy=2, ms=260), pose(eyes="sad", brows="worried", mouth="frown", dy=4, body="squash", prop="tear1", ms=320),
                    pose(eyes="sad", brows="worried", mouth="frown", dy=4, body="squash", prop="tear2", ms=360),
                    pose(eyes="sad", mouth="flat", dy=2, ms=220), rest()]),
    "Surprised": (False, [pose(eyes="wide", brows="raised", mouth="o", body="stretch", dy=-10, prop="bang", ms=160),
                          pose(eyes="wide", brows="raised", mouth="wide", larm="up", rarm="up", dy=-6, prop="bang", ms=360),
                          pose(eyes="wide", mouth="o", ms=200), rest()]),
    "Wave": (False, [pose(rarm="out", mouth="grin", ms=100)] + waving(4) + [rest()]),
    "Decline": (False, [pose(larm="cross", rarm="cross", mouth="frown", brows="angry", ms=200),
                        pose(larm="cross", rarm="cross", mouth="frown", brows="angry", eyes="closed", dx=-4, ms=150),
                        pose(larm="cross", rarm="cross", mouth="frown", brows="angry", eyes="closed", dx=4, ms=150),
                        pose(larm="cross", rarm="cross", mouth="frown", brows="angry", dx=-4, ms=150),
                        pose(larm="cross", rarm="cross", mouth="flat", ms=200), rest()]),
    "Suggest": (False, [pose(eyes="up", prop="bulb1", ms=180), pose(eyes="wide", rarm="up", mouth="grin", prop="bulb2", dy=-4, ms=300),
                        pose(rarm="point", mouth="open", eyes="right", prop="bulb2", ms=300),
                        pose(rarm="point", mouth="smile", eyes="right", ms=200), rest()]),
    "LookDown": (False, look("down")), "LookDownReturn": (False, look_return("down")),
    "LookLeft": (False, look("left")), "LookLeftReturn": (False, look_return("left")),
    "LookRight": (False, look("right")), "LookRightReturn": (False, look_return("right")),
    "LookUp": (False, look("up")), "LookUpReturn": (False, look_return("up")),
    "Hearing_1": (True, [pose(rarm="ear", eyes="right", mouth="flat", prop="waves1", ms=260),
                         pose(rarm="ear", eyes="right", mouth="flat", prop="waves2", ms=260)]),
    "Hearing_2": (True, [pose(larm="ear", eyes="left", mouth="flat", prop="waves1", ms=260),
                         pose(larm="ear", eyes="left", mouth="flat", prop="waves2", ms=260)]),
    "Hearing_3": (True, [pose(larm="ear", rarm="ear", eyes="up", mouth="o", prop="waves1", ms=240),
                         pose(larm="ear", rarm="ear", eyes="closed", mouth="o", prop="waves2", ms=240)]),
    "Processing": (True, [pose(eyes="squint", mouth="flat", prop="gear1", ms=150), pose(eyes="squint", mouth="flat", prop="gear2", ms=150),
                          pose(eyes="squint", mouth="wavy", prop="gear1", dy=-1, ms=150), pose(eyes="squint", mouth="flat", prop="gear2", dy=-1, ms=150)]),
    "Reading": (True, [pose(larm="hold", rarm="hold", prop="book", eyes="downleft", mouth="flat", ms=420),
                       pose(larm="hold", rarm="hold", prop="book", eyes="down", mouth="flat", ms=420),
                       pose(larm="hold", rarm="hold", prop="book", eyes="downright", mouth="flat", ms=420),
                       pose(larm="hold", rarm="hold", prop="book", eyes="closed", mouth="flat", ms=120)]),
    "Searching": (True, [pose(rarm="hold", prop="lens_left", eyes="left", mouth="o", dx=-3, ms=300),
                         pose(rarm="hold", prop="lens_mid", eyes="open", mouth="flat", ms=200),
                         pose(rarm="hold", prop="lens_right", eyes="right", mouth="o", dx=3, ms=300),
                         pose(rarm="hold", prop="lens_mid", eyes="open", mouth="flat", ms=200)]),
    "Thinking": (True, [pose(rarm="chin", eyes="up", brows="raised", mouth="flat", prop="dots1", ms=300),
                        pose(rarm="chin", eyes="up", brows="raised", mouth="flat", prop="dots2", ms=300),
                        pose(rarm="chin", eyes="up", brows="raised", mouth="flat", prop="dots3", ms=300),
                        pose(rarm="chin", eyes="upleft", brows="raised", mouth="flat", ms=300)]),
    "Writing": (True, [pose(rarm="write1", larm="hold", prop="pad", eyes="down", mouth="flat", ms=180),
                       pose(rarm="write2", larm="hold", prop="pad", eyes="down", mouth="flat", ms=180),
                       pose(rarm="write3", larm="hold", prop="pad", eyes="downright", mouth="flat", ms=180),
                       pose(rarm="write2", larm="hold", prop="pad", eyes="down", mouth="smile", ms=180)]),
}


class Character:
    """A figure of `width` x `height` pixels. Subclasses draw each part with cairo into a
    context whose origin is the figure's top-left corner, in the rest position."""
    width = 128
    height = 140
    name = description = version = extra = ""
    font_name, font_size = "Tahoma", 9

    def draw_body(self, cr, variant): raise NotImplementedError
    def draw_eyes(self, cr, variant): raise NotImplementedError
    def draw_brows(self, cr, variant): pass
    def draw_mouth(self, cr, variant): raise NotImplementedError
    def draw_arm(self, cr, side, variant): raise NotImplementedError
    def draw_prop(self, cr, variant): raise NotImplementedError

    # The shadow under the figure; the transform through which the parts that squash
    # and stretch with the body are drawn.
    def draw_shadow(self, cr): raise NotImplementedError
    def body_transform(self, cr, variant): raise NotImplementedError


def render(character, draw):
    """Draws one part on a transparent figure and crops it; None when it covers nothing."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, character.width, character.height)
    cr = cairo.Context(surface)
    draw(cr)
    surface.flush()
    stride, data = surface.get_stride(), bytes(surface.get_data())
    rows = [data[y * stride:y * stride + character.width * 4] for y in range(character.height)]
    covered = [y for y, row in enumerate(rows) if any(row[3::4])]
    if not covered:
        return None
    top, bottom = covered[0], covered[-1] + 1
    columns = [x for x in range(character.width) if any(rows[y][x * 4 + 3] for y in range(top, bottom))]
    left, right = columns[0], columns[-1] + 1
    pixels = [rows[y][left * 4:right * 4] for y in range(top, bottom)]
    return left, top, right - left, bottom - top, b"".join(pixels)


def encode_runs(pixels):
    """Runs of 4-byte pixels: control < 128 then control + 1 literal pixels; control >= 128
    then one pixel repeated control - 127 times."""
    px = [pixels[i:i + 4] for i in range(0, len(pixels), 4)]
    out, literal, i = bytearray(), [], 0

    def flush():
        while literal:
            chunk = literal[:128]
            del literal[:128]
            out.append(len(chunk) - 1)
            out.extend(b"".join(chunk))

    while i < len(px):
        run = 1
        while i + run < len(px) and px[i + run] == px[i] and run < 128:
            run += 1
        if run >= 2:
            flush()
            out.append(127 + run)
            out.extend(px[i])
            i += run
        else:
            literal.append(px[i])
            i += 1
    flush()
    return bytes(out)


def text(value):
    data = value.encode("utf-8")
    return struct.pack("<H", len(data)) + data


def build(character):
    """The character file's bytes."""
    images, image_index, frames, frame_index = [], {}, [], {}

    def part(key, draw):
        if key not in image_index:
            image_index[key] = None
            cropped = render(character, draw)
            if cropped is not None:
                image_index[key] = len(images)
                images.append(cropped)
        index = image_index[key]
        return None if index is None else (index, images[index][0], images[index][1])

    def layers_of(p):
        if p.get("hidden"):
            return []
        layers = []
        shadow = part(("shadow",), character.draw_shadow)
        if shadow and p["dy"] < 40:
            layers.append(shadow[:1] + (shadow[1], shadow[2]))
        moving = []
        body = p["body"]

        def in_body(draw):
            def drawn(cr):
                character.body_transform(cr, body)
                draw(cr)
            return drawn

        moving.append(part(("larm", p["larm"], body), in_body(lambda cr: character.draw_arm(cr, "left", p["larm"]))))
        moving.append(part(("rarm", p["rarm"], body), in_body(lambda cr: character.draw_arm(cr, "right", p["rarm"]))))
        moving.append(part(("body", body), lambda cr: character.draw_body(cr, body)))
        moving.append(part(("eyes", p["eyes"], body), in_body(lambda cr: character.draw_eyes(cr, p["eyes"]))))
        moving.append(part(("brows", p["brows"], body), in_body(lambda cr: character.draw_brows(cr, p["brows"]))))
        moving.append(part(("mouth", p["mouth"], body), in_body(lambda cr: character.draw_mouth(cr, p["mouth"]))))
        # Arms are drawn over the body and the face: hands reach in front of both.
        moving = moving[2:] + moving[:2]
        if p["prop"]:
            moving.append(part(("prop", p["prop"]), lambda cr: character.draw_prop(cr, p["prop"])))
        for m in moving:
            if m is not None:
                layers.append((m[0], m[1] + p["dx"], m[2] + p["dy"]))
        return layers

    animations = []
    for name, (loops, poses) in ANIMATIONS.items():
        refs = []
        for p in poses:
            key = (tuple(layers_of(p)), p["ms"])
            if key not in frame_index:
                frame_index[key] = len(frames)
                frames.append(key)
            refs.append(frame_index[key])
        animations.append((name, loops, refs))

    out = bytearray(MAGIC)
    out += struct.pack("<HHH", VERSION, character.width, character.height)
    for value in (character.name, character.description, character.version, character.extra, character.font_name):
        out += text(value)
    out += struct.pack("<H", character.font_size)
    out += struct.pack("<H", len(images))
    for _, _, width, height, pixels in images:
        code = encode_runs(pixels)
        out += struct.pack("<HHI", width, height, len(code)) + code
    out += struct.pack("<H", len(frames))
    for layers, ms in frames:
        out += struct.pack("<HB", ms, len(layers))
        for image, x, y in layers:
            out += struct.pack("<Hhh", image, x, y)
    out += struct.pack("<H", len(animations))
    for name, loops, refs in animations:
        out += text(name) + struct.pack("<BH", 1 if loops else 0, len(refs))
        out += b"".join(struct.pack("<H", r) for r in refs)
    out += struct.pack("<I", zlib.crc32(bytes(out)) & 0xFFFFFFFF)
    return bytes(out), images, frames, animations
