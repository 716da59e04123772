#!/usr/bin/env bash
# Builds tavrin in Release mode in build/package and makes the Debian package there with CPack;
# dpkg-shlibdeps fills in its dependencies. Prints the package's path on the last line.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --package
# Debian's hardening flags, as a package built by the archive's tools would get them; CMake reads
# no CPPFLAGS, so the preprocessor's join the compiler's.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build build/package
(cd build/package && cpack -G DEB >/dev/null)
ls -t "$PWD"/build/package/tavrin_*.deb | head -n 1
