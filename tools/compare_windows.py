#!/usr/bin/env python3
"""Compares the program's window in two screenshots pixel for pixel, outside its corner animation
(whose frame depends on the moment). Each screenshot comes with the lines `orva_ctl showcase`
printed for it: "window L T R B" and "animation L T R B", in screen coordinates. Prints what it
found; exits 1 when the windows differ in size or in any pixel, and then writes the differing
pixels in red over the first window to DIFF.png.
Usage: compare_windows.py SHOT1.bmp RECTS1.txt SHOT2.bmp RECTS2.txt DIFF.png"""
import sys

from PIL import Image


def rects(path):
    found = {}
    with open(path) as lines:
        for line in lines:
            words = line.split()
            if len(words) == 5 and words[0] in ("window", "animation"):
                found[words[0]] = tuple(int(w) for w in words[1:])
    return found["window"], found["animation"]


def window_pixels(shot, window, animation):
    """The window's pixels, and the animation's rectangle in the window's own coordinates."""
    left, top = window[0], window[1]
    image = Image.open(shot).convert("RGB").crop(window)
    return image, (animation[0] - left, animation[1] - top, animation[2] - left, animation[3] - top)


def main():
    shot1, rects1, shot2, rects2, diff_path = sys.argv[1:6]
    (window1, animation1), (window2, animation2) = rects(rects1), rects(rects2)
    first, corner1 = window_pixels(shot1, window1, animation1)
    second, corner2 = window_pixels(shot2, window2, animation2)
    print("windows: %d x %d at (%d, %d) and %d x %d at (%d, %d)" % (
        first.width, first.height, window1[0], window1[1], second.width, second.height, window2[0], window2[1]))
    if first.size != second.size or corner1 != corner2:
        print("compare_windows: the windows or their animations differ in size or place", file=sys.stderr)
        return 1
    a, b = first.load(), second.load()
    outside = [(x, y) for y in range(first.height) for x in range(first.width)
               if not (corner1[0] <= x < corner1[2] and corner1[1] <= y < corner1[3])]
    differing = [(x, y) for x, y in outside if a[x, y] != b[x, y]]
    print("%d of %d pixels differ outside the animation" % (len(differing), len(outside)))
    if differing:
        marked = first.copy()
        for x, y in differing:
            marked.putpixel((x, y), (255, 0, 0))
        marked.save(diff_path)
        print("compare_windows: the differing pixels, in red: " + diff_path, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
