#!/usr/bin/env python3
"""Writes the SVG frames of the two progress animations.

    animations.py scanning OUTDIR   -> OUTDIR/frame-00.svg ... (repair page)
    animations.py saving OUTDIR     -> OUTDIR/frame-00.svg ... (save page)

render.sh rasterises the frames and joins them into looping GIFs. Every
frame is a pure function of its phase t in [0, 1), so the last frame leads
smoothly back into the first.
"""

import math
import os
import sys

WIDTH, HEIGHT = 400, 100
FRAME_COUNT = 20

BLUE = "#1E80C6"
DARK_BLUE = "#0E5690"
AMBER = "#FFC63D"
AMBER_EDGE = "#B86E00"
GREEN = "#2EA66A"
GREY = "#9AA9B6"
CRACK = "#E8743B"

# A zipped file, 36 x 44, origin at its top-left corner.
ZIP_FILE_SHAPE = "M 1,1 H 25 L 35,11 V 43 H 1 Z"
ZIP_FILE_FOLD = "M 25,1 V 11 H 35"


def zip_file(fill, edge, teeth):
    """Defs body of one file icon: page, folded corner and a zipper stripe."""
    teeth_rects = "".join(
        f'<rect x="{15 if i % 2 == 0 else 18}" y="{14 + 5 * i}" width="3" height="3" fill="{teeth}"/>'
        for i in range(5))
    return (f'<path d="{ZIP_FILE_SHAPE}" fill="{fill}" stroke="{edge}" stroke-width="2" '
            f'stroke-linejoin="round"/>'
            f'<path d="{ZIP_FILE_FOLD}" fill="#FFFFFF" fill-opacity="0.6" stroke="{edge}" '
            f'stroke-width="2" stroke-linejoin="round"/>'
            f'<rect x="15" y="6" width="6" height="3" fill="{teeth}"/>'
            + teeth_rects)


def defs_common():
    damaged = (zip_file("#EEF2F5", GREY, GREY)
               + f'<path d="M 3,24 L 10,20 L 14,27 L 22,21 L 27,28 L 33,24" fill="none" '
                 f'stroke="{CRACK}" stroke-width="2.2" stroke-linejoin="round" '
                 f'stroke-linecap="round"/>')
    repaired = (zip_file("#FFFFFF", BLUE, BLUE)
                + f'<circle cx="31" cy="39" r="7" fill="{GREEN}" stroke="#FFFFFF" stroke-width="1.5"/>'
                  '<path d="M 27.8,39.2 L 30.2,41.6 L 34.4,36.8" fill="none" stroke="#FFFFFF" '
                  'stroke-width="1.8" stroke-linecap="round" stroke-linejoin="round"/>')
    plain = zip_file("#FFFFFF", BLUE, BLUE)
    return (f'<g id="damaged">{damaged}</g>'
            f'<g id="repaired">{repaired}</g>'
            f'<g id="plain">{plain}</g>')


def svg(body, defs=""):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}" '
            f'viewBox="0 0 {WIDTH} {HEIGHT}">'
            f'<defs>{defs_common()}{defs}</defs>'
            f'<rect width="{WIDTH}" height="{HEIGHT}" fill="#FFFFFF"/>{body}</svg>\n')


def edge_fades():
    """White fades at both ends so files slide in and out softly."""
    return ('<linearGradient id="fade-left" x1="0" y1="0" x2="1" y2="0">'
            '<stop offset="0" stop-color="#FFFFFF"/>'
            '<stop offset="1" stop-color="#FFFFFF" stop-opacity="0"/></linearGradient>'
            '<linearGradient id="fade-right" x1="0" y1="0" x2="1" y2="0">'
            '<stop offset="0" stop-color="#FFFFFF" stop-opacity="0"/>'
            '<stop offset="1" stop-color="#FFFFFF"/></linearGradient>')


# --- scanning: files ride a track under a magnifier and come out repaired ---

SCAN_SPACING = 80
SCAN_LENS_X, SCAN_LENS_Y, SCAN_LENS_R = 200, 44, 31
SCAN_FILE_TOP = 22


