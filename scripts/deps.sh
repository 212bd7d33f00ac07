#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  nlohmann-json3-dev qt6-base-dev qt6-translations-l10n libfreetype-dev fonts-dejavu-core fonts-dejavu-extra fonts-material-design-icons-iconfont gettext
)
optional=(ccache)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
missing_optional=()
for p in "${optional[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing_optional+=("$p")
done

# Nothing required is missing: build now, also offline or without sudo. An optional package is only
# installed along with required ones.
if [ ${#missing[@]} -eq 0 ]; then
  if [ ${#missing_optional[@]} -gt 0 ]; then
    echo "Optional packages not installed (${missing_optional[*]}); building without them."
  fi
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]} ${missing_optional[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
if [ ${#missing_optional[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing_optional[@]}" ||
    echo "Optional packages could not be installed (${missing_optional[*]}); building without them."
fi
