#!/usr/bin/env bash
# Builds, once per machine, what the Windows program is made with: Qt 6.4.2
# (qtbase from Debian's own source package, Qt Charts from the tarball in
# CLINORA_QTCHARTS_TARBALL), libzip and libdeflate from Debian's sources, all
# cross-compiled with Debian's MinGW-w64 (posix threads); zlib is Debian's
# MinGW package. Qt's host tools (moc, rcc, uic...) are Debian's own of the
# same version, from qt6-base-dev-tools.
#
# Everything goes under CLINORA_WINDOWS_CACHE (default ~/.cache/clinora-windows):
#   src/        the downloaded and unpacked sources
#   build/      the build trees (removed at the end unless CLINORA_KEEP_BUILD=1)
#   prefix/     the installed Windows Qt and libraries (what build.sh uses)
#   mingw.cmake the CMake toolchain file (Qt remembers its path: keep it there)
#   toolchain.done  the marker: written last, when every part is installed
# Run again, it does nothing when the marker is there; a part already
# installed (its own marker under prefix/) is not built again.
#   scripts/windows/toolchain.sh          CLINORA_JOBS (default: nproc)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
cache=${CLINORA_WINDOWS_CACHE:-$HOME/.cache/clinora-windows}
charts_tarball=${CLINORA_QTCHARTS_TARBALL:-$repo/../../shared/third-party/qtcharts-6.4.2.tar.xz}
[ -f "$charts_tarball" ] || charts_tarball=/work/shared/third-party/qtcharts-6.4.2.tar.xz
jobs=${CLINORA_JOBS:-$(nproc)}
triple=x86_64-w64-mingw32
prefix=$cache/prefix
marker=$cache/toolchain.done

if [ -f "$marker" ]; then
  echo "Windows toolchain ready in $cache"
  exit 0
fi

started=$(date +%s)
log() { echo "[$(date -u +%H:%M:%S)] $*"; }

# The packages this needs (scripts/windows/deps.sh installs them).
"$here/deps.sh"
[ -f "$charts_tarball" ] || { echo "Qt Charts 6.4.2 source not found: set CLINORA_QTCHARTS_TARBALL" >&2; exit 1; }

mkdir -p "$cache/src" "$cache/build" "$prefix/bin" "$prefix/lib" "$prefix/include"

