#!/usr/bin/env bash
# Checks of the installed program, run by ctest (tests/install/CMakeLists.txt):
#
#   check-install.sh layout   <build> <work> <app id> <version line>
#   check-install.sh desktop  <build> <work> <app id>
#   check-install.sh metainfo <build> <work> <app id>
#   check-install.sh package  <build> <work> <app id> <package version>
#
# layout installs into <work>/usr with `cmake --install`, checks every laid-out file and
# starts the installed program once; desktop and metainfo run the validators on what it
# installed; package builds the Debian package into <work>/package and inspects it.
# Exit status 77: skipped (a validator is not installed).
set -euo pipefail
what="$1" build="$2" work="$3" id="$4"
prefix="$work/usr"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Width and height of a PNG file, from its IHDR chunk.
png_size() {
  local w h
  w=$(od -An -tu1 -j16 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  h=$(od -An -tu1 -j20 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  echo "${w}x${h}"
}

# The files (not folders) an install must lay out, sorted, relative to the prefix.
expected_files() {
  local delivered="$build/packaging/delivered"
  {
    echo bin/ombrixtips
    echo lib/ombrixtips/libflexora.so
    echo lib/ombrixtips/components.ini
    echo share/man/man1/ombrixtips.1
    (cd "$delivered" && find . -type f | sed 's|^\./|share/ombrixtips/|')
    echo "share/applications/$id.desktop"
    echo "share/metainfo/$id.metainfo.xml"
    for size in 48 128 256; do echo "share/icons/hicolor/${size}x${size}/apps/$id.png"; done
    echo "share/icons/hicolor/scalable/apps/$id.svg"
  } | LC_ALL=C sort
}

check_layout() {
  local version_line="$1"
  rm -rf "$work"
  mkdir -p "$work"
  cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
    cat "$work/install.log" >&2
    fail "cmake --install failed"
  }

  diff <(expected_files) <(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "the installed files differ from the expected ones (< expected, > installed)"
  for folder in Export OBXTemp images; do
    [ -d "$prefix/share/ombrixtips/$folder" ] || fail "share/ombrixtips/$folder is missing"
  done
  [ -x "$prefix/bin/ombrixtips" ] || fail "bin/ombrixtips is not executable"

  # The registration points at the library beside it, by a relative path.
  grep -qx '\[FlexoraControl.Flexora\]' "$prefix/lib/ombrixtips/components.ini" &&
    grep -qx 'Library=libflexora.so' "$prefix/lib/ombrixtips/components.ini" ||
    fail "components.ini does not register libflexora.so beside it: $(cat "$prefix/lib/ombrixtips/components.ini")"
  # The shipped tips are the delivered ones, not the build folder's working copy.
  cmp -s "$prefix/share/ombrixtips/ombrixtips.mdb" "$build/packaging/delivered/ombrixtips.mdb" ||
    fail "share/ombrixtips/ombrixtips.mdb is not the delivered tip database"
  for size in 48 128 256; do
    local got
    got=$(png_size "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png")
    [ "$got" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $got"
  done
  grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || fail "the SVG icon is no SVG"
  # Nothing installed may look for its libraries in the build folder.
  for binary in bin/ombrixtips lib/ombrixtips/libflexora.so; do
    if readelf -d "$prefix/$binary" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
      fail "$binary keeps the build folder in its library path"
    fi
  done

  local got
  got=$("$prefix/bin/ombrixtips" --version)
  [ "$got" = "$version_line" ] || fail "--version printed '$got', not '$version_line'"

  # The manual page formats without a warning (groff-base) and names every command that
  # --help lists.
  local warnings
  warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$prefix/share/man/man1/ombrixtips.1" 2>&1) ||
    fail "groff cannot format the manual page"
  [ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
  local manual
  manual=$(LC_ALL=C.UTF-8 groff -man -Tutf8 "$prefix/share/man/man1/ombrixtips.1" | sed 's/.\x08//g')
  for command in $("$prefix/bin/ombrixtips" --help | sed -n 's/^  ombrixtips \([a-z]*\).*/\1/p'); do
    grep -q "ombrixtips $command" <<<"$manual" || fail "the manual page lacks the command $command"
  done

  # A first start of the installed program: it makes the user's data folder and waits on
  # the greeting of a first run (until the timeout ends it); nothing under the prefix
  # changes.
  local home="$work/home" status=0
  mkdir -p "$home" "$work/runtime"
  chmod 700 "$work/runtime"
  touch "$work/before-start"
  sleep 1
  env -u XDG_DATA_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" QT_QPA_PLATFORM=offscreen \
    XDG_RUNTIME_DIR="$work/runtime" timeout 4 "$prefix/bin/ombrixtips" \
    >"$work/start.log" 2>&1 || status=$?
  [ "$status" -eq 124 ] || {
    cat "$work/start.log" >&2
    fail "the installed program ended with status $status instead of waiting on its greeting"
  }
  local data="$home/.local/share/ombrixtips"
  for entry in ombrixtips.mdb @@@@@@@@.@@@ images/0.jpg; do
    [ -f "$data/$entry" ] || fail "the first start made no $data/$entry"
  done
  for entry in Export OBXTemp; do
    [ -d "$data/$entry" ] || fail "the first start made no $data/$entry"
  done
  for entry in OMBRIXTIPS.HLP components.ini libflexora.so; do
    [ ! -e "$data/$entry" ] || fail "$entry was copied into the data folder"
  done
  if grep -q "resizing disabled" "$work/start.log"; then
    cat "$work/start.log" >&2
    fail "the installed program did not find its resizing library"
  fi
  local changed
  changed=$(find "$prefix" -newer "$work/before-start")
  [ -z "$changed" ] || fail "the program wrote under the prefix: $changed"
  echo "installed and started: $prefix"
}

check_desktop() {
  command -v desktop-file-validate >/dev/null || {
    echo "SKIPPED: desktop-file-validate is not installed (Debian package desktop-file-utils)"
    exit 77
  }
  desktop-file-validate "$prefix/share/applications/$id.desktop" ||
    fail "desktop-file-validate refused the menu entry"
  echo "desktop-file-validate: $id.desktop accepted"
}

check_metainfo() {
  command -v appstreamcli >/dev/null || {
    echo "SKIPPED: appstreamcli is not installed (Debian package appstream)"
    exit 77
  }
  # --no-net: the check must not depend on the network of the machine running it.
  appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "appstreamcli refused the metainfo"
}

check_package() {
  local version="$1" out="$work/package"
  rm -rf "$out"
  mkdir -p "$out"
  (cd "$build" && cpack -G DEB -B "$out") >"$out/cpack.log" 2>&1 || {
    cat "$out/cpack.log" >&2
    fail "cpack failed"
  }
  local deb
  deb=$(ls "$out"/ombrixtips_"$version"_*.deb 2>/dev/null | head -n1)
  [ -n "$deb" ] || fail "no ombrixtips_${version}_*.deb in $out"
  local contents
  contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
  for path in ./usr/bin/ombrixtips ./usr/lib/ombrixtips/libflexora.so \
    ./usr/lib/ombrixtips/components.ini ./usr/share/ombrixtips/ombrixtips.mdb \
    ./usr/share/man/man1/ombrixtips.1 \
    ./usr/share/ombrixtips/@@@@@@@@.@@@ ./usr/share/ombrixtips/OMBRIXTIPS.HLP \
    ./usr/share/ombrixtips/images/0.jpg ./usr/share/ombrixtips/Export/ \
    ./usr/share/ombrixtips/OBXTemp/ "./usr/share/applications/$id.desktop" \
    "./usr/share/metainfo/$id.metainfo.xml" "./usr/share/icons/hicolor/48x48/apps/$id.png" \
    "./usr/share/icons/hicolor/scalable/apps/$id.svg"; do
    grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
  done
  if grep -q '^\./home\|^\./root\|^\./etc' <<<"$contents"; then
    fail "the package writes outside /usr"
  fi
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for dependency in libqt6widgets6 libqt6gui6 libqt6core6 libsqlite3-0 libzip4; do
    grep -q "\b$dependency\b" <<<"$depends" || fail "the package does not depend on $dependency"
  done
  [ "$(dpkg-deb -f "$deb" Package)" = ombrixtips ] || fail "the package is not named ombrixtips"
  echo "package: $(basename "$deb"), Depends: $depends"
}

case "$what" in
layout) check_layout "$5" ;;
desktop) check_desktop ;;
metainfo) check_metainfo ;;
package) check_package "$5" ;;
*) fail "unknown check $what" ;;
esac
