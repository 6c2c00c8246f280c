#!/usr/bin/env bash
# ensure-packages.sh PACKAGE...: installs the Debian packages that are missing.
# As root it runs apt-get; otherwise it prints the lines to run and fails.
#
# Three kinds of name need more than apt-get install:
#   NAME:ARCH      a package of another architecture (i386, arm64, armhf,
#                  s390x ...): dpkg must know that architecture
#                  (dpkg --add-architecture ARCH) before apt can find it;
#   architecture:ARCH  no package: only that dpkg knows ARCH, so that apt can
#                  fetch its packages (apt-get download NAME:ARCH);
#   source:NAME    Debian's source package NAME (for apt-get source): apt needs
#                  a deb-src entry for the archive it already uses, added
#                  beside each deb entry of deb.debian.org when missing.
set -euo pipefail
missing=()
missing_archs=()
sources=()
for package in "$@"; do
  if [[ "$package" == architecture:* ]]; then
    dpkg --print-foreign-architectures | grep -qx "${package#architecture:}" ||
      missing_archs+=("${package#architecture:}")
    continue
  fi
  if [[ "$package" == source:* ]]; then
    sources+=("${package#source:}")
    continue
  fi
  # A name without an architecture is this machine's (or an "all" package);
  # dpkg-query lists every architecture's copy of it.
  arch=$(dpkg --print-architecture)
  [[ "$package" == *:* ]] && arch=${package##*:}
  dpkg-query -W -f='${Status} ${Architecture}\n' "$package" 2>/dev/null |
    grep -Eqx "install ok installed ($arch|all)" || missing+=("$package")
done

# The architectures that dpkg does not know yet (NAME:native and NAME:any
# name none).
new_archs=("${missing_archs[@]}")
known_archs=" $(dpkg --print-architecture) $(dpkg --print-foreign-architectures | tr '\n' ' ') "
known_archs+="${missing_archs[*]} "
for package in "${missing[@]}"; do
  [[ "$package" == *:* ]] || continue
  arch=${package##*:}
  [[ "$arch" == native || "$arch" == any || "$known_archs" == *" $arch "* ]] && continue
  new_archs+=("$arch")
  known_archs+="$arch "
done

# A deb-src entry: a deb822 stanza whose Types include deb-src, or a one-line entry.
has_deb_src() {
  grep -Eqs '^(Types:.*\bdeb-src\b|deb-src[[:space:]])' /etc/apt/sources.list \
    /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources
}
need_deb_src=false
[[ ${#sources[@]} -gt 0 ]] && ! has_deb_src && need_deb_src=true
# Without a deb-src entry apt knows no source package; with one, it may not
# have read its list yet.
need_source_list=false
for name in "${sources[@]}"; do
  $need_deb_src || apt-cache showsrc "$name" 2>/dev/null | grep -q '^Package:' ||
    need_source_list=true
done

if [[ ${#missing[@]} -eq 0 ]] && [[ ${#new_archs[@]} -eq 0 ]] && ! $need_deb_src && ! $need_source_list; then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "Corvexa needs these Debian packages. Set them up with:" >&2
  for arch in "${new_archs[@]}"; do echo "  sudo dpkg --add-architecture $arch" >&2; done
  $need_deb_src && echo "  (add a deb-src entry beside the deb one in /etc/apt/sources.list.d/debian.sources)" >&2
  echo "  sudo apt-get update" >&2
  [[ ${#missing[@]} -gt 0 ]] && echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt=(apt-get -o DPkg::Lock::Timeout=900)
for arch in "${new_archs[@]}"; do
  echo "Adding the $arch architecture to dpkg (for ${missing[*]})"
  dpkg --add-architecture "$arch"
done
if $need_deb_src; then
  echo "Adding deb-src entries for Debian's archive (for apt-get source ${sources[*]})"
  for file in /etc/apt/sources.list.d/*.sources; do
    [[ -e "$file" ]] || continue
    grep -q 'deb\.debian\.org' "$file" && sed -i 's/^Types: deb$/Types: deb deb-src/' "$file"
  done
  if [[ -f /etc/apt/sources.list ]]; then
    sed -n 's/^deb \(.*deb\.debian\.org.*\)$/deb-src \1/p' /etc/apt/sources.list \
      >/etc/apt/sources.list.d/corvexa-deb-src.list
  fi
  has_deb_src || {
    echo "ensure-packages.sh: found no Debian archive entry to add deb-src to" >&2
    exit 1
  }
fi
[[ ${#missing[@]} -gt 0 ]] && echo "Installing: ${missing[*]}"
# A mirror caught mid-sync fails the update with "File has unexpected size";
# a later try usually finds it whole. If every try fails, apt keeps the lists
# it has, and the install below says which package it cannot find.
for try in 1 2 3 4; do
  "${apt[@]}" update -qq && break
  [[ $try -eq 4 ]] && { echo "ensure-packages.sh: apt-get update failed 4 times; going on with the lists apt has" >&2; break; }
  echo "ensure-packages.sh: apt-get update failed; trying again in 30 s" >&2
  sleep 30
done
if [[ ${#missing[@]} -gt 0 ]]; then
  "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
