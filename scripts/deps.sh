# Installs the Debian packages Ombrix Tips needs to build, run, test and package, when
# missing (desktop-file-utils and appstream validate the installed menu entry and
# metainfo; poppler-utils reads the saved PDF documents back in the tests; groff-base checks
# the manual page). Sourced by
# scripts/run, scripts/test and scripts/package.
OBX_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev libsqlite3-dev libzip-dev \
libgtest-dev libbenchmark-dev xvfb xauth openbox fonts-dejavu-core desktop-file-utils appstream \
poppler-utils groff-base"
# The fuzz targets (scripts/fuzz): clang with libFuzzer and the sanitizer runtimes.
OBX_FUZZ_PACKAGES="clang libclang-rt-14-dev"

# obx_install_missing [PACKAGES]: the given list, by default OBX_PACKAGES.
obx_install_missing() {
  local missing=()
  for p in ${1:-$OBX_PACKAGES}; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

obx_build() {
  local root="$1"
  cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
  ninja -C "$root/build" -j"$(nproc)"
}
