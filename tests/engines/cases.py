"""Packs the fixed set once per engine, form and option mix, and writes the
case list the engine pages (cases.js) and the Spine script (cases.json) read."""
import glob
import json
import shutil
import subprocess
import sys
from pathlib import Path

tavrin, pictures, www, ref = sys.argv[1], sys.argv[2], Path(sys.argv[3]), Path(sys.argv[4])
expected = json.loads((ref / "expected.json").read_text())
names = sorted(p.name for p in Path(pictures).glob("*.png")) + [f"spin.gif#{i}" for i in range(3)]
TRIM = ["--layout", "packed", "--trim", "--gif-frames", "all", "--sort", "natural", "--pivot", "0.5,1"]
ROTATE = TRIM + ["--rotate"]
# Small enough that the set needs two or three sheets.
MULTI = ["--multipack", "--max-size", "64"]


def pack(case_id, form, ext, options, image="png", pictures=pictures):
    out = www / case_id
    out.mkdir(parents=True, exist_ok=True)
    args = [tavrin, "-o", str(out / f"s.{image}"), "--data", str(out / f"s.{ext}"), "--data-format", form]
    subprocess.run(args + options + [pictures], check=True)
    data = sorted(Path(p).name for p in glob.glob(f"{out}/s*.{ext}"))
    pngs = sorted(Path(p).name for p in glob.glob(f"{out}/s*.{image}"))
    if "--multipack" in options and len(pngs) < 2:
        sys.exit(f"{case_id}: one sheet only; make --max-size smaller")
    sheets = [[png] for png in pngs]
    if form == "phaser3":
        sheets = [[t["image"] for t in json.loads((out / data[0]).read_text())["textures"]]]
    return {"id": case_id, "dir": case_id, "data": data, "png": pngs, "sheets": sheets, "must": names}


cases = []
for form in ("hash", "array"):
    for label, options in (("trim", TRIM), ("rotate", ROTATE), ("multipack", ROTATE + MULTI)):
        cases.append(pack(f"{form}-{label}", form, "json", options) | {"engine": "phaser", "loader": "atlas",
                                                                        "pivot": [0.5, 1]})
# Phaser 3 draws no rotated frame upright (its issue 5012), so its own forms refuse --rotate.
c = pack("aseprite-trim", "aseprite", "json", TRIM)
frames = json.loads((www / c["dir"] / c["data"][0]).read_text())["frames"]
cases.append(c | {"engine": "phaser", "loader": "aseprite", "must": list(frames),
                  "refs": {k: v["filename"] for k, v in frames.items()}, "durations": True, "anims_wanted": True})
cases.append(pack("phaser3-multipack", "phaser3", "json", TRIM + MULTI)
             | {"engine": "phaser", "loader": "multiatlas", "pivot": [0.5, 1]})
# Phaser's WebGL renderer draws the rotated sheet: README's table says what came out.
cases.append({**next(c for c in cases if c["id"] == "hash-rotate"), "id": "phaser-draw-hash-rotate",
              "engine": "phaser-draw", "draw": "exact", "premultiplied": True, "readme": "Phaser 3"})
# Phaser's atlasXML parser reads no rotated attribute, so its XML cases stay upright.
for label, options in (("trim", TRIM), ("multipack", TRIM + MULTI)):
    cases.append(pack(f"xml-{label}", "xml", "xml", options) | {"engine": "phaser", "loader": "atlasXML"})
for label, options in (("trim", TRIM), ("rotate", ROTATE), ("multipack", ROTATE + MULTI)):
    c = pack(f"pixi-hash-{label}", "hash", "json", options)
    cases.append(c | {"engine": "pixi", "data": c["data"][:1], "anims_wanted": True, "pivot": [0.5, 1]})
# PixiJS keys an array's frames by index, and so finds the array's animations.
c = pack("pixi-array-trim", "array", "json", TRIM)
frames = json.loads((www / c["dir"] / c["data"][0]).read_text())["frames"]
cases.append(c | {"engine": "pixi", "must": [str(i) for i in range(len(frames))], "anims_wanted": True,
                  "refs": {str(i): f["filename"] for i, f in enumerate(frames)}, "pivot": [0.5, 1]})
# Drawn by PixiJS's WebGL renderer: every frame of a rotated sheet, turned back upright.
cases.append({**next(c for c in cases if c["id"] == "pixi-hash-rotate"), "id": "pixi-draw-hash-rotate", "engine": "pixi-draw", "draw": "exact",
              "readme": "PixiJS"})
c = pack("pixi-array-rotate", "array", "json", ROTATE)
frames = json.loads((www / c["dir"] / c["data"][0]).read_text())["frames"]
cases.append(c | {"engine": "pixi-draw", "draw": "exact", "refs": {str(i): f["filename"] for i, f in enumerate(frames)}})
# melonJS takes the sheet from its caller (a multipack is one atlas a sheet) and draws each
# frame as a Sprite with its WebGL renderer, rotated ones too.
for label, options in (("trim", TRIM), ("rotate", ROTATE + MULTI)):
    cases.append(pack(f"melonjs-draw-{label}", "melonjs", "json", options)
                 | {"engine": "melonjs-draw", "draw": "exact", "premultiplied": True}
                 | ({"readme": "melonJS"} if label == "rotate" else {}))
