#!/usr/bin/env bash
# The tool's manual page against its --help texts: groff renders it without a warning, and for
# every help text (zknet, and each family's) each option, action (or demonstration part) and
# environment variable it names is in the page: a family's in the page's section for that family
# ("zknet ftp"), an action at the start of a line there, every family with a section of its own.
# Usage: check-man.sh MAN_PAGE TOOL...   (TOOL: the command that runs the built zknet)
set -uo pipefail
page=$1
shift
tool=("$@")
if ! command -v groff >/dev/null; then
  echo "skipped: no groff to render the manual page (tools/install-deps.sh installs groff-base)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
problems=0
missing() { echo "missing from $(basename "$page"): $*"; problems=$((problems + 1)); }

warnings=$(groff -man -Tascii -ww -z "$page" 2>&1)
[ -z "$warnings" ] || missing "a clean rendering; groff says: $warnings"
# Plain text: no bold or underlining, no hyphenation at the line ends.
groff -man -Tascii -P-cbu "$page" > "$work/page.txt" 2>/dev/null
# The page's section for a family: from its heading to the next heading.
section() { awk -v h="   zknet $1" '$0 == h {on = 1; next} on && (/^[^ ]/ || /^   [^ ]/) {on = 0} on' "$work/page.txt"; }
awk '/^ENVIRONMENT$/ {on = 1; next} /^[^ ]/ {on = 0} on' "$work/page.txt" > "$work/environment.txt"

for family in "" ftp telnet nic mail demo; do
  help=$work/help-${family:-zknet}.txt
  "${tool[@]}" $family --help > "$help" || { missing "zknet${family:+ $family} --help, which fails"; continue; }
  if [ -z "$family" ]; then
    cp "$work/page.txt" "$work/section.txt"
  else
    section "$family" > "$work/section.txt"
    [ -s "$work/section.txt" ] || { missing "a section \"zknet $family\""; continue; }
  fi
  # Options: -x or --name after a blank, bracket, bar, comma or parenthesis.
  for option in $(grep -oE -- '(^|[][ ,(|])--?[a-z0-9][a-z0-9-]*' "$help" | sed 's/^[][ ,(|]//' | sort -u); do
    grep -qE -- "(^|[^a-z0-9-])$option([^a-z0-9-]|$)" "$work/section.txt" || missing "zknet${family:+ $family} $option"
  done
  # Actions, parts and families: a word at the start of a line of two blanks, then two more.
  for entry in $(grep -oE '^  [a-z][a-z0-9]*  ' "$help" | tr -d ' ' | sort -u); do
    if [ -z "$family" ]; then
      grep -qx "   zknet $entry" "$work/page.txt" || missing "a section \"zknet $entry\""
    else
      grep -qE "^ +$entry( |$)" "$work/section.txt" || missing "zknet $family $entry"
    fi
  done
  for variable in $(grep -oE 'ZKNET_[A-Z0-9_]+' "$help" | sort -u); do
    grep -qw "$variable" "$work/environment.txt" || missing "$variable under ENVIRONMENT"
  done
done

if [ $problems -gt 0 ]; then
  echo "$problems things missing from the manual page"
  exit 1
fi
echo "the manual page renders cleanly and names every option, action and variable of the help texts"