# The CMake toolchain file for MinGW-w64 with posix threads (Qt needs
# std::thread and std::mutex, which the win32-thread compilers lack).
cat > "$cache/mingw.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_AR $triple-ar CACHE FILEPATH "")
set(CMAKE_RANLIB $triple-ranlib CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH /usr/$triple $prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "$prefix/lib/pkgconfig:/usr/$triple/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
EOF

# Debian's sources for the same suites as the binary packages, through a
# private apt configuration: the system's own sources stay as they are.
fetch_sources() {
  local apt=$cache/apt
  mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/archives/partial"
  local found=0
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    grep -q 'debian' "$f" || continue
    sed -e 's/^Types:.*/Types: deb-src/' "$f" > "$apt/sources.list.d/$(basename "$f")"
    found=1
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | grep debian | sed 's/^deb /deb-src /' > "$apt/sources.list" || true
    [ -s "$apt/sources.list" ] && found=1
  fi
  [ -f "$apt/sources.list" ] || : > "$apt/sources.list"
  [ $found = 1 ] || { echo "no Debian apt source found to take the suites from" >&2; exit 1; }
  local opts=(-o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts="$apt/sources.list.d"
              -o Dir::State::Lists="$apt/lists" -o Dir::Cache::Archives="$apt/archives"
              -o Debug::NoLocking=1)
  log "apt-get update (deb-src, private lists)"
  apt-get "${opts[@]}" update
  (cd "$cache/src" && apt-get "${opts[@]}" source --download-only qt6-base libzip libdeflate)
}

if ! ls "$cache"/src/qt6-base_*.dsc >/dev/null 2>&1 || ! ls "$cache"/src/libzip_*.dsc >/dev/null 2>&1 \
   || ! ls "$cache"/src/libdeflate_*.dsc >/dev/null 2>&1; then
  fetch_sources
fi

unpack() { # name of the source package -> prints its unpacked folder
  local dsc
  dsc=$(ls "$cache"/src/"$1"_*.dsc | head -n1)
  local dir
  dir=$cache/src/$1
  if [ ! -d "$dir" ]; then
    dpkg-source --no-check -x "$dsc" "$dir" >&2
  fi
  echo "$dir"
}

# zlib: Debian's MinGW build, copied in so that the prefix is self-contained.
cp -u /usr/$triple/lib/libz.dll.a "$prefix/lib/"
cp -u /usr/$triple/lib/zlib1.dll "$prefix/bin/" 2>/dev/null || cp -u /usr/$triple/bin/zlib1.dll "$prefix/bin/"
cp -u /usr/$triple/include/zlib.h /usr/$triple/include/zconf.h "$prefix/include/"

# libdeflate: its own Makefile (the import library under the name the linker looks for).
if [ ! -f "$prefix/.libdeflate.done" ]; then
  log "libdeflate"
  src=$(unpack libdeflate)
  rm -rf "$cache/build/libdeflate" && cp -a "$src" "$cache/build/libdeflate"
  make -C "$cache/build/libdeflate" -j "$jobs" CC=$triple-gcc-posix AR=$triple-ar \
       libdeflate.dll >/dev/null
  b=$cache/build/libdeflate
  cp "$b/libdeflate.dll" "$prefix/bin/"
  cp "$b/libdeflate.lib" "$prefix/lib/libdeflate.dll.a"
  cp "$b/libdeflate.h" "$prefix/include/"
  version=$(sed -n 's/^#define LIBDEFLATE_VERSION_STRING[^"]*"\(.*\)"/\1/p' "$b/libdeflate.h")
  mkdir -p "$prefix/lib/pkgconfig"
  cat > "$prefix/lib/pkgconfig/libdeflate.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: libdeflate
Description: Fast implementation of DEFLATE, zlib, and gzip
Version: $version
Libs: -L\${libdir} -ldeflate
Cflags: -I\${includedir}
EOF
  touch "$prefix/.libdeflate.done"
fi

# libzip: CMake; AES through Windows' own cryptography (bcrypt), no OpenSSL.
if [ ! -f "$prefix/.libzip.done" ]; then
  log "libzip"
  src=$(unpack libzip)
  cmake -S "$src" -B "$cache/build/libzip" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$cache/mingw.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON \
    -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF \
    -DENABLE_WINDOWS_CRYPTO=ON -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
    -DZLIB_LIBRARY="$prefix/lib/libz.dll.a" -DZLIB_INCLUDE_DIR="$prefix/include" >/dev/null
  cmake --build "$cache/build/libzip" -j "$jobs" >/dev/null
  cmake --install "$cache/build/libzip" >/dev/null
  touch "$prefix/.libzip.done"
fi

# qtbase. OpenGL off needs all three switches: with only FEATURE_opengl off,
# the Windows platform plugin still refers to its OpenGL context class.
# Debian's repacked source has no wintab, hence no tablet events. Direct2D
# stays on (its 1.1 paint engine off) because print support draws text
# through DirectWrite. D-Bus, ICU, network, SQL, XML, Vulkan and FreeType
# are not used by the program.
if [ ! -f "$prefix/.qtbase.done" ]; then
  log "qtbase"
  src=$(unpack qt6-base)
  cmake -S "$src" -B "$cache/build/qtbase" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$cache/mingw.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_icu=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF \
    -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_freetype=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF
  cmake --build "$cache/build/qtbase" -j "$jobs"
  cmake --install "$cache/build/qtbase" >/dev/null
  touch "$prefix/.qtbase.done"
fi

# Qt Charts, configured against the Qt just installed.
if [ ! -f "$prefix/.qtcharts.done" ]; then
  log "qtcharts"
  if [ ! -d "$cache/src/qtcharts" ]; then
    mkdir -p "$cache/src/qtcharts.tmp"
    tar -C "$cache/src/qtcharts.tmp" -xJf "$charts_tarball"
    mv "$cache/src/qtcharts.tmp/"* "$cache/src/qtcharts" && rmdir "$cache/src/qtcharts.tmp"
  fi
  cmake -S "$cache/src/qtcharts" -B "$cache/build/qtcharts" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  cmake --build "$cache/build/qtcharts" -j "$jobs"
  cmake --install "$cache/build/qtcharts" >/dev/null
  touch "$prefix/.qtcharts.done"
fi

[ "${CLINORA_KEEP_BUILD:-0}" = 1 ] || rm -rf "$cache/build"
took=$(( $(date +%s) - started ))
{
  echo "built $(date -u +%FT%TZ) in ${took}s on $(nproc) cores"
  echo "installed: $(du -sh "$prefix" | cut -f1)"
} > "$marker"
log "Windows toolchain ready in $cache ($(cat "$marker" | tr '\n' ' '))"
