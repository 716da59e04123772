#!/usr/bin/env bash
# Installs what building, testing and running Tavrin needs on Debian 12.
# Safe to run again: it only calls apt-get when a package is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev
  qt6-base-dev                     # widgets, QImage and the gif/jpeg plugins of qtbase
  qt6-image-formats-plugins        # common on desktops: the tests run with it there
  qt6-tools-dev qt6-l10n-tools     # lupdate/lrelease and CMake's Qt6LinguistTools (GPL-3.0, build tools)
  libpng-dev zlib1g-dev            # libpng reads PNG files; zlib compresses the sheet
  libdeflate-dev                   # the sheet writer's checksums
  libcli11-dev                     # the command-line option parser (header only)
  nlohmann-json3-dev               # the frame data file (header only)
  libxxhash-dev                    # the content hashes of the up-to-date check (BSD-2-Clause)
  libgif-dev                       # every frame of an animated gif, composed as browsers do
  libwebp-dev                      # lossless WebP sheets, their EXIF mark (libwebpmux) (BSD-3-Clause)
  libstb-dev                       # stb_image_resize scales pictures for --scale and --variant (MIT or public domain)
  fonts-noto-cjk                   # the window's Chinese captions
  xvfb xauth                       # screenshots of the window without a display
)
case "${1:-}" in
  # CI's checks beyond the tests: the memory check of the picture decoding under valgrind
  # (scripts/memcheck-corpus.sh) and the libFuzzer targets of fuzz/ (scripts/run-fuzz.sh).
  # clang-format and clang-tidy (Apache-2.0 with LLVM exception) check the sources' form.
  # Chromium (BSD-3-Clause and others) runs the web engines' loaders headless in
  # scripts/check-engines.sh and renders the CSS sprites there; Pillow (HPND) makes its pictures
  # and compares what the engines rebuilt. godot3-server (Godot 3.2 headless, MIT) loads the
  # godot3 form there with Godot's own resource loader. python3-jsonschema (MIT) checks README's
  # project example against the project file's schema (a test skipped without it).
  --check) packages+=(valgrind clang libclang-rt-14-dev clang-format clang-tidy chromium
                      python3-pil godot3-server python3-jsonschema) ;;
  # dwebp (webp, BSD-3-Clause) reads the WebP sheets back with libwebp's own decoder.
  --bench) packages+=(imagemagick python3-pil time webp) ;;
  # The packed layout's benchmark (bench/run-pack-bench.sh) runs its peer, a JavaScript packer,
  # under Node.js (MIT; npm Artistic-2.0); used only where npm is missing.
  --node) packages+=(nodejs npm) ;;
  # Making and checking the Debian package (scripts/package.sh, scripts/test-package.sh).
  # xdotool (BSD-3-Clause) clicks the installed window's controls under Xvfb.
  --package) packages+=(dpkg-dev fakeroot file lintian desktop-file-utils appstream man-db
                        groff-base bash-completion util-linux xdotool) ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