def scanning_row(t):
    """The file icons at phase t; a file is repaired once its centre passes the lens."""
    shift = t * SCAN_SPACING
    parts = []
    for i in range(-1, WIDTH // SCAN_SPACING + 2):
        left = i * SCAN_SPACING + shift - 18 + SCAN_SPACING / 2
        centre = left + 18
        kind = "repaired" if centre >= SCAN_LENS_X else "damaged"
        parts.append(f'<use href="#{kind}" transform="translate({left:.2f},{SCAN_FILE_TOP})"/>')
    return "".join(parts)


def scanning_frame(t):
    bob = 2.5 * math.sin(2 * math.pi * t)
    lx, ly, r = SCAN_LENS_X, SCAN_LENS_Y + bob, SCAN_LENS_R
    zoom = 1.3
    row = scanning_row(t)
    track = ('<path d="M 0,75.5 H 400" stroke="#D6E4EE" stroke-width="3" '
             'stroke-dasharray="10 6" stroke-dashoffset="{:.2f}"/>').format(-t * SCAN_SPACING)
    defs = (edge_fades()
            + f'<clipPath id="lens"><circle cx="{lx}" cy="{ly:.2f}" r="{r - 2}"/></clipPath>'
              '<radialGradient id="glass" cx="0.35" cy="0.3" r="0.8">'
              '<stop offset="0" stop-color="#FFFFFF" stop-opacity="0.55"/>'
              '<stop offset="1" stop-color="#BFE3F7" stop-opacity="0.35"/></radialGradient>')
    magnified = (f'<g clip-path="url(#lens)">'
                 f'<rect x="{lx - r}" y="{ly - r:.2f}" width="{2 * r}" height="{2 * r}" fill="#FFFFFF"/>'
                 f'<g transform="translate({lx},{ly:.2f}) scale({zoom}) translate({-lx},{-ly:.2f})">'
                 f'{track}{row}</g>'
                 f'<circle cx="{lx}" cy="{ly:.2f}" r="{r}" fill="url(#glass)"/></g>')
    # Handle first, so the ring covers its joint.
    angle = math.radians(45)
    hx0, hy0 = lx + (r + 1) * math.cos(angle), ly + (r + 1) * math.sin(angle)
    hx1, hy1 = lx + (r + 22) * math.cos(angle), ly + (r + 22) * math.sin(angle)
    handle = (f'<path d="M {hx0:.2f},{hy0:.2f} L {hx1:.2f},{hy1:.2f}" stroke="{DARK_BLUE}" '
              f'stroke-width="10" stroke-linecap="round"/>'
              f'<path d="M {hx0 + 6:.2f},{hy0 + 6:.2f} L {hx1:.2f},{hy1:.2f}" stroke="{AMBER}" '
              f'stroke-width="5" stroke-linecap="round"/>')
    ring = (f'<circle cx="{lx}" cy="{ly:.2f}" r="{r}" fill="none" stroke="{DARK_BLUE}" stroke-width="6"/>'
            f'<circle cx="{lx}" cy="{ly:.2f}" r="{r - 2.5}" fill="none" stroke="#FFFFFF" '
            f'stroke-width="1.2" stroke-opacity="0.8"/>'
            f'<path d="M {lx - 18},{ly - 8:.2f} A 19 19 0 0 1 {lx - 6},{ly - 19:.2f}" fill="none" '
            f'stroke="#FFFFFF" stroke-width="3" stroke-linecap="round" stroke-opacity="0.9"/>')
    fades = ('<rect x="0" y="0" width="70" height="100" fill="url(#fade-left)"/>'
             '<rect x="330" y="0" width="70" height="100" fill="url(#fade-right)"/>')
    shadow = (f'<ellipse cx="{lx + 4}" cy="92" rx="{26 - bob:.2f}" ry="3.5" fill="#0E5690" '
              f'fill-opacity="0.12"/>')
    return svg(track + row + fades + shadow + handle + magnified + ring, defs)


# --- saving: files fly from a pile into the zipper box ---

SAVE_FLIGHTS = 3
SAVE_START = (90.0, 46.0)
SAVE_PEAK = (190.0, -12.0)
SAVE_END = (298.0, 64.0)


def bezier(p0, p1, p2, t):
    u = 1 - t
    return (u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
            u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1])


