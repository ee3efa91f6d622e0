#!/usr/bin/env bash
# Installs the build into a scratch folder and validates what software
# centres and desktops read: the .desktop file (desktop-file-validate) and the
# AppStream metainfo (appstreamcli, without the network). Exit 77 (skipped)
# where a validator is missing, unless QUILLO_DESKTOP_TOOLS_REQUIRED=1.
#   validate-metadata.sh BUILD_FOLDER
set -euo pipefail
build="$1"

for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "validate-metadata: $tool is missing (Debian desktop-file-utils, appstream)" >&2
    [ "${QUILLO_DESKTOP_TOOLS_REQUIRED:-0}" = 1 ] && exit 1
    exit 77
  fi
done

staging="$(mktemp -d)"
trap 'rm -rf "$staging"' EXIT
DESTDIR="$staging" cmake --install "$build" --prefix /usr >/dev/null

desktop="$staging/usr/share/applications/quillo.desktop"
metainfo="$staging/usr/share/metainfo/io.github.quillo.Quillo.metainfo.xml"
for file in "$desktop" "$metainfo"; do
  [ -f "$file" ] || { echo "validate-metadata: not installed: ${file#"$staging"}" >&2; exit 1; }
done
desktop-file-validate "$desktop"
appstreamcli validate --no-net --explain "$metainfo"
# The metainfo names the installed launcher and programs.
grep -q '<launchable type="desktop-id">quillo.desktop</launchable>' "$metainfo"
for program in quillo quillo-cli; do
  grep -q "<binary>$program</binary>" "$metainfo"
  [ -x "$staging/usr/bin/$program" ] || { echo "validate-metadata: /usr/bin/$program not installed" >&2; exit 1; }
done
echo "validate-metadata: quillo.desktop and the metainfo are valid and installed"