# Lossless WebP sheets, loaded by the browser's own decoder.
cases.append(pack("webp-hash-rotate", "hash", "json", ROTATE, "webp")
             | {"engine": "phaser", "loader": "atlas", "pivot": [0.5, 1]})
c = pack("pixi-webp-rotate", "hash", "json", ROTATE + MULTI, "webp")
cases.append(c | {"engine": "pixi", "data": c["data"][:1], "anims_wanted": True, "pivot": [0.5, 1]})
for label, options in (("trim", TRIM), ("multipack", TRIM + MULTI)):
    cases.append(pack(f"libgdx-{label}", "libgdx", "atlas", options)
                 | {"engine": "spine", "libgdx": True, "must": ["copy.png#0"] + list(expected["libgdx"])})
cases.append(pack("css-trim", "css", "css", TRIM) | {"engine": "css"})
# Godot 3 (Debian's godot3-server) reads godot3, every sheet in one .tres. Its animations give one
# rate for all their frames, so the gif's own durations are not asked for.
for label, options in (("trim", TRIM), ("multipack", TRIM + MULTI)):
    cases.append(pack(f"godot3-{label}", "godot3", "tres", options) | {"engine": "godot", "anims_wanted": True})

# Names each text form cannot hold as they are: each picture of the set under such a name, read
# back under the name the form makes of it (libgdx: ':', line breaks and spaces at the ends as
# '_'; css: classes without spaces). Before, 3 of them vanished from the atlas.
hostile = Path(pictures).parent / "hostile"
hostile.mkdir(exist_ok=True)
renamed = {  # picture: (its name here, as the atlas reads it, its CSS class)
    "prop0.png": ("a:b.png", "a_b.png", "a:b.png"),
    "prop1.png": ("bounds: 9, 9, 9, 9 x.png", "bounds_ 9, 9, 9, 9 x.png", "bounds:-9,-9,-9,-9-x.png"),
    "prop2.png": (" lead.png", "_lead.png", "-lead.png"),
    "prop3.png": ("x\ny.png", "x_y.png", "x-y.png"),
    "prop4.png": ("size: a.png", "size_ a.png", "size:-a.png"),
    "prop5.png": ("\u3000wide.png", "_wide.png", "\u3000wide.png"),
    "run-1.png": ("rotate: true.png", "rotate_ true.png", "rotate:-true.png"),
    "run-2.png": ("tab\tx.png", "tab\tx.png", "tab-x.png"),
}
for source, names in renamed.items():
    shutil.copy(Path(pictures) / source, hostile / names[0])
    for name in names:
        shutil.copy(ref / f"{source}.png", ref / f"{name}.png")
c = pack("libgdx-hostile", "libgdx", "atlas", ["--layout", "packed", "--trim"], pictures=hostile)
cases.append(c | {"engine": "spine", "libgdx": True, "must": [f"{n[1]}#0" for n in renamed.values()],
                  "refs": {f"{n[1]}#0": n[0] for n in renamed.values()}})
c = pack("css-hostile", "css", "css", ["--layout", "packed", "--trim"], pictures=hostile)
cases.append(c | {"engine": "css", "must": [n[2] for n in renamed.values()]})
# A Godot string holds any name once its quotes, backslashes and control characters are escaped.
quoted = Path(pictures).parent / "hostile-godot"
shutil.copytree(hostile, quoted, dirs_exist_ok=True)
shutil.copy(Path(pictures) / "copy.png", quoted / 'q"u\\o\\te.png')
shutil.copy(ref / "copy.png.png", ref / 'q"u\\o\\te.png.png')
c = pack("godot3-hostile", "godot3", "tres", ["--layout", "packed", "--trim"], pictures=quoted)
cases.append(c | {"engine": "godot", "must": [n[0] for n in renamed.values()] + ['q"u\\o\\te.png']})

# Without --alpha-bleed the fringe is only measured: the transparent pixels keep their colour.
shutil.copytree(Path(pictures).parent / "fringe", www / "fringe")
EDGES = ["--layout", "packed", "--trim", "--padding", "2"]
cases.append(pack("pixi-edges-plain", "hash", "json", EDGES, pictures=www / "fringe")
             | {"engine": "pixi-draw", "draw": "edges", "pictures": "fringe", "report": True})
cases.append(pack("pixi-edges-bleed", "hash", "json", EDGES + ["--alpha-bleed"], pictures=www / "fringe")
             | {"engine": "pixi-draw", "draw": "edges", "pictures": "fringe"})
cases.append(pack("pixi-premultiplied", "hash", "json", TRIM + ["--premultiply"])
             | {"engine": "pixi-draw", "draw": "premultiplied", "straight": "pixi-hash-trim"})
cases.append({**cases[-1], "id": "phaser-premultiplied", "engine": "phaser-draw"})
c = pack("pixi-variants", "hash", "json", TRIM + ["--variant", "@2x:1", "--variant", ":0.5"])
cases.append(c | {"engine": "pixi-draw", "draw": "scaled", "variants": {"@2x": ["s@2x.json", 2], "@1x": ["s.json", 1]}})

(www / "cases.json").write_text(json.dumps(cases))
(www / "cases.js").write_text("const CASES = " + json.dumps(cases) + ";\n")
