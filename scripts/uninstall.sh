#!/usr/bin/env bash
# Removes the program from an installation folder (default ~/Clinora) and its
# desktop menu entry, and never the practice's data: the archives, the
# frequent exams, attachments, patient folders, exports and a password the
# user changed stay in the folder, and the script lists what it left there.
#
#   scripts/uninstall.sh [FOLDER]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

case "${1:-}" in
  -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
esac
folder="${1:-$HOME/Clinora}"
data="${XDG_DATA_HOME:-$HOME/.local/share}"
entry="$data/applications/clinora.desktop"

[ -d "$folder" ] && folder="$(cd "$folder" && pwd -P)"
entry_path="Path=$(printf '%s' "$folder" | sed 's/\\/\\\\/g')"
ours=false
[ -f "$entry" ] && grep -qxF "$entry_path" "$entry" && ours=true

# Only a folder install.sh installed (its mark, or, for an installation
# made before the mark, the menu entry leading to its program): files that
# merely share the program's names elsewhere are never removed.
installed=false
if [ -f "$folder/.clinora-installato" ] || { $ours && [ -f "$folder/clinora" ]; }; then
  installed=true
fi

if $installed && [ -f "$folder/clinora" ]; then
  # The program's own files. The password file is the practice's once it
  # differs from the initial one.
  for name in clinora clinora-referto Guida.pdf; do
    rm -f "$folder/$name"
  done
  if cmp -s "$root/dist/unins000.dll" "$folder/unins000.dll"; then
    rm -f "$folder/unins000.dll"
  fi
  rm -rf "$folder"/.clinora-install.*
  rm -f "$folder/.clinora-installato"
  echo "Clinora removed from $folder."
elif ! $ours; then
  echo "There is no Clinora installation in $folder: nothing changed."
  exit 1
fi

# The menu entry, when it is this installation's.
if $ours; then
  rm -f "$entry"
  rm -f "$data/icons/hicolor/scalable/apps/clinora.svg" "$data"/icons/hicolor/*x*/apps/clinora.png
  command -v update-desktop-database >/dev/null && update-desktop-database -q "$data/applications" || true
  echo "Menu entry removed: $entry"
elif [ -f "$entry" ]; then
  echo "The menu entry $entry starts another installation: left as it is."
fi

if [ -d "$folder" ]; then
  if [ -z "$(ls -A "$folder")" ]; then
    rmdir "$folder"
    echo "The folder held no data and is removed."
  else
    echo "Data left in $folder:"
    for path in "$folder"/* "$folder"/.[!.]*; do
      [ -e "$path" ] || continue
      if [ -d "$path" ]; then
        echo "  $(basename "$path")/ ($(find "$path" -type f | wc -l) files)"
      else
        echo "  $(basename "$path")"
      fi
    done
    echo "Delete that folder yourself once the data is no longer needed, or keep it:"
    echo "installing Clinora there again finds it as it was."
  fi
fi
