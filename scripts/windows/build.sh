#!/usr/bin/env bash
# Cross-builds the Windows program here (Release, warnings as errors) with
# the toolchain of scripts/windows/toolchain.sh (built first if missing),
# lays out the folder a practice unzips, and packs it:
#   build-windows/Clinora/             clinora.exe, unins000.dll, Guida.pdf, the
#                                      command-line tools, the DLLs they need,
#                                      the Qt plugins and the Italian translations
#   build-windows/Clinora-Windows.zip  that folder, zipped
# The core unit tests (no screen) and their helper are built too, into
# build-windows/tests, for scripts/windows/test.sh to run under Wine.
# The guide is written by this system's own build (build-guide/): a tool
# built for Windows cannot run here.
#   scripts/windows/build.sh        CLINORA_WINDOWS_CACHE, CLINORA_JOBS
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD
cache=${CLINORA_WINDOWS_CACHE:-$HOME/.cache/clinora-windows}
prefix=$cache/prefix
jobs=${CLINORA_JOBS:-$(nproc)}
triple=x86_64-w64-mingw32
out=$repo/build-windows
folder=$out/Clinora

[ -f "$cache/toolchain.done" ] || scripts/windows/toolchain.sh
scripts/windows/deps.sh

# The guide, from the Linux build of its tool.
cmake -S . -B build-guide -DCMAKE_BUILD_TYPE=Release -DCLINORA_TESTS=OFF -DCLINORA_BENCH=OFF >/dev/null
cmake --build build-guide -j "$jobs" --target clinora_guide

cmake -S . -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCLINORA_WERROR=ON -DCLINORA_BENCH=OFF \
  -DCLINORA_GUIDE_PDF="$repo/build-guide/app/Guida.pdf" >/dev/null
# The program, the guide beside it, the command-line tools, the core tests.
# The command-line tools this source tree has.
targets=$(ninja -C "$out" -t targets all)
tools=()
for t in clinora_demo clinora-referto clinora_referto; do
  if grep -q "^$t: " <<<"$targets"; then tools+=("$t"); fi
done
core_tests=()
for f in tests/core/tst_*.cpp; do
  n=$(basename "$f" .cpp)
  core_tests+=("core_$n")
done
cmake --build "$out" -j "$jobs" --target clinora clinora_guide "${tools[@]}" clinora_share_helper "${core_tests[@]}"

# The folder: program, guide, password file, tools.
rm -rf "$folder" "$out/Clinora-Windows.zip"
mkdir -p "$folder"
cp "$out/app/clinora.exe" "$out/app/Guida.pdf" "$out/app/unins000.dll" "$folder/"
for t in "${tools[@]}"; do
  find "$out" -name "$t.exe" -not -path "*/CMakeFiles/*" -exec cp {} "$folder/" \;
done
# Qt's plugins: the Windows screen, printing, the look of the controls, pictures.
for dir in platforms printsupport styles imageformats; do
  [ -d "$prefix/plugins/$dir" ] || continue
  mkdir -p "$folder/$dir"
  for p in "$prefix/plugins/$dir"/*.dll; do
    case $(basename "$p") in
      qdirect2d.dll | qminimal.dll | qoffscreen.dll) continue ;; # not the screen the program uses
    esac
    cp "$p" "$folder/$dir/"
  done
done
# The toolkit's own dialogs in Italian (the printer dialog, the file chooser).
mkdir -p "$folder/translations"
cp /usr/share/qt6/translations/qtbase_it.qm "$folder/translations/"

# Every DLL the program, the tools and the plugins load, found by reading
# their imports, from the Qt and library prefix or the compiler's runtime.
gccdir=$(dirname "$($triple-g++-posix -print-libgcc-file-name)")
search=("$prefix/bin" "$gccdir" "/usr/$triple/lib" "/usr/$triple/bin")
copy_deps() {
  local f dll dir found
  for f in "$@"; do
    while read -r dll; do
      [ -f "$folder/$dll" ] && continue
      found=""
      for dir in "${search[@]}"; do
        if [ -f "$dir/$dll" ]; then found="$dir/$dll"; break; fi
      done
      [ -n "$found" ] || continue # a Windows system DLL
      cp "$found" "$folder/"
      copy_deps "$folder/$dll"
    done < <($triple-objdump -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p')
  done
}
mapfile -t binaries < <(find "$folder" \( -name '*.exe' -o -name '*.dll' \) ! -name unins000.dll)
copy_deps "${binaries[@]}"
# The C++ runtime comes with its symbols (about 24 MB): the program needs none.
$triple-strip --strip-unneeded "$folder"/libstdc++-6.dll "$folder"/libgcc_s_seh-1.dll 2>/dev/null || true

(cd "$out" && rm -f Clinora-Windows.zip && zip -qr9 Clinora-Windows.zip Clinora)
echo "Windows program: $folder ($(du -sh "$folder" | cut -f1)), $out/Clinora-Windows.zip ($(du -h "$out/Clinora-Windows.zip" | cut -f1))"
