#!/usr/bin/python3
"""Memotab's own characters, drawn with cairo: Nota, a yellow sticky note with eyes and
arms, and Reloj, a small red alarm clock. Writes Nota.mtpj and Reloj.mtpj into the
folder given; with --preview FILE.png also a sheet of every animation's frames."""
import math
import os
import sys

import cairo

import rig
from face import Face, ellipse, fill_stroke, line


class Nota(Face, rig.Character):
    name = "Nota"
    description = "Una nota adhesiva que te recuerda lo que anotaste"
    version = "1.0"
    extra = "Dibujada para Memotab"
    skin = (1.0, 0.89, 0.36, 1)
    limb = (0.95, 0.78, 0.25)
    shoulder = (28, 88)
    head_top = 42

    def draw_body(self, cr, variant):
        self.body_transform(cr, variant)
        x0, y0, x1, y1 = 26, 44, 102, 120
        cr.move_to(x0, y0)
        cr.line_to(x1, y0)
        cr.line_to(x1, y1 - 16)
        cr.line_to(x1 - 16, y1)
        cr.line_to(x0, y1)
        cr.close_path()
        gradient = cairo.LinearGradient(0, y0, 0, y1)
        gradient.add_color_stop_rgb(0, 1.0, 0.93, 0.45)
        gradient.add_color_stop_rgb(1, 0.99, 0.84, 0.28)
        cr.set_source(gradient)
        cr.fill_preserve()
        cr.set_source_rgb(0.72, 0.56, 0.08)
        cr.set_line_width(2)
        cr.stroke()
        cr.rectangle(x0 + 1, y0 + 1, x1 - x0 - 2, 9)  # the sticky strip
        cr.set_source_rgba(0.85, 0.68, 0.12, 0.45)
        cr.fill()
        cr.move_to(x1, y1 - 16)  # the folded corner
        cr.line_to(x1 - 14, y1 - 14)
        cr.line_to(x1 - 16, y1)
        cr.close_path()
        fill_stroke(cr, (0.93, 0.74, 0.20, 1), (0.72, 0.56, 0.08), 1.6)
        for k in range(2):  # two written lines on the note
            line(cr, [(x0 + 10, y0 + 18 + 5 * k), (x0 + 26 - 6 * k, y0 + 18 + 5 * k)], 1.4, (0.55, 0.5, 0.7))


class Reloj(Face, rig.Character):
    name = "Reloj"
    description = "Un despertador que no deja pasar ninguna cita"
    version = "1.0"
    extra = "Dibujado para Memotab"
    skin = (1, 1, 0.97, 1)
    limb = (0.86, 0.24, 0.2)
    shoulder = (30, 86)
    head_top = 30
    eye_left, eye_right, mouth_at = (54, 76), (74, 76), (64, 96)
    eye_rx, eye_ry = 6.5, 8.5
    hands = dict(Face.hands, down=(18, 112), hold=(52, 112))
    ground = 124
    squash, stretch = (1.07, 0.92), (0.94, 1.07)
    shadow = (130, 34, 5)

    def draw_body(self, cr, variant):
        self.body_transform(cr, variant)
        for x in (42, 86):  # feet
            ellipse(cr, x, 120, 8, 4)
            fill_stroke(cr, (0.35, 0.3, 0.3, 1), width=1.6)
        line(cr, [(34, 50), (64, 34), (94, 50)], 3, (0.45, 0.42, 0.45))  # the hammer's arch
        for x, tilt in ((38, -0.5), (90, 0.5)):  # the bells
            cr.save()
            cr.translate(x, 44)
            cr.rotate(tilt)
            cr.arc(0, 0, 12, math.pi, 2 * math.pi)
            cr.close_path()
            fill_stroke(cr, (0.98, 0.78, 0.25, 1), (0.6, 0.42, 0.05), 2)
            cr.restore()
        ellipse(cr, 64, 34, 3.5, 3.5)
        fill_stroke(cr, (0.98, 0.78, 0.25, 1), (0.6, 0.42, 0.05), 1.5)
        ellipse(cr, 64, 82, 38, 38)  # the case
        gradient = cairo.RadialGradient(52, 66, 6, 64, 82, 40)
        gradient.add_color_stop_rgb(0, 0.98, 0.42, 0.36)
        gradient.add_color_stop_rgb(1, 0.80, 0.16, 0.14)
        cr.set_source(gradient)
        cr.fill_preserve()
        cr.set_source_rgb(0.5, 0.08, 0.06)
        cr.set_line_width(2)
        cr.stroke()
        ellipse(cr, 64, 82, 30, 30)  # the face
        fill_stroke(cr, self.skin, (0.5, 0.08, 0.06), 1.6)
        for k in range(12):  # the hour marks
            angle = k * math.pi / 6
            inner = 25 if k % 3 == 0 else 27
            line(cr, [(64 + inner * math.cos(angle), 82 + inner * math.sin(angle)),
                      (64 + 29 * math.cos(angle), 82 + 29 * math.sin(angle))], 1.6 if k % 3 == 0 else 1, (0.45, 0.4, 0.4))

    def draw_prop(self, cr, variant):
        if variant == "exclaim":  # the bells ring
            for x, side in ((38, -1), (90, 1)):
                for r in (16, 21):
                    start, end = (-2.6, -1.9) if side == -1 else (-1.25, -0.55)
                    cr.arc(x, 44, r, start, end)
                    cr.set_source_rgb(0.9, 0.2, 0.1)
                    cr.set_line_width(2.2)
                    cr.stroke()
        super().draw_prop(cr, variant)


def preview(character, images, frames, animations, path):
    """A sheet with one row per animation, its frames left to right."""
    cell = 72
    columns = max(len(refs) for _, _, refs in animations)
    sheet = cairo.ImageSurface(cairo.FORMAT_ARGB32, 150 + columns * cell, len(animations) * cell)
    cr = cairo.Context(sheet)
    cr.set_source_rgb(0.55, 0.62, 0.7)
    cr.paint()
    pictures = []
    for _, _, width, height, pixels in images:
        pictures.append(cairo.ImageSurface.create_for_data(bytearray(pixels), cairo.FORMAT_ARGB32, width, height, width * 4))
    for row, (name, loops, refs) in enumerate(animations):
        cr.set_source_rgb(0, 0, 0)
        cr.move_to(4, row * cell + 36)
        cr.set_font_size(11)
        cr.show_text(name + (" *" if loops else ""))
        for column, ref in enumerate(refs):
            layers, _ = frames[ref]
            cr.save()
            cr.translate(150 + column * cell, row * cell)
            cr.scale(cell / character.height, cell / character.height)
            for image, x, y in layers:
                cr.set_source_surface(pictures[image], x, y)
                cr.paint()
            cr.restore()
    sheet.write_to_png(path)


def main(arguments):
    folder = arguments[0]
    preview_path = arguments[2] if len(arguments) > 2 and arguments[1] == "--preview" else None
    for character in (Nota(), Reloj()):
        data, images, frames, animations = rig.build(character)
        with open(os.path.join(folder, character.name + ".mtpj"), "wb") as out:
            out.write(data)
        print(f"{character.name}.mtpj: {len(data)} bytes, {len(images)} pictures, {len(frames)} frames, "
              f"{len(animations)} animations")
        if preview_path:
            preview(character, images, frames, animations, preview_path.replace(".png", f"-{character.name}.png"))


if __name__ == "__main__":
    main(sys.argv[1:])