def flying_file(t):
    """One file at flight phase t: rises off the pile, turns, and drops into the box."""
    x, y = bezier(SAVE_START, SAVE_PEAK, SAVE_END, t)
    scale = 0.7 - 0.2 * t
    turn = 25 * math.sin(math.pi * t)
    opacity = min(1.0, t / 0.08)
    return (f'<use href="#plain" opacity="{opacity:.2f}" transform="translate({x:.2f},{y:.2f}) '
            f'rotate({turn:.2f}) scale({scale:.3f}) translate(-18,-22)"/>')


def zipper_box_back():
    return ('<path d="M 254,52 L 262,26 H 334 L 342,52 Z" fill="#7ACDF7" stroke="#0E5690" '
            'stroke-width="2.5" stroke-linejoin="round"/>'
            '<rect x="256" y="50" width="84" height="10" rx="3" fill="#0B3F66"/>')


def zipper_box_front(squash):
    top = 56 + squash
    teeth = "".join(
        f'<rect x="{295 if i % 2 == 0 else 299}" y="{top + 8 + 6 * i:.2f}" width="4" height="3" fill="#EAF6FF"/>'
        for i in range(4))
    return (f'<rect x="258" y="{top:.2f}" width="80" height="{38 - squash:.2f}" rx="7" '
            f'fill="url(#box)" stroke="#0E5690" stroke-width="2.5"/>'
            f'<rect x="294" y="{top + 2:.2f}" width="10" height="{32 - squash:.2f}" rx="2" fill="#0E5690"/>'
            + teeth
            + f'<rect x="295" y="{top + 1:.2f}" width="8" height="13" rx="4" fill="{AMBER}" '
              f'stroke="{AMBER_EDGE}" stroke-width="1.5"/>')


def file_pile():
    return ('<use href="#plain" transform="translate(62,46) rotate(-10)"/>'
            '<use href="#plain" transform="translate(86,40) rotate(8)"/>'
            '<use href="#plain" transform="translate(72,42)"/>')


def saving_frame(t):
    # The box dips briefly each time a file lands in it.
    landing = [(t + k / SAVE_FLIGHTS) % 1.0 for k in range(SAVE_FLIGHTS)]
    squash = sum(2.5 * math.exp(-min(p, 1.0 - p) ** 2 / 0.003) for p in landing)
    defs = ('<linearGradient id="box" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#3DA6E8"/><stop offset="1" stop-color="#1565A8"/>'
            '</linearGradient>')
    shadows = ('<ellipse cx="84" cy="93" rx="34" ry="3.5" fill="#0E5690" fill-opacity="0.12"/>'
               '<ellipse cx="298" cy="96" rx="46" ry="3" fill="#0E5690" fill-opacity="0.14"/>')
    trail = (f'<path d="M {SAVE_START[0]},{SAVE_START[1]} Q {SAVE_PEAK[0]},{SAVE_PEAK[1]} '
             f'{SAVE_END[0]},{SAVE_END[1]}" fill="none" stroke="#BFE3F7" stroke-width="2" '
             'stroke-dasharray="2 7" stroke-linecap="round"/>')
    flights = "".join(flying_file(p) for p in sorted(landing, reverse=True))
    return svg(shadows + trail + file_pile() + zipper_box_back() + flights
               + zipper_box_front(squash), defs)


ANIMATIONS = {"scanning": scanning_frame, "saving": saving_frame}


def main(argv):
    if len(argv) != 3 or argv[1] not in ANIMATIONS:
        sys.stderr.write("usage: animations.py {scanning|saving} OUTDIR\n")
        return 2
    frame = ANIMATIONS[argv[1]]
    os.makedirs(argv[2], exist_ok=True)
    for i in range(FRAME_COUNT):
        with open(os.path.join(argv[2], f"frame-{i:02d}.svg"), "w", encoding="utf-8") as out:
            out.write(frame(i / FRAME_COUNT))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
