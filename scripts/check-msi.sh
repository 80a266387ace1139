# shellcheck shell=bash
# The Windows installer's checks, sourced by scripts/check-zips (whose
# helpers they use): in a wine prefix of its own, made for it, msiexec
# installs for the user alone what the window's zip holds, with its
# Start-menu entry, the .rom association and the PATH entry, and removes all
# of it again.

# A program of the installer's prefix; its output without wine's CR.
in_msi_prefix() {
  cmake/wine-run "$msi_prefix" "$@" </dev/null 2>/dev/null | tr -d '\r'
}
# A value of the prefix's registry, in UTF-8; status 1 when it is not there.
registry_value() {  # $1 key, $2 value name, empty for the key's default
  local found
  if [ -n "$2" ]; then
    found=$(in_msi_prefix reg query "$1" /v "$2") || return 1
  else
    found=$(in_msi_prefix reg query "$1" /ve) || return 1
  fi
  # "    NAME    REG_SZ    DATA", in the console's code page, the OEM one.
  sed -n 's/^    .*    REG_[A-Z_]*    //p' <<<"$found" | head -n 1 | iconv -f "CP$oem_code_page" -t UTF-8
}
# Whether the prefix's registry holds the value, or the key when no value is named.
registry_has() {  # $1 key, $2 value name or nothing
  if [ -n "${2:-}" ]; then
    in_msi_prefix reg query "$1" /v "$2" >/dev/null
  else
    in_msi_prefix reg query "$1" >/dev/null
  fi
}
# A folder of Windows' in the prefix, as its Windows and its Linux path.
windows_folder() {  # $1 its variable (LOCALAPPDATA, APPDATA)
  local folder
  folder=$(in_msi_prefix cmd /c echo "%$1%")
  echo "$folder"
  in_msi_prefix winepath -u "$folder" | sed 's|/$||'
}

# What the installer leaves on install, then on removal: "present" or "gone".
check_installed_parts() {  # $1 present or gone, $2 the product code
  local state=$1 before=$failures path
  local -A keys=([OpenWithProgids]='HKCU\Software\Classes\.rom\OpenWithProgids|Vardane.rom'
    [ProgID]='HKCU\Software\Classes\Vardane.rom|' [own]='HKCU\Software\Vardane|'
    [uninstall]="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$2|")
  for path in "$installed" "$start_menu_entry"; do
    if [ "$state" = present ] && [ ! -e "$path" ]; then
      fail "after install, $path is missing"
    elif [ "$state" = gone ] && [ -e "$path" ]; then
      fail "after removal, $path is still there"
    fi
  done
  for path in "${!keys[@]}"; do
    if registry_has "${keys[$path]%|*}" "${keys[$path]#*|}"; then
      [ "$state" = present ] || fail "after removal, the registry still holds ${keys[$path]} ($path)"
    else
      [ "$state" = gone ] || fail "after install, the registry lacks ${keys[$path]} ($path)"
    fi
  done
  path=";$(registry_value 'HKCU\Environment' PATH || true);"
  if [[ $path == *";$installed_windows;"* ]]; then
    [ "$state" = present ] || fail "after removal, the user's PATH still holds $installed_windows: $path"
  else
    [ "$state" = gone ] || fail "after install, the user's PATH lacks $installed_windows: $path"
  fi
  [ "$failures" -ne "$before" ] ||
    passed "$state: the program folder, the Start-menu entry, the .rom association, the PATH entry, the uninstall entry"
}

