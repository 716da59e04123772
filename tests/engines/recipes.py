"""Runs README's engine recipes as they stand, so none of them can go stale.

`make` takes each block pair after a `<!-- recipe: NAME -->` line, runs the shell block in a
folder whose art/ is the fixed set, and puts the code block in a page behind a watcher that
reports each frame the engine's sprite shows; Spine's, a Node.js module, is asked here for
its frameAt(0), frameAt(100), ...
`check` says whether what was shown is walk_01.png to walk_04.png in order, twice round."""
import html
import json
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

ENGINES = {"phaser": "../node_modules/phaser/dist/phaser.esm.js",
           "pixi.js": "../node_modules/pixi.js/dist/pixi.min.mjs",
           "melonjs": "../node_modules/melonjs/build/index.js"}
# Each watcher wraps the method that moves its engine's sprite on a frame; it runs before the
# recipe, which imports the same module instance through the import map.
WATCHERS = {
    "phaser": """import * as Phaser from "phaser";
const step = Phaser.GameObjects.Sprite.prototype.preUpdate;
Phaser.GameObjects.Sprite.prototype.preUpdate = function (...args) {
  step.apply(this, args);
  shows(this.frame.customData.filename ?? this.frame.name);
};""",
    "pixi": """import { AnimatedSprite, Assets } from "pixi.js";
// Headless virtual time sometimes never finishes decoding through workers (as in pixi.html).
Assets.setPreferences({ preferWorkers: false, preferCreateImageBitmap: false });
const step = AnimatedSprite.prototype.update;
AnimatedSprite.prototype.update = function (...args) {
  step.apply(this, args);
  shows(this.texture.label);
};""",
    "melonjs": """import { Sprite } from "melonjs";
const step = Sprite.prototype.update;
Sprite.prototype.update = function (...args) {
  const moved = step.apply(this, args);
  shows(this.getAnimationFrameObjectByIndex(this.getCurrentAnimationFrame()).name);
  return moved;
};""",
    # A class the stylesheet does not draw from the sheet counts as a wrong frame.
    "css": """new MutationObserver((changes) => {
  for (const c of changes) {
    if (c.oldValue) shows(c.oldValue);
    const drawn = getComputedStyle(c.target).backgroundImage.includes("hero.png");
    shows(drawn ? c.target.className : `${c.target.className} (not drawn)`);
  }
}).observe(document, { subtree: true, attributeFilter: ["class"], attributeOldValue: true });""",
}
WALK = [f"walk_0{i}.png" for i in range(1, 5)] * 2
WANT = {"spine": [f"walk#{i}" for i in range(1, 5)] * 2}


def recipes(readme):
    text = Path(readme).read_text()
    found = re.findall(r"<!-- recipe: (\w+) -->\s*```sh\n(.*?)```\s*```(\w+)\n(.*?)```", text, re.S)
    if {f[0] for f in found} != set(WATCHERS) | set(WANT):
        known = sorted(set(WATCHERS) | set(WANT))
        sys.exit(f"README's recipes are {sorted(f[0] for f in found)}, the check knows {known}")
    return found


def page(name, lang, code):
    # The frames shown, each once however long it stays, up to twice round.
    head = """<!doctype html>\n<meta charset="utf-8">\n<pre id="out">pending</pre>
<script>
window.shows = ((seen) => (frame) => {
  if (seen.length < 8 && seen[seen.length - 1] !== frame) seen.push(frame);
  document.getElementById("out").textContent = JSON.stringify(seen);
})([]);
// Under virtual time headless Chromium draws no frames, so animation frames come from a timer.
window.requestAnimationFrame = (step) => setTimeout(() => step(performance.now()), 16);
</script>\n"""
    if lang == "html":
        return head + f"<script>\n{WATCHERS[name]}\n</script>\n{code}"
    return (head + f'<script type="importmap">{json.dumps({"imports": ENGINES})}</script>\n'
            + f'<script type="module">\n{WATCHERS[name]}\n</script>\n<script type="module">\n{code}</script>\n')


def make(readme, tavrin, pictures, www):
    env = dict(os.environ, PATH=f"{Path(tavrin).resolve().parent}:{os.environ['PATH']}")
    for name, command, lang, code in recipes(readme):
        where = www / f"recipe-{name}"
        shutil.copytree(pictures, where / "art")
        subprocess.run(["bash", "-euo", "pipefail", "-c", command], cwd=where, env=env, check=True)
        if name == "spine":
            (where / "recipe.mjs").write_text(code)
            play = ("const { frameAt } = await import('./recipe.mjs');"
                    "console.log(JSON.stringify([0, 1, 2, 3, 4, 5, 6, 7].map((i) => {"
                    "const r = frameAt(i * 100); return `${r.name}#${r.index}`; })));")
            shown = subprocess.run(["node", "--input-type=module", "-e", play], cwd=where, check=True,
                                   stdout=subprocess.PIPE, text=True).stdout
            (where / "shown.json").write_text(shown)
        else:
            (where / "index.html").write_text(page(name, lang, code))
            print(name)


def check(readme, www):
    failed = False
    for name, *_ in recipes(readme):
        where = www / f"recipe-{name}"
        report = where / ("shown.json" if name == "spine" else "page.dom")
        text = report.read_text() if report.exists() else ""
        m = re.search(r'<pre id="out">(.*?)</pre>', text, re.S) if name != "spine" else None
        text = html.unescape(m.group(1)) if m else text
        shown = json.loads(text) if text.strip().startswith("[") else []
        want = WANT.get(name, WALK)
        verdict = "PASS" if shown == want else f"FAIL showed {shown or 'nothing'}, want {want}"
        failed = failed or shown != want
        print(f"{'recipe':8} {name:24} {len(shown):3} frames shown: {verdict}")
    sys.exit(1 if failed else 0)


if sys.argv[1] == "make":
    make(sys.argv[2], sys.argv[3], sys.argv[4], Path(sys.argv[5]))
else:
    check(sys.argv[2], Path(sys.argv[3]))
