"""Rebuilds every frame from what an engine's loader made of a data file and
compares it, pixel for pixel, with the picture it came from.

Each engine page or script reports, per frame, the sheet, the picture's size,
where the cut lands in the picture (dest) and which sheet points the cut's
top-left, top-right and bottom-left corners sample (tl, tr, bl). That covers
rotation in whatever direction the engine reads it, and trim offsets, without
this script knowing any data form. Prints one line per engine and form."""
import html
import json
import re
import sys
from pathlib import Path

from PIL import Image

www, ref = Path(sys.argv[1]), Path(sys.argv[2])
expected = json.loads((ref / "expected.json").read_text())


def ref_picture(name):
    return Image.open(ref / (name.replace("#", "@") + ".png")).convert("RGBA")


def rebuild(f, sheets):
    if f["sheet"] not in sheets:
        sheets[f["sheet"]] = Image.open(f["sheet"]).convert("RGBA")
    sheet = sheets[f["sheet"]]
    img = Image.new("RGBA", (f["W"], f["H"]), (0, 0, 0, 0))
    dx, dy, dw, dh = f["dest"]
    (x0, y0), (x1, y1), (x2, y2) = f["tl"], f["tr"], f["bl"]
    for y in range(max(0, round(dy)), min(f["H"], round(dy + dh))):
        for x in range(max(0, round(dx)), min(f["W"], round(dx + dw))):
            s, t = (x + 0.5 - dx) / dw, (y + 0.5 - dy) / dh
            sx, sy = x0 + s * (x1 - x0) + t * (x2 - x0), y0 + s * (y1 - y0) + t * (y2 - y0)
            if 0 <= sx < sheet.width and 0 <= sy < sheet.height:
                img.putpixel((x, y), sheet.getpixel((int(sx), int(sy))))
    return img


def differs(a, b):
    if a.size != b.size:
        return f"size {a.size[0]}x{a.size[1]}, want {b.size[0]}x{b.size[1]}"
    bad = [i for i, (p, q) in enumerate(zip(a.getdata(), b.getdata()))
           if p != q and not (p[3] == 0 and q[3] == 0)]
    if bad:
        return f"{len(bad)} pixels differ, first at ({bad[0] % a.width},{bad[0] // a.width})"
    return None


def check(case):
    faults, sheets, built = [], {}, {}
    for f in case["frames"]:
        f["sheet"] = str(www / case["dir"] / f["sheet"])
        built[f["name"]] = rebuild(f, sheets)
        want = case.get("refs", {}).get(f["name"], f["name"])
        if case.get("libgdx"):
            # An unnumbered region reads back with the runtime's default index.
            want = expected["libgdx"].get(want, want.split("#")[0])
        why = differs(built[f["name"]], ref_picture(want))
        if why:
            faults.append(f"{f['name']}: {why}")
        if case.get("pivot") and f.get("pivot") != case["pivot"]:
            faults.append(f"{f['name']}: pivot {f.get('pivot')}, want {case['pivot']}")
    have = {f["name"] for f in case["frames"]}
    missing = set(case.get("must", [])) - have
    faults += [f"no frame {m}" for m in sorted(missing)]
    for name, frames in (case.get("anims") or {}).items():
        want = expected["animations"].get(name)
        if want is None or len(want) != len(frames):
            faults.append(f"animation {name}: {len(frames)} frames, want {len(want or [])}")
            continue
        for i, (got, (pic, ms)) in enumerate(zip(frames, want)):
            if got["frame"] not in built or differs(built[got["frame"]], ref_picture(pic)):
                faults.append(f"animation {name} frame {i}: {got['frame']} does not show {pic}")
            if case.get("durations") and round(got["duration"]) != ms:
                faults.append(f"animation {name} frame {i}: {got['duration']} ms, want {ms}")
    if case.get("anims_wanted") and not case.get("anims"):
        faults.append("no animations")
    if case.get("error"):
        faults.append(case["error"])
    return faults


def cases(report):
    text = Path(report).read_text()
    if report.endswith(".dom"):
        # A page writes its report into the DOM that headless Chromium dumps.
        m = re.search(r'<pre id="out">(.*?)</pre>', text, re.S)
        text = html.unescape(m.group(1)) if m else "pending"
    if text.strip() == "pending" or not text.strip():
        return [{"engine": Path(report).stem, "id": "page", "frames": [], "error": "the page never reported"}]
    return json.loads(text)


failed = 0
for report in sys.argv[3:]:
    for case in cases(report):
        faults = check(case)
        failed += bool(faults)
        n = len(case["frames"])
        extra = f", {len(case.get('anims') or {})} animations" if case.get("anims") else ""
        verdict = "FAIL " + "; ".join(faults[:4]) + (f" (+{len(faults) - 4})" if len(faults) > 4 else "") \
            if faults else "PASS"
        print(f"{case['engine']:8} {case['id']:24} {n:3} frames{extra}: {verdict}")
sys.exit(1 if failed else 0)
