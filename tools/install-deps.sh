#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# With the argument "bench" it adds the plug-ins of other collections that
# the LV2 benchmark measures ours against (CAPS only comes as LADSPA; the
# benchmark hosts it through ladspa.h from ladspa-sdk).
# As root it installs them; otherwise it names what is missing and fails.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libgtest-dev libbenchmark-dev
  libsndfile1-dev libfftw3-dev
  lv2-dev liblilv-dev lilv-utils sordi libsuil-dev jalv jackd2
  libcairo2-dev libx11-dev libxtst-dev fonts-dejavu-core xvfb xauth
  libtinyxml-dev
)

bench_packages=(
  calf-plugins x42-plugins guitarix-lv2 lsp-plugins-lv2 mda-lv2 swh-lv2 zam-plugins
  caps ladspa-sdk
)

case "${1:-}" in
  "") ;;
  bench) packages+=("${bench_packages[@]}") ;;
  *)
    echo "Usage: $0 [bench]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "Installing Debian packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
