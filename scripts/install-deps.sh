#!/bin/bash
# Installs what building and testing morvask needs on Debian 12, as root.
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

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # A mirror in the middle of a sync serves index files that do not match
  # their release file, and apt then cannot resolve the i386 packages: wait
  # and try again a few times before giving up.
  for wait in 30 60 120 0; do
    apt-get update -qq || true
    if apt-get install -y -qq --no-install-recommends "${missing[@]}" \
        >/dev/null; then
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
