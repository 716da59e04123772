#!/usr/bin/env bash
# Fetches real game art from Debian's archive into build/bench/art, never installing it and
# never committing it: the packages are downloaded with apt-get download and unpacked with
# dpkg-deb.
#
#   pingus-data        Pingus, about 950 PNG sprites and strips of mixed sizes; GPL-2+ (its
#                      debian/copyright)
#   crawl-tiles-data   Dungeon Crawl Stone Soup's tile sheets, cut into 32 x 32 frames by
#                      pack-sets.py; the game GPL-2+, its tiles CC0
#   wesnoth-1.16-data  The Battle for Wesnoth's unit sprites (5782 PNGs; only that folder of the
#                      140 MB package is unpacked); GPL-2+
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build/bench/debs build/bench/art
cd build/bench/debs
for package in pingus-data crawl-tiles-data wesnoth-1.16-data; do
  if [ ! -d "../art/$package" ]; then
    ls "${package}"_*.deb >/dev/null 2>&1 || apt-get download "$package"
    mkdir -p "../art/$package"
    if [ "$package" = wesnoth-1.16-data ]; then
      dpkg-deb --fsys-tarfile "${package}"_*.deb |
        tar -x -C "../art/$package" --wildcards '*/data/core/images/units/*'
    else
      dpkg-deb -x "${package}"_*.deb "../art/$package"
    fi
  fi
done
