#!/usr/bin/env bash
# check-install.sh install|package <build dir> <scratch dir> <bindir> <datadir> <mandir> <icon sizes...>
# install: `cmake --install` into a scratch prefix, then checks the manifest, the desktop entry,
#          the AppStream metainfo, the installed program and the file-type association.
# package: `cpack -G DEB`, then checks the package's file list and its Depends, and runs lintian on it.
set -euo pipefail

mode=$1 build=$2 work=$3 bindir=$4 datadir=$5 mandir=$6
shift 6
sizes=("$@")
id=example.arvexgames.arvexhub
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expected_files() {
  echo "$bindir/arvexhub"
  echo "$datadir/applications/$id.desktop"
  echo "$datadir/metainfo/$id.metainfo.xml"
  echo "$datadir/mime/packages/$id.xml"
  echo "$mandir/man1/arvexhub.1.gz"
  echo "$datadir/doc/arvexhub/changelog.gz"
  echo "$datadir/doc/arvexhub/copyright"
  echo "$datadir/icons/hicolor/scalable/apps/$id.svg"
  for size in "${sizes[@]}"; do
    echo "$datadir/icons/hicolor/${size}x${size}/apps/$id.png"
  done
}

# Compares the files found under $1 (relative paths) with the expected list, both ways.
check_file_list() {
  local root=$1 what=$2
  local missing extra
  missing=$(comm -23 <(expected_files | sort) <(cd "$root" && find . -type f -printf '%P\n' | sort))
  extra=$(comm -13 <(expected_files | sort) <(cd "$root" && find . -type f -printf '%P\n' | sort))
  [ -z "$missing" ] || fail "$what lacks: $missing"
  [ -z "$extra" ] || fail "$what has unexpected files: $extra"
}

# Each hicolor PNG must really be of the size its folder names (width and height in the IHDR).
check_icon_sizes() {
  local root=$1 size dims
  for size in "${sizes[@]}"; do
    local png="$root/$datadir/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$png" ] || continue
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "icon ${size}x${size} is $dims"
  done
}

check_install() {
  local prefix="$work/prefix"
  cmake --install "$build" --prefix "$prefix" >/dev/null
  local manifest="$build/install_manifest.txt"
  while read -r file; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
    grep -qxF "$prefix/$file" "$manifest" || fail "not in the install manifest: $file"
  done < <(expected_files)
  check_file_list "$prefix" "the install prefix"
  check_icon_sizes "$prefix"

  # Hints count too: a second main category, for one, lists the program twice in menus.
  local report
  report=$(desktop-file-validate "$prefix/$datadir/applications/$id.desktop" 2>&1) \
    && [ -z "$report" ] || fail "desktop-file-validate: $report"
  appstreamcli validate --no-net "$prefix/$datadir/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"

  # The program, the metainfo's release, the man page and the changelog name the same version.
  local version
  version=$("$prefix/$bindir/arvexhub" --version) || fail "the installed program does not run"
  grep -q "<release version=\"$version\"" "$prefix/$datadir/metainfo/$id.metainfo.xml" \
    || fail "the metainfo has no release $version"
  zgrep -q "Arvex Hub $version" "$prefix/$mandir/man1/arvexhub.1.gz" || fail "the man page is not for $version"
  zcat "$prefix/$datadir/doc/arvexhub/changelog.gz" | head -n 1 | grep -q "^arvexhub ($version) " \
    || fail "the changelog's last entry is not $version"

  check_mime_association "$prefix"
}

# A sample game package is recognised by its name, and the desktop entry handles its type.
check_mime_association() {
  local prefix=$1
  # Outside a desktop session xdg-mime asks `mimetype` (libfile-mimeinfo-perl), which reads the globs.
  local tool
  for tool in xdg-mime update-mime-database mimetype; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is missing: the file-type association is not checked"
      return
    fi
  done
  local data="$work/xdg-data"
  mkdir -p "$data/mime/packages"
  cp "$prefix/$datadir/mime/packages/$id.xml" "$data/mime/packages/"
  export XDG_DATA_HOME="$data" XDG_DATA_DIRS=/usr/share XDG_CURRENT_DESKTOP=X-Generic
  update-mime-database "$data/mime"
  echo "sample game package" > "$work/Sample Game.arvexhub"
  local type
  type=$(xdg-mime query filetype "$work/Sample Game.arvexhub" || true)
  [ "$type" = "application/x-arvexhub-game" ] || fail "a .arvexhub file is of type '$type'"
  grep -q "^MimeType=.*$type;" "$prefix/$datadir/applications/$id.desktop" \
    || fail "the desktop entry does not handle $type"
  grep -q "<glob pattern=\"\*.arvexhub\"/>" "$prefix/$datadir/mime/packages/$id.xml" \
    || fail "the mime package has no *.arvexhub glob"
}

check_package() {
  (cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/deb" >/dev/null)
  local deb
  deb=$(find "$work/deb" -maxdepth 1 -name '*.deb' | head -n 1)
  [ -n "$deb" ] || { fail "cpack made no .deb"; return; }
  dpkg-deb --info "$deb" >/dev/null || fail "dpkg-deb cannot read $deb"
  local root="$work/root"
  dpkg -x "$deb" "$root"
  bindir=usr/$bindir datadir=usr/$datadir mandir=usr/$mandir
  check_file_list "$root" "the package"
  check_icon_sizes "$root"
  check_depends "$deb" "$root/$bindir/arvexhub"
  check_lintian "$deb"
}

# Debian's own package checks: errors fail, warnings are shown.
check_lintian() {
  command -v lintian >/dev/null || { fail "lintian is missing (scripts/bootstrap installs it)"; return; }
  lintian --fail-on error "$1" || fail "lintian reports errors"
}

# Every library the program links directly must come from a package the .deb depends on
# (the sanitizer runtimes of a test build are not part of a release).
check_depends() {
  local deb=$1 program=$2 depends lib path package owners covered
  depends=" $(dpkg-deb -f "$deb" Depends | sed 's/([^)]*)//g; s/[, ]\+/ /g') "
  for package in libqt6multimedia6 libqt6pdf6 libquazip1-qt6-1 libssl3 gstreamer1.0-plugins-good; do
    [[ $depends == *" $package "* ]] || fail "Depends lacks $package"
  done
  while read -r lib; do
    case "$lib" in libasan.so* | libubsan.so* | ld-linux*) continue ;; esac
    path=$(ldd "$program" | awk -v lib="$lib" '$1 == lib { print $3 }')
    [ -n "$path" ] || { fail "$lib not found on this machine"; continue; }
    path=$(readlink -f "$path")
    owners=$(dpkg -S "*/$(basename "$(dirname "$path")")/$(basename "$path")" 2>/dev/null \
               | sed 's/: .*//; s/, /\n/g; s/:[a-z0-9]*//g' | sort -u | tr '\n' ' ' || true)
    covered=no
    for package in $owners; do
      if [[ $depends == *" $package "* ]]; then covered=yes; fi
    done
    [ "$covered" = yes ] || fail "$lib comes from '$owners', which Depends lacks"
  done < <(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }')
}

rm -rf "$work"
mkdir -p "$work"
case "$mode" in
  install) check_install ;;
  package) check_package ;;
  *) echo "unknown mode $mode"; exit 2 ;;
esac
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
