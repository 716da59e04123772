"""Judges what the engines drew (pixel reports of the *-draw pages): one line per case.

exact         each frame drawn 1:1 with nearest texels equals its picture, rotated frames too.
              A case naming an engine of README's table passes when the table's rotated
              column ("yes"/"no") says what came out for the rotated frames.
edges         a frame drawn filtered from the sheet against its picture drawn alone: worst
              colour difference on the pixels both drew (alpha > 0), weighted by the smaller
              alpha. Straight colour means nothing where alpha is tiny (a 1-level step of a
              premultiplied channel at alpha 3 is 85 levels of straight colour), so
              |straight - straight'| * min(alpha, alpha') / 255 is the difference the eye sees
              over black or white. At most 2 levels passes; "report" cases only print it.
premultiplied the premultiplied sheet drawn with the premultiplied blend against the straight
              sheet drawn normally: every channel of every pixel within 1 level (the two
              roundings of colour times alpha).
scaled        each variant at its resolution (@2x at 2), every frame the same size in points
              within 1 and drawn over the same box within 2 pixels.
"""
import base64
import html
import json
import re
import sys
from pathlib import Path

from PIL import Image

LEVELS = 2


def picture(d):
    return Image.frombytes("RGBA", (d["w"], d["h"]), base64.b64decode(d["rgba"]))


def fringe(a, b):
    worst = 0.0
    for p, q in zip(a.getdata(), b.getdata()):
        if p[3] and q[3]:
            weight = min(p[3], q[3]) / 255
            worst = max(worst, *(abs(p[k] * 255 / p[3] - q[k] * 255 / q[3]) * weight for k in range(3)))
    return worst


def exact(case, ref):
    faults, rotated = [], 0
    for f in case["drawn"]:
        rotated += f["rotated"]
        name = case.get("refs", {}).get(f["name"], f["name"])
        want = Image.open(ref / (name.replace("#", "@") + ".png")).convert("RGBA")
        got = picture(f)
        if case.get("premultiplied"):
            # Read back as blended: colour times alpha, rounded by the GPU (1 level).
            same = lambda p, q: p[3] == q[3] and all(abs(p[k] - q[k] * q[3] / 255) <= 1 for k in range(3))
        else:
            same = lambda p, q: p == q or not (p[3] or q[3])
        bad = [i for i, (p, q) in enumerate(zip(got.getdata(), want.getdata())) if not same(p, q)]
        if got.size != want.size or bad:
            faults.append(f"{f['name']}{' (rotated)' if f['rotated'] else ''}: {len(bad)} pixels differ")
    good = rotated - sum("(rotated)" in f for f in faults)
    names = {case.get("refs", {}).get(f["name"], f["name"]) for f in case["drawn"]}
    faults += [f"no frame {m}" for m in sorted(set(case.get("must", [])) - names)]
    note = f"{good} of {rotated} rotated frames upright" if rotated else "none rotated"
    return faults, note, good == rotated and rotated > 0


def edges(case, ref):
    worst, where = 0.0, ""
    for f in case["drawn"]:
        for i, place in enumerate(f["places"]):
            d = fringe(picture(place["sheet"]), picture(place["alone"]))
            if d > worst:
                worst, where = d, f"{f['name']} {('half-pixel offset', 'scale 0.5')[i]}"
    note = f"worst edge colour {worst:.1f} levels ({where or 'none'})"
    return ([note] if worst > LEVELS and not case.get("report") else []), note, worst <= LEVELS


def premultiplied(case, ref):
    faults, worst = [], 0
    for f in case["drawn"]:
        if f["alone"] is None:
            faults.append(f"{f['name']}: not in the straight sheet")
            continue
        a, b = picture(f["sheet"]).tobytes(), picture(f["alone"]).tobytes()
        d = max((abs(x - y) for x, y in zip(a, b)), default=0)
        worst = max(worst, d)
        if d > 1:
            faults.append(f"{f['name']}: {d} levels off")
    return faults, f"worst {worst} levels", not faults


def scaled(case, ref):
    # Resampling spreads a picture's edge by a pixel or so either way at each scale.
    seen, faults = {}, []
    for f in case["drawn"]:
        want = case["variants"][f["variant"]][1]
        if f["resolution"] != want:
            faults.append(f"{f['variant']} at resolution {f['resolution']}, want {want}")
        seen.setdefault(f["name"], {})[f["variant"]] = (f["size"], picture(f).getchannel("A").getbbox())
    for name, got in seen.items():
        if len(got) != len(case["variants"]):
            faults.append(f"{name}: in {sorted(got)} only")
            continue
        (sa, a), (sb, b) = got.values()
        if max(abs(x - y) for x, y in zip(sa, sb)) > 1 or not (a and b) \
                or max(abs(x - y) for x, y in zip(a, b)) > 2:
            faults.append(f"{name}: {sa} points drawn over {a}, and {sb} over {b}")
    return sorted(set(faults), key=faults.index), f"{len(seen)} frames", not faults


def reports(path):
    m = re.search(r'<pre id="out">(.*?)</pre>', Path(path).read_text(), re.S)
    text = html.unescape(m.group(1)) if m else ""
    if not text.startswith("["):
        return [{"engine": Path(path).stem, "id": "page", "drawn": [], "error": text or "the page never reported"}]
    return json.loads(text)


def claim(readme, engine):
    # README's engine table: the last cell of the engine's row opens with "yes" or "no".
    for line in Path(readme).read_text().splitlines():
        cells = [c.strip() for c in line.strip("|").split("|")]
        if line.startswith("|") and cells[0] == engine:
            return cells[-1].split()[0].strip(":,;.").lower() == "yes"
    sys.exit(f"README's engine table has no row {engine}")


def main():
    ref, readme = Path(sys.argv[1]), sys.argv[2]
    failed = False
    for path in sys.argv[3:]:
        for case in reports(path):
            if case.get("error"):
                faults, note, ok = [case["error"]], "", False
            else:
                faults, note, ok = globals()[case["draw"]](case, ref)
            if "readme" in case and not case.get("error"):
                says = claim(readme, case["readme"])
                faults = [] if says == ok else [f"README says {'yes' if says else 'no'} for {case['readme']}"]
            failed = failed or bool(faults)
            verdict = "FAIL " + "; ".join(faults[:4]) if faults else "PASS"
            print(f"{case['engine']:8} {case['id']:24} {len(case['drawn']):3} drawn, {note}: {verdict}")
    return failed


if __name__ == "__main__":
    sys.exit(1 if main() else 0)
