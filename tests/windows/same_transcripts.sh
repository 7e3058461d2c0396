#!/usr/bin/env bash
# Compares the transcripts run_scenarios.sh kept of two panelhost builds,
# such as the Linux one with the .so and a Windows one with the DLL: each
# must be the same byte for byte once line endings (CR LF), the first two
# lines (the plug-in's and the scenario's paths; the plug-in file's path,
# version and SHA-256) and the plug-in's folder are set aside.
#
# Usage: same_transcripts.sh OUT PLUGIN OTHER_OUT OTHER_PLUGIN
#   OUT, OTHER_OUT: the folders run_scenarios.sh wrote; PLUGIN,
#   OTHER_PLUGIN: the plug-in paths each run was given.
set -u
out=$1 plugin=$2 other=$3 other_plugin=$4

# The transcript in file $1, of a run given plug-in $2, with its paths
# aside: the first two lines, and the plug-in's folder where it stands quoted or
# before "/" in a quoted path.
paths_aside() {
  tr -d '\r' <"$1" | sed -e '1s/^panelhost: .* with scenario .*/panelhost: PLUGIN with scenario SCENARIO/' \
    -e '2s/^panelhost: plug-in .*, SHA-256 [0-9a-f]*$/panelhost: plug-in FILE/' |
    awk -v folder="$(dirname "$2")" -v quotes="\"'" '
      function swap(text, from, to,    at, done) {
        done = ""
        while ((at = index(text, from)) > 0) {
          done = done substr(text, 1, at - 1) to
          text = substr(text, at + length(from))
        }
        return done text
      }
      {
        for (n = 1; n <= 2; n++) {
          q = substr(quotes, n, 1)
          $0 = swap(swap($0, q folder q, q "FOLDER" q), q folder "/", q "FOLDER/")
        }
        print
      }'
}

failures=0
count=0
for transcript in "$out"/*.txt; do
  name="$(basename "$transcript" .txt)"
  count=$((count + 1))
  if [ ! -f "$other/$name.txt" ]; then
    echo "FAIL: $name: no transcript in $other"
    failures=$((failures + 1))
  elif cmp -s <(paths_aside "$transcript" "$plugin") <(paths_aside "$other/$name.txt" "$other_plugin"); then
    echo "$name: the same transcript ($(wc -l <"$transcript") lines)"
  else
    echo "FAIL: $name: the transcripts differ ($out -, $other +):"
    diff <(paths_aside "$transcript" "$plugin") <(paths_aside "$other/$name.txt" "$other_plugin") | sed 's/^/    /'
    failures=$((failures + 1))
  fi
done
[ $count -gt 0 ] || { echo "FAIL: no transcripts in $out"; exit 1; }
[ $failures -eq 0 ]