# The installed programs, their folder and what the list of programs shows.
check_installed() {  # $1 the unpacked window zip, $2 the version, $3 the product code
  local root=$1 version=$2 key listed command icon wanted publisher
  if diff -r "$root" "$installed" >"$work/installed.diff"; then
    passed "the installer put the window zip's files, byte for byte, into $installed_windows"
  else
    fail "the installed files are not the window zip's: $(head -n 20 "$work/installed.diff")"
  fi
  if LC_ALL=C grep -qaP "vardane\\.exe|$(utf16_pattern vardane.exe)" "$start_menu_entry"; then
    passed "the Start menu holds Vardane.lnk, to vardane.exe"
  else
    fail "the Start-menu entry does not lead to vardane.exe: $start_menu_entry"
  fi
  publisher=$(sed -E '1{s/^\xEF\xBB\xBF//;s/\r$//;s/^Copyright \(c\) [0-9, -]+ //;q}' "$root/LICENCE.txt")
  wanted="Vardane $version $publisher"
  key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$3"
  listed="$(registry_value "$key" DisplayName) $(registry_value "$key" DisplayVersion) $(registry_value "$key" Publisher)"
  icon=$(in_msi_prefix reg query 'HKCU\Software\Microsoft\Installer\Products' /s |
    sed -n 's/^    ProductIcon    REG_SZ    //p' | head -n 1)
  if [ "$listed" = "$wanted" ] && [ -n "$icon" ] && [ -s "$(in_msi_prefix winepath -u "$icon")" ]; then
    passed "installed programs list: $listed, with its icon $icon"
  else
    fail "installed programs list: '$listed' (wanted '$wanted'), icon '$icon'"
  fi

  if [ "$(in_msi_prefix "${installed_windows}vardane-cli.exe" --version)" = "vardane-cli $version" ]; then
    passed "vardane-cli.exe --version runs from the installed folder"
  else
    fail "vardane-cli.exe --version does not answer from $installed_windows"
  fi
  # Explorer's "Ouvrir avec > Vardane" runs the ProgID's command, %1 the file.
  command=$(registry_value 'HKCU\Software\Classes\Vardane.rom\shell\open\command' '' || true)
  if [ "$command" != "\"${installed_windows}vardane.exe\" \"%1\"" ]; then
    fail "the ProgID's command is '$command'"
    return
  fi
  "$write_test_image" "$work/$outside_ansi"
  start_display || return 0
  # A new wine session, whose own processes (its desktop) all see the display.
  WINEPREFIX=$msi_prefix /usr/lib/wine/wineserver --kill 2>/dev/null || true
  WINEPREFIX=$msi_prefix /usr/lib/wine/wineserver --wait 2>/dev/null || true
  DISPLAY=$display cmake/wine-run "$msi_prefix" "${installed_windows}vardane.exe" \
    "Z:${work//\//\\}\\$outside_ansi" </dev/null >"$work/association.log" 2>&1 &
  program_pid=$!
  # The first window of a new prefix waits for wine to make its desktop and
  # fonts ready, a minute and more on a busy machine.
  window=$(DISPLAY=$display timeout 180 xdotool search --sync --onlyvisible --name '^Vardane' 2>/dev/null |
    head -n1) || true
  if [ -n "$window" ]; then
    passed "the ProgID's command shows a window: $(DISPLAY=$display xdotool getwindowname "$window")"
    check_no_refusal "the ProgID's command"
  else
    fail "the ProgID's command showed no window titled Vardane within 3 minutes: $(cat "$work/association.log")"
  fi
  WINEPREFIX=$msi_prefix /usr/lib/wine/wineserver --kill 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=
  stop_display
}

check_msi() {  # $1 msi, $2 the unpacked window zip, $3 the version
  local msi=$1 product word_count status=0
  echo "== the Windows installer"
  # Per user: no ALLUSERS, and the summary's word count says it needs no
  # elevated rights (bit 8), so Windows asks for no administrator.
  product=$(msiinfo export "$msi" Property | sed -n 's/^ProductCode\t//p' | tr -d '\r')
  word_count=$(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')
  if ! msiinfo export "$msi" Property | grep -q '^ALLUSERS' && (( word_count & 8 )); then
    passed "$(basename "$msi") installs for the user alone, without elevated rights"
  else
    fail "$(basename "$msi") asks for a machine install or elevated rights (word count $word_count)"
  fi
  msi_prefix=$work/msi-prefix
  wine_prefixes+=("$msi_prefix")
  mkdir -p "$msi_prefix"
  cmake/wine-run "$msi_prefix" wineboot </dev/null >/dev/null 2>&1
  oem_code_page=$(in_msi_prefix reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v OEMCP |
    sed -n 's/^    OEMCP    REG_SZ    //p')
  { read -r installed_windows; read -r installed; } < <(windows_folder LOCALAPPDATA)
  installed_windows+="\\Programs\\Vardane\\"
  installed+=/Programs/Vardane
  start_menu_entry="$(windows_folder APPDATA | tail -n 1)/Microsoft/Windows/Start Menu/Programs/Vardane.lnk"

  timeout 300 cmake/wine-run "$msi_prefix" msiexec /i "$msi" /qn </dev/null >"$work/msiexec.log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    fail "msiexec /i $(basename "$msi") /qn exited with $status: $(cat "$work/msiexec.log")"
    return
  fi
  passed "msiexec /i $(basename "$msi") /qn installs without a question"
  check_installed_parts present "$product"
  check_installed "$2" "$3" "$product"

  timeout 300 cmake/wine-run "$msi_prefix" msiexec /x "$msi" /qn </dev/null >"$work/msiexec.log" 2>&1 || status=$?
  if [ "$status" -eq 0 ]; then
    passed "msiexec /x $(basename "$msi") /qn removes it"
    check_installed_parts gone "$product"
  else
    fail "msiexec /x $(basename "$msi") /qn exited with $status: $(cat "$work/msiexec.log")"
  fi
  WINEPREFIX=$msi_prefix /usr/lib/wine/wineserver --kill 2>/dev/null || true
}
