// Packs every PNG under a folder with free-tex-packer-core's OptimalPacker, trimmed, and prints
// one line: the sheet sizes, their total area, the trimmed frames' area and the wall time of the
// whole run (reading, trimming, packing, writing the sheets in memory).
//
//   node pack-peer.js FOLDER [--rotate] [--max N]
"use strict";
const fs = require("fs");
const path = require("path");
const { packAsync } = require("free-tex-packer-core");

function pictures(folder) {
    const found = [];
    for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
        const full = path.join(folder, entry.name);
        if (entry.isDirectory()) {
            found.push(...pictures(full));
        } else if (/\.png$/i.test(entry.name)) {
            found.push(full);
        }
    }
    return found.sort();
}

async function main() {
    const args = process.argv.slice(2);
    const folder = args[0];
    const rotate = args.includes("--rotate");
    const maxIndex = args.indexOf("--max");
    const max = maxIndex >= 0 ? Number(args[maxIndex + 1]) : 2048;
    const start = process.hrtime.bigint();
    const images = pictures(folder).map((file) => ({
        path: path.relative(folder, file),
        contents: fs.readFileSync(file),
    }));
    const files = await packAsync(images, {
        textureName: "sheet",
        width: max,
        height: max,
        fixedSize: false,
        powerOfTwo: false,
        padding: 0,
        extrude: 0,
        allowRotation: rotate,
        detectIdentical: false,
        allowTrim: true,
        trimMode: "trim",
        exporter: "JsonHash",
        packer: "OptimalPacker",
        removeFileExtension: false,
        prependFolderName: true,
    });
    const seconds = Number(process.hrtime.bigint() - start) / 1e9;
    const sheets = [];
    let used = 0;
    for (const file of files) {
        if (!file.name.endsWith(".json")) {
            continue;
        }
        const data = JSON.parse(file.buffer.toString());
        sheets.push(`${data.meta.size.w}x${data.meta.size.h}`);
        for (const frame of Object.values(data.frames)) {
            used += frame.frame.w * frame.frame.h;
        }
    }
    const area = sheets.reduce((sum, s) => sum + s.split("x").reduce((a, b) => a * b, 1), 0);
    console.log(`pictures ${images.length} sheets ${sheets.join(" ")} area ${area} ` +
                `used ${(used / area).toFixed(4)} time ${seconds.toFixed(3)} s`);
}

main().catch((error) => {
    console.error(error);
    process.exit(1);
});
