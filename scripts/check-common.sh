# shellcheck shell=bash
# What the package checks share, sourced by scripts/check-debs, check-zips
# and check-rebuild: how a check reports, the files scripts/package printed
# sorted by kind, a work folder, and an X server of their own, all ended on
# exit. Every failed check is named on standard error; finish gives the job's
# status, 1 when any failed.
set -euo pipefail

job=$(basename -- "$0")
failures=0
fail() {
  echo "$job: FAILED: $*" >&2
  failures=$((failures + 1))
}
passed() {
  echo "ok: $*"
}
refuse() {  # a job that cannot run at all
  echo "$job: $*" >&2
  exit 2
}
finish() {  # what the job checked, when all passed
  if [ "$failures" -ne 0 ]; then
    echo "$job: $failures check(s) failed" >&2
    exit 1
  fi
  echo "$job: every check passed for $*"
}

# The files scripts/package printed, by kind, as absolute paths: deb_of[NAME]
# for vardane-cli and vardane, zip and window_zip for the two Windows zips,
# msi for the Windows installer.
declare -A deb_of=()
zip=
window_zip=
msi=
sort_packages() {  # the files, in any order
  local file name
  for file in "$@"; do
    [ -f "$file" ] || refuse "no package file: $file"
    case $(basename -- "$file") in
      vardane-cli-*-windows-x86_64.zip) zip=$(realpath -- "$file") ;;
      *-windows-x86_64.zip) window_zip=$(realpath -- "$file") ;;
      *-windows-x86_64.msi) msi=$(realpath -- "$file") ;;
      *)
        name=$(dpkg-deb -f "$file" Package) || refuse "not a package: $file"
        case $name in
          vardane-cli | vardane) deb_of[$name]=$(realpath -- "$file") ;;
          *) refuse "not one of Vardane's packages: $file ($name)" ;;
        esac
        ;;
    esac
  done
  [ -n "${deb_of[vardane-cli]:-}" ] || refuse "no vardane-cli package among: $*"
}

# The test build's vardane_write_test_image, which writes the test image.
write_test_image=
take_write_test_image() {  # $1 its path
  write_test_image=$(realpath -e -- "$1" 2>/dev/null) || refuse "no such file: $1"
  [ -x "$write_test_image" ] || refuse "not an executable: $1"
}

work=$(mktemp -d)
display_pid=
program_pid=
wine_prefixes=()
display=
cleanup() {
  local prefix
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
  [ -z "$display_pid" ] || kill "$display_pid" 2>/dev/null || true
  for prefix in "${wine_prefixes[@]}"; do
    WINEPREFIX=$prefix /usr/lib/wine/wineserver --kill 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# An X server of its own, whose name goes to $display.
start_display() {
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  display_pid=$!
  exec 3>&-
  for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  if ! display=:$(head -n1 "$work/display") || [ "$display" = : ]; then
    fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    return 1
  fi
}
stop_display() {
  kill "$display_pid" 2>/dev/null || true
  wait "$display_pid" 2>/dev/null || true
  display_pid=
  rm -f "$work/display"
}
