#!/usr/bin/python3
# Writes small seed pictures for the fuzz targets into fuzz/corpus/<format>/ (Debian's
# python3-pil): run with /usr/bin/python3 fuzz/make_seeds.py.
import os
from PIL import Image

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
base = Image.new("RGB", (13, 7))
for y in range(7):
    for x in range(13):
        base.putpixel((x, y), (x * 19 % 256, y * 37 % 256, (x * y * 11) % 256))
variants = {
    "bmp": [("rgb.bmp", base, {}), ("pal.bmp", base.convert("P"), {}),
            ("mono.bmp", base.convert("1"), {}), ("rgba.bmp", base.convert("RGBA"), {})],
    "jpeg": [("base.jpg", base, {"quality": 90}), ("prog.jpg", base, {"progressive": True}),
             ("grey.jpg", base.convert("L"), {}), ("444.jpg", base, {"subsampling": 0}),
             ("cmyk.jpg", base.convert("CMYK"), {})],
    "png": [("rgb.png", base, {}), ("pal.png", base.convert("P"), {}),
            ("rgba.png", base.convert("RGBA"), {}), ("grey16.png", base.convert("L").convert("I"), {}),
            ("interlaced.png", base, {"interlace": 1}), ("mono.png", base.convert("1"), {})],
    "gif": [("one.gif", base.convert("P"), {}),
            ("anim.gif", base.convert("P"),
             {"save_all": True, "append_images": [base.rotate(90).convert("P"), base.convert("P")],
              "disposal": [1, 2, 3], "transparency": 0, "interlace": True})],
}
for fmt, items in variants.items():
    os.makedirs(os.path.join(here, fmt), exist_ok=True)
    for name, im, opts in items:
        im.save(os.path.join(here, fmt, name), **opts)
