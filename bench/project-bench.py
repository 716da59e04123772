#!/usr/bin/env python3
"""Times a project of 20 sheets over about 2000 pictures of real game art against the 20 command
lines it stands for: a full build, a build with nothing changed, a build after one picture
changed, and how soon --watch has rebuilt after a change.

    project-bench.py TAVRIN ART_FOLDER WORK_FOLDER

ART_FOLDER holds the pictures at any depth (bench/fetch-art.sh's Wesnoth units); the first 2000
PNG files in path order are copied into 20 folders of 100, one per sheet.
"""
import json, os, shutil, subprocess, sys, time
from pathlib import Path

tavrin, art, work = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])
RUNS = int(os.environ.get("RUNS", "3"))


def best(action):
    times = []
    for _ in range(RUNS):
        start = time.perf_counter()
        action()
        times.append(time.perf_counter() - start)
    return min(times)


def run(*args):
    subprocess.run([tavrin, *args], check=True, cwd=work, stdout=subprocess.DEVNULL)


shutil.rmtree(work, ignore_errors=True)
pictures = sorted(art.rglob("*.png"))[:2000]
for i, picture in enumerate(pictures):
    folder = work / "art" / f"set{i // 100:02d}"
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copy(picture, folder / f"{i:04d}-{picture.name}")
sheets = [{"output": f"out/s{n:02d}.png", "data": f"out/s{n:02d}.json", "inputs": [f"art/set{n:02d}"]}
          for n in range(20)]
(work / "p.json").write_text(json.dumps({"defaults": {"layout": "packed", "trim": True}, "sheets": sheets}))
lines = [["-o", s["output"], "--data", s["data"], "--layout", "packed", "--trim", *s["inputs"]] for s in sheets]

def clean():
    shutil.rmtree(work / "out", ignore_errors=True)
    (work / "out").mkdir()

def full_project():
    clean()
    run("--project", "p.json")

def full_lines():
    clean()
    for line in lines:
        run(*line)

print(f"{len(pictures)} pictures in 20 sheets")
print(f"full build, project:          {best(full_project):.2f} s")
print(f"full build, 20 command lines: {best(full_lines):.2f} s")

# Sheets built side by side rather than one after another: the project's two halves as two
# programs at once, each sheet still decoding and packing on every core.
halves = [dict(defaults={"layout": "packed", "trim": True}, sheets=sheets[h::2]) for h in (0, 1)]
for h, half in enumerate(halves):
    (work / f"half{h}.json").write_text(json.dumps(half))
def side_by_side():
    clean()
    running = [subprocess.Popen([tavrin, "--project", f"half{h}.json"], cwd=work) for h in (0, 1)]
    if any(program.wait() != 0 for program in running):
        raise SystemExit("a half failed")
print(f"full build, halves side by side: {best(side_by_side):.2f} s")
run("--project", "p.json")
print(f"nothing changed:              {best(lambda: run('--project', 'p.json')) * 1000:.0f} ms")
changed = next((work / "art" / "set07").iterdir())
def one_changed():
    os.utime(changed)
    changed.write_bytes(changed.read_bytes())
    shutil.copy(work / "out" / "s07.png", work / "before.png")
    run("--project", "p.json")
print(f"one picture's time changed:   {best(one_changed) * 1000:.0f} ms (its bytes the same)")

# --watch: the time from a picture added to its sheet's data file naming it.
watch = subprocess.Popen([tavrin, "--project", "p.json", "--watch"], cwd=work,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(3)
latencies = []
for n in range(RUNS):
    name = f"added-{n}.png"
    start = time.perf_counter()
    shutil.copy(pictures[0], work / "art" / "set03" / name)
    while name not in (work / "out" / "s03.json").read_text():
        time.sleep(0.005)
    latencies.append(time.perf_counter() - start)
    time.sleep(1)
watch.terminate()
watch.wait()
start = time.perf_counter()
run("--project", "p.json", "--force")
print(f"--watch, a picture added:     {min(latencies) * 1000:.0f} ms to the sheet rebuilt")
