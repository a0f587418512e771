#!/usr/bin/env bash
# Scratch Debian systems, for scripts/check-install.sh.
#
# A scratch root holds the essential packages and exactly the packages that
# some Depends fields need, copied file by file from this machine's own
# installed packages (no download), with a dpkg database that knows those
# packages and no others. dpkg inside it then refuses a .deb whose
# dependencies are not met, and a program run inside it finds only what
# those packages bring: a missing Depends, or a file that only a development
# package has, shows up as a failure.
#
#   scratch-root.sh add ROOT [--own NAME]... FIELD...
#       adds to ROOT (created when missing) the essential packages and every
#       installed package that the Depends-style FIELDs need, with their own
#       needs. --own names a package under test: it comes from a .deb that
#       the caller installs with dpkg, never from this machine.
#   scratch-root.sh packages ROOT
#       the packages ROOT has
#   scratch-root.sh run ROOT CMD...
#       runs CMD inside ROOT with a clean environment
#
# Needs root: chroot and mount namespaces.
set -euo pipefail

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

declare -A provider=() depends=() present=()

# Every installed package, what it needs and what it provides.
read_database() {
  local status package provides pre_depends package_depends entry
  local -a virtual
  while IFS='|' read -r status package provides pre_depends package_depends; do
    [[ $status == "ii " ]] || continue
    provider[$package]=$package
    depends[$package]="$pre_depends, $package_depends"
  done < <(dpkg-query -W -f='${db:Status-Abbrev}|${Package}|${Provides}|${Pre-Depends}|${Depends}\n')
  # Virtual names second, so that a real package of the same name wins.
  while IFS='|' read -r status package provides; do
    [[ $status == "ii " ]] || continue
    IFS=',' read -ra virtual <<<"$provides"
    for entry in "${virtual[@]}"; do
      entry=${entry%%(*}
      entry=${entry// /}
      [[ -z $entry || -n ${provider[$entry]:-} ]] || provider[$entry]=$package
    done
  done < <(dpkg-query -W -f='${db:Status-Abbrev}|${Package}|${Provides}\n')
}

queue=()
# Queues the package chosen for each item of a Depends field. Of
# alternatives ("a | b") the first one present or installed is taken;
# versions are left to dpkg inside the root, which checks them when it
# installs the packages under test.
queue_needs() {
  local field=$1 needed_by=$2 item alternative name chosen
  local -a items alternatives
  IFS=',' read -ra items <<<"$field"
  for item in "${items[@]}"; do
    [[ -n ${item// /} ]] || continue
    chosen=""
    IFS='|' read -ra alternatives <<<"$item"
    for alternative in "${alternatives[@]}"; do
      name=${alternative%%(*}
      name=${name%%:*}
      name=${name// /}
      if [[ -n ${present[$name]:-} ]]; then
        chosen=-
        break
      fi
      if [[ -n ${provider[$name]:-} ]]; then
        chosen=${provider[$name]}
        break
      fi
    done
    [[ -n $chosen ]] || fail "no installed package gives '${item# }', which $needed_by needs"
    [[ $chosen == - ]] || queue+=("$chosen")
  done
}

# Prints the installed packages that the FIELDs need, recursively, leaving
# out what is present already.
closure() {
  local -A seen=()
  local field package
  for field in "$@"; do queue_needs "$field" "the packages under test"; done
  while ((${#queue[@]})); do
    package=${queue[-1]}
    unset 'queue[-1]'
    [[ -z ${seen[$package]:-} ]] || continue
    seen[$package]=1
    queue_needs "${depends[$package]}" "$package"
  done
  printf '%s\n' "${!seen[@]}" | sort
}

packages() {
  sed -n 's/^Package: //p' "$1/var/lib/dpkg/status" | sort
}

create() {
  local root=$1 dir
  mkdir -p "$root"/{dev,proc,root,tmp/runtime,etc,var/lib/dpkg/info,var/lib/dpkg/updates}
  chmod 1777 "$root/tmp"
  chmod 700 "$root/tmp/runtime"
  # Debian 12 merges /bin, /sbin and /lib into /usr; the packages still
  # name some of their files by the old paths.
  for dir in bin sbin lib lib64; do
    mkdir -p "$root/usr/$dir"
    ln -s "usr/$dir" "$root/$dir"
  done
  : >"$root/var/lib/dpkg/status"
  echo 'root:x:0:0:root:/root:/bin/sh' >"$root/etc/passwd"
  echo 'root:x:0:' >"$root/etc/group"
}

add() {
  local root=$1 package path file essential
  shift
  [[ -d $root ]] || create "$root"
  while [[ ${1:-} == --own ]]; do
    present[$2]=1
    shift 2
  done
  while IFS= read -r package; do present[$package]=1; done < <(packages "$root")
  read_database
  essential=$(dpkg-query -W -f='${Package}|${Essential}\n' | sed -n 's/|yes$//p' | paste -sd, -)
  local -a added=()
  # In this shell, not a subshell, so that fail() ends the script.
  closure "$essential" "$@" >"$root/.added"
  mapfile -t added <"$root/.added"
  rm "$root/.added"
  ((${#added[@]})) || return 0

  # Files that a package lists but that this machine dropped (documentation
  # excluded by dpkg's path filters) are left out.
  dpkg-query -L "${added[@]}" | grep '^/' | sort -u | while IFS= read -r path; do
    if [[ -e $path || -L $path ]]; then printf '%s\n' "${path#/}"; fi
  done >"$root/.files"
  tar -C / --no-recursion -cf - -T "$root/.files" |
    tar -C "$root" --keep-directory-symlink -xf - || fail "copying packages into $root"
  rm "$root/.files"

  for package in "${added[@]}"; do
    dpkg-query -s "$package" >>"$root/var/lib/dpkg/status"
    echo >>"$root/var/lib/dpkg/status"
    for file in /var/lib/dpkg/info/"$package".* /var/lib/dpkg/info/"$package":*.*; do
      if [[ -e $file ]]; then cp -p "$file" "$root/var/lib/dpkg/info/"; fi
    done
  done
  run "$root" ldconfig
}

run() {
  local root=$1
  shift
  # A private mount namespace: /proc and /dev appear inside the root and
  # vanish with the command, whatever happens to it.
  # shellcheck disable=SC2016
  unshare --mount --propagation private -- /bin/sh -c '
    root=$1
    shift
    mount -t proc proc "$root/proc" && mount --rbind /dev "$root/dev" || exit 125
    exec chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
      QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp/runtime "$@"
  ' run "$root" "$@"
}

(($# >= 2)) || fail "usage: $0 add|packages|run ROOT ..."
((EUID == 0)) || fail "$0 needs root (chroot, mount namespaces)"
command=$1
shift
case $command in
  add | packages | run) "$command" "$@" ;;
  *) fail "unknown command '$command'" ;;
esac
