#!/usr/bin/env bash
# Renders the skins' artwork from the SVG sources in data/skins/art/ into the skin
# folders: NAME.png at design size and NAME_x2.png at twice that size, for screens
# that run a skin at scale 2. Artwork with transparent parts gets alpha masks beside
# it (NAME_8.png, NAME_x2_8.png, grey levels = opacity). All images are 8-bit RGB,
# which the program's PNG decoder reads. Run it after changing an SVG source and
# commit the PNG files it writes. It also renders the desktop icon (data/desktop).
set -euo pipefail
cd "$(dirname "$0")"

# Which artwork each skin uses.
declare -A skin_art=(
  [default]="background button button_highlight button_pressed button_disabled check_on focus
             panel panel_focus dialog header row_selected row_highlight
             progress_back progress_fill progress_thumb progress_thumb_off
             scroll_space scroll_thumb scroll_thumb_pressed scroll_up scroll_down
             edit edit_focus edit_disabled selection icon_up icon_folder icon_audio logo"
  [settings]="button button_highlight button_pressed button_disabled focus dialog logo"
)

render() { # render SVG ZOOM TARGET_BASE
  local svg=$1 zoom=$2 base=$3 rendered
  rendered=$(mktemp --suffix=.png)
  rsvg-convert --zoom="$zoom" "$svg" -o "$rendered"
  if [ "$(convert "$rendered" -alpha extract -format '%[fx:minima]' info:)" != "1" ]; then
    convert "$rendered" -alpha extract -strip -define png:color-type=2 "PNG24:${base}_8.png"
  else
    rm -f "${base}_8.png"
  fi
  convert "$rendered" -alpha off -strip -define png:color-type=2 "PNG24:${base}.png"
  rm -f "$rendered"
}

for skin in "${!skin_art[@]}"; do
  mkdir -p "$skin"
  for name in ${skin_art[$skin]}; do
    render "art/$name.svg" 1 "$skin/$name"
    render "art/$name.svg" 2 "$skin/${name}_x2"
  done
done

# The program's icon for the desktop: the logo as ordinary RGBA PNG files.
for size in 48 128; do
  rsvg-convert --width="$size" --height="$size" art/logo.svg -o "../desktop/melodrift_${size}.png"
done
