// Reads each libgdx atlas with the Spine runtimes' own TextureAtlas and asks a
// RegionAttachment where each region's corners land and which UVs they take:
// that is how Spine draws it, y up and offsets from the bottom included.
import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";

const require = createRequire(import.meta.url);
const { TextureAtlas, RegionAttachment } = require("@esotericsoftware/spine-core");
const [www, casesFile, outFile] = process.argv.slice(2);
const cases = JSON.parse(readFileSync(casesFile, "utf8")).filter((c) => c.engine === "spine");

function regionRecord(r) {
  const W = r.originalWidth, H = r.originalHeight;
  const att = new RegionAttachment(r.name, r.name);
  att.region = r;
  att.width = W;
  att.height = H;
  att.updateRegion();
  const corners = [0, 1, 2, 3].map((k) => ({
    x: att.offset[2 * k] + W / 2, y: H / 2 - att.offset[2 * k + 1],
    u: att.uvs[2 * k] * r.page.width, v: att.uvs[2 * k + 1] * r.page.height,
  }));
  const left = Math.min(...corners.map((p) => p.x)), top = Math.min(...corners.map((p) => p.y));
  const right = Math.max(...corners.map((p) => p.x)), bottom = Math.max(...corners.map((p) => p.y));
  const at = (x, y) => { const p = corners.find((q) => q.x === x && q.y === y); return [p.u, p.v]; };
  return {
    name: r.index >= 0 ? `${r.name}#${r.index}` : r.name, sheet: r.page.name, W, H,
    dest: [left, top, right - left, bottom - top], tl: at(left, top), tr: at(right, top), bl: at(left, bottom),
  };
}

const out = cases.map((c) => {
  const rec = { ...c, frames: [] };
  try {
    const atlas = new TextureAtlas(readFileSync(`${www}/${c.dir}/${c.data[0]}`, "utf8"));
    rec.frames = atlas.regions.map(regionRecord);
  } catch (e) {
    rec.error = String(e);
  }
  return rec;
});
writeFileSync(outFile, JSON.stringify(out));
