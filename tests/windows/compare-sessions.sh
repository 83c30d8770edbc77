#!/usr/bin/env bash
# Runs recorded sessions in two builds of velhost and compares what they write, byte for byte:
# the drawings (JSON, DXF, SVG, also those saved midway), the trace, standard output and the exit
# status. Registry files are compared line by line regardless of order: values a session adds
# come in the order the system's registry lists them. The lock file that the Linux settings store
# keeps beside a registry file is no output, and pictures of dialogs (PNG) differ by design: each
# system draws its own controls with its own fonts.
#   compare-sessions.sh REFERENCE_VELHOST OTHER_VELHOST SESSIONS WORK
# Each folder of SESSIONS holds a session's inputs and its arguments after `velhost run`, one a
# line, in `args`; the dialog robot of each build answers the dialogs of those with dialog lines.
# OTHER_VELHOST may be a command of several words ("wine64 velhost.exe"). File arguments are given
# as absolute paths under WORK, so a WORK whose name is beyond ASCII tries file names across the
# system boundary.
set -uo pipefail
read -r -a reference <<<"$1"
read -r -a other <<<"$2"
sessions=$3
work=$4
mkdir -p "$work"
work=$(cd "$work" && pwd)

# Runs one side of a session in $work/run and keeps what it wrote in $work/SIDE.
run_side() {
  local side=$1 input=$2
  shift 2
  rm -rf "$work/run" "$work/$side"
  cp -r "$input" "$work/run"
  local args=() option="" line
  while IFS= read -r line || [ -n "$line" ]; do
    case $option in
      --drawing | --script | --registry | --trace | --out) line="$work/run/$line" ;;
    esac
    args+=("$line")
    option=$line
  done <"$input/args"
  local status=0 try
  for try in 1 2; do
    status=0
    (cd "$work/run" && "$@" run "${args[@]}" >"$work/run/stdout" 2>"$work/run/stderr" </dev/null) ||
      status=$?
    # velhost says why whenever it fails. A failure without a word, before the program wrote
    # anything, is the runner's (Wine, rarely, fails to start a program): that run goes again once.
    if [ "$status" -eq 0 ] || [ -s "$work/run/stdout" ] || [ -s "$work/run/stderr" ] ||
      ! diff -rq "$input" "$work/run" -x stdout -x stderr >/dev/null 2>&1; then
      break
    fi
    echo "compare-sessions: $name ($side) exited $status without a word; running it again" >&2
  done
  echo "$status" >"$work/run/status"
  mv "$work/run" "$work/$side"
}

# Not compared: standard error, the Linux settings store's lock file, pictures.
ignored() {
  [[ $1 == stderr || $1 == *.reg.lock || $1 == *.png ]]
}

compared=0 differ=0 dialogs=0
for input in "$sessions"/*/; do
  input=${input%/}
  name=$(basename "$input")
  if grep -Eq '^[[:space:]]*dialog([[:space:]]|$)' "$input/session.vel"; then
    dialogs=$((dialogs + 1))
  fi
  run_side reference "$input" "${reference[@]}"
  run_side other "$input" "${other[@]}"
  problems=()
  while IFS= read -r file; do
    ignored "$file" && continue
    if [ ! -f "$work/other/$file" ]; then
      problems+=("$file: only in the reference run")
    elif [[ $file == *.reg ]]; then
      cmp -s <(tr -d '\0' <"$work/reference/$file" | sort) <(tr -d '\0' <"$work/other/$file" | sort) ||
        problems+=("$file: other values")
    elif ! cmp -s "$work/reference/$file" "$work/other/$file"; then
      problems+=("$file: $(cmp "$work/reference/$file" "$work/other/$file" 2>&1 | head -n 1)")
    fi
  done < <(cd "$work/reference" && find . -type f | sed 's|^\./||' | sort)
  while IFS= read -r file; do
    ignored "$file" || [ -f "$work/reference/$file" ] || problems+=("$file: only in the other run")
  done < <(cd "$work/other" && find . -type f | sed 's|^\./||' | sort)
  compared=$((compared + 1))
  if [ ${#problems[@]} -gt 0 ]; then
    differ=$((differ + 1))
    echo "DIFFERS: $name"
    printf '  %s\n' "${problems[@]}"
    echo "  exit status: $(cat "$work/reference/status") and $(cat "$work/other/status")"
    echo "  reference stderr: $(head -c 300 "$work/reference/stderr")"
    echo "  other stderr: $(head -c 300 "$work/other/stderr")"
    cp -r "$work/reference" "$work/$name.reference"
    cp -r "$work/other" "$work/$name.other"
  fi
done
rm -rf "$work/run" "$work/reference" "$work/other"
echo "compare-sessions: $compared sessions compared ($dialogs with dialog lines), $differ differ"
[ "$compared" -gt 0 ] && [ "$differ" -eq 0 ]
