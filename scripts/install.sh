#!/usr/bin/env bash
# Installs Clinora into a folder (default ~/Clinora), or updates the
# installation there, and adds it to the desktop menu.
#
#   scripts/install.sh [FOLDER]
#   scripts/install.sh --from BUILD_DIR [FOLDER]   installs what BUILD_DIR already holds
#
# The folder holds the program and, beside it, every data file of the
# practice: a folder on a network share or a USB stick works the same way.
# The program is built in Release (build-release/) and its own files (the
# program, Guida.pdf and, only when there is none yet, the password file with
# the initial password) are put in the folder. Nothing else in it is touched:
# the archives, the frequent exams, attachments, patient folders and a
# password the user changed stay as they are. Each file takes its place in
# one step, so a copy of the program running from the folder goes on.
# The menu entry and the icon go to the user's ~/.local/share (or
# $XDG_DATA_HOME).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

from=""
folder=""
while (($#)); do
  case "$1" in
    --from) from="$(cd "$2" && pwd)"; shift 2 ;;
    -h|--help) sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "Unknown option: $1" >&2; exit 2 ;;
    *) [ -z "$folder" ] || { echo "Only one folder, please." >&2; exit 2; }
       folder="$1"; shift ;;
  esac
done
folder="${folder:-$HOME/Clinora}"

if [ -z "$from" ]; then
  "$root/scripts/deps.sh"
  from="$root/build-release"
  cmake -S "$root" -B "$from" -DCMAKE_BUILD_TYPE=Release -DCLINORA_TESTS=OFF -DCLINORA_BENCH=OFF >/dev/null
  cmake --build "$from" -j "$(nproc)" --target clinora clinora_guide
fi

mkdir -p "$folder"
folder="$(cd "$folder" && pwd -P)"
if [ ! -w "$folder" ]; then
  echo "Cannot write into $folder: choose a folder you can write to." >&2
  exit 1
fi

# Patient data are no other account's business: the folder is the user's
# alone (0700), and so is everything the program then makes in it. A folder
# already shared with a group as the README shows (set-group-ID bit, for two
# accounts or two computers) keeps its group; only other accounts are shut
# out. A disk without permissions (a FAT stick) is said, not fatal.
if [ -g "$folder" ]; then
  folder_mode=o-rwx program_mode=0750 file_mode=0660
else
  folder_mode=0700 program_mode=0700 file_mode=0600
fi
chmod "$folder_mode" "$folder" 2>/dev/null ||
  echo "Note: the permissions of $folder cannot be set; keep it where only the practice can reach it." >&2

# The program's files, as the build's install rules list them, are laid out
# beside the target first (same disk, so each one then moves in by a rename).
stage="$(mktemp -d "$folder/.clinora-install.XXXXXX")"
trap 'rm -rf "$stage"' EXIT
cmake --install "$from" --prefix "$stage" >/dev/null

updated=()
for f in "$stage"/*; do
  name="$(basename "$f")"
  if [ -e "$folder/$name" ]; then
    # The password file is the practice's once it is there.
    [ "$name" = unins000.dll ] && continue
    cmp -s "$f" "$folder/$name" && continue
  fi
  { if [ -x "$f" ]; then chmod "$program_mode" "$f"; else chmod "$file_mode" "$f"; fi; } 2>/dev/null || true
  mv -f "$f" "$folder/$name"
  updated+=("$name")
done

# The mark of a folder this script installed: uninstall.sh removes the
# program only from such a folder.
printf 'Clinora installed here by scripts/install.sh\n' >"$folder/.clinora-installato"
chmod "$file_mode" "$folder/.clinora-installato" 2>/dev/null || true

# The menu entry and its icon.
data="${XDG_DATA_HOME:-$HOME/.local/share}"
entry="$data/applications/clinora.desktop"
mkdir -p "$data/applications" "$data/icons/hicolor/scalable/apps"
cp "$root/dist/clinora.svg" "$data/icons/hicolor/scalable/apps/clinora.svg"
if command -v rsvg-convert >/dev/null; then
  for size in 16 24 32 48 64 128 256; do
    mkdir -p "$data/icons/hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$root/dist/clinora.svg" \
      -o "$data/icons/hicolor/${size}x${size}/apps/clinora.png"
  done
fi
# A desktop entry's string escapes its backslashes; the command line in it
# quotes the path and escapes " ` $ \ inside the quotes, and writes a "%"
# (which would start a field code) as "%%".
desktop_string() { printf '%s' "$1" | sed 's/\\/\\\\/g'; }
exec_path="$(printf '%s' "$folder/clinora" | sed 's/[\\"`$]/\\&/g; s/%/%%/g')"
cat >"$stage/clinora.desktop" <<EOF
[Desktop Entry]
Type=Application
Version=1.4
Name=Clinora
GenericName=Archivio pazienti e analisi cliniche
Comment=Anagrafica dei pazienti e risultati delle analisi cliniche dello studio medico
Keywords=pazienti;analisi;studio medico;
Exec=$(desktop_string "\"$exec_path\"")
Path=$(desktop_string "$folder")
Icon=clinora
Terminal=false
Categories=Office;
StartupWMClass=Clinora
EOF
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$stage/clinora.desktop"
fi
mv -f "$stage/clinora.desktop" "$entry"
command -v update-desktop-database >/dev/null && update-desktop-database -q "$data/applications" || true

if ((${#updated[@]})); then
  echo "Clinora installed in $folder (updated: ${updated[*]})."
else
  echo "Clinora in $folder is up to date."
fi
echo "Its data lives in that folder too; the menu entry is $entry."

# Cards saved by an earlier scripts/run.sh live in the build folder: say so
# once, until they are moved beside the installed program.
if [ -e "$root/build/app/Pazienti.pro" ] && [ ! -e "$folder/Pazienti.pro" ]; then
  echo
  echo "Note: $root/build/app holds data saved before Clinora was installed."
  echo "To carry it over, close Clinora and copy it, all but the program, into the installation:"
  echo "  find '$root/build/app' -mindepth 1 -maxdepth 1 ! -name clinora ! -name clinora-referto ! -name Guida.pdf -exec cp -a -t '$folder' {} +"
fi
