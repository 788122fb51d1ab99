#!/bin/bash
# Installs what building and testing morvask needs on Debian 12, as root,
# and any further packages named as arguments (a script that needs more,
# such as the notice picture's virtual display, names them).
# Idempotent: packages already present are left alone, and the package
# lists are refreshed only when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev libgmock-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64
  python3 e2fsprogs util-linux zip file
  clang libclang-rt-14-dev clang-format clang-tidy
  "$@"
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

# Installs the missing packages; any further arguments go to apt-get.
install_missing() {
  apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}" \
    >/dev/null
}

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # A mirror can serve a security index for i386 that does not match its
  # release file (in the middle of a sync, or stuck there). apt then ignores
  # that index, and the i386 libraries of the release cannot match the amd64
  # ones the security archive offers, so nothing resolves. Ranking the
  # security archive below the release for this one install lines both
  # architectures up on the release's versions. Failing that, wait for the
  # mirror a few times before giving up.
  below_release=$(mktemp)
  trap 'rm -f "$below_release"' EXIT
  printf '%s\n' 'Package: *' 'Pin: release l=Debian-Security' \
    'Pin-Priority: 100' >"$below_release"
  for wait in 30 60 0; do
    apt-get update -qq || true
    if install_missing; then
      break
    fi
    echo "install-deps: the archive does not resolve as it stands;" \
      "trying the release's own versions" >&2
    if install_missing -o Dir::Etc::Preferences="$below_release"; then
      echo "install-deps: installed from the release and its updates;" \
        "the security archive's newer versions were not taken" >&2
      break
    fi
    if ((wait == 0)); then
      echo "install-deps: could not install ${missing[*]}" >&2
      exit 1
    fi
    echo "install-deps: the package archive is not consistent yet;" \
      "trying again in $wait s" >&2
    sleep "$wait"
  done
elif [[ ${need_update:-} ]]; then
  apt-get update -qq
fi
