"""The CSS form's check: `page` lays one element per frame (class = frame name)
on a grid of known cells; `check` compares Chromium's screenshot of that page,
cell by cell, with each picture drawn over the page's white."""
import json
import sys
from pathlib import Path

from PIL import Image

CELL, COLUMNS = 80, 5


def page(www, case):
    names = case["must"]
    cells = "\n".join(
        f'<div style="left:{i % COLUMNS * CELL}px;top:{i // COLUMNS * CELL}px">'
        f'<span class="{n}"></span></div>' for i, n in enumerate(names))
    (www / case["dir"] / "page.html").write_text(f"""<!doctype html>
<meta charset="utf-8">
<link rel="stylesheet" href="{case['data'][0]}">
<style>
body {{ margin: 0; background: #fff; }}
div {{ position: absolute; width: {CELL}px; height: {CELL}px; display: flex; align-items: flex-start; }}
</style>
{cells}
""")
    return COLUMNS * CELL, (len(names) + COLUMNS - 1) // COLUMNS * CELL


def check(shot, ref, case):
    # Chromium blends half-transparent pixels over white with its own rounding.
    tolerance = 2
    faults = []
    for i, name in enumerate(case["must"]):
        want = Image.new("RGBA", (CELL, CELL), (255, 255, 255, 255))
        pic = Image.open(ref / (name.replace("#", "@") + ".png")).convert("RGBA")
        want.alpha_composite(pic)
        x, y = i % COLUMNS * CELL, i // COLUMNS * CELL
        got = shot.crop((x, y, x + CELL, y + CELL)).convert("RGBA")
        bad = [k for k, (p, q) in enumerate(zip(got.getdata(), want.getdata()))
               if max(abs(a - b) for a, b in zip(p[:3], q[:3])) > tolerance]
        if bad:
            faults.append(f"{name}: {len(bad)} pixels differ, first at ({bad[0] % CELL},{bad[0] // CELL})")
    return faults


www = Path(sys.argv[2])
cases = [c for c in json.loads((www / "cases.json").read_text()) if c["engine"] == "css"]
if sys.argv[1] == "page":
    for c in cases:
        w, h = page(www, c)
        print(f"{c['dir']} {w} {h}")
else:
    failed = False
    for c in cases:
        faults = check(Image.open(www / c["dir"] / "shot.png"), Path(sys.argv[3]), c)
        failed = failed or bool(faults)
        verdict = "FAIL " + "; ".join(faults[:4]) if faults else "PASS"
        print(f"{'css':8} {c['id']:24} {len(c['must']):3} frames: {verdict}")
    sys.exit(1 if failed else 0)
