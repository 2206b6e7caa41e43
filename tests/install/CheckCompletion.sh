#!/usr/bin/env bash
# bash CheckCompletion.sh COMPLETION_SCRIPT KORVANE_CLI WORK_DIR
# Runs the bash completion of korvane-cli as bash does on Tab and checks the candidates it offers.
set -uo pipefail
script=$1 cli=$2 work=$3
failures=0

rm -rf "$work"
mkdir -p "$work/home/config/Brisolt" "$work/bin" "$work/files"
ln -s "$cli" "$work/bin/korvane-cli"
export PATH=$work/bin:$PATH HOME=$work/home XDG_CONFIG_HOME=$work/home/config
korvane-cli --data "$work/picked/Korvane" demo --projects 2 >/dev/null || exit 1
korvane-cli --data "$work/other" demo --projects 1 --seed 7 >/dev/null || exit 1
touch "$work/files/tasks.ics" "$work/files/team.vcf"
# shellcheck source=/dev/null
source "$script"

identifiers() { korvane-cli --data "$1" list "$2" | sed -e 's/^{"identifier": "\([^"]*\)".*/\1/' | sort; }

# expect "WHAT IS TYPED" CANDIDATES...: the line up to the cursor (the cursor after its last word)
expect() {
    local line=$1
    shift
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _korvane_cli
    local got want
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
    want=$(printf '%s\n' "$@" | sort)
    if [[ $got != "$want" ]]; then
        printf 'korvane-cli completion of "%s":\n  offered: %s\n  expected: %s\n' "$line" "${got//$'\n'/ }" \
            "${want//$'\n'/ }"
        failures=$((failures + 1))
    fi
}

kinds=(project client resource task meeting moneyflow invoice)
expect "korvane-cli ex" export
expect "korvane-cli --data $work/other de" decipher delete demo
expect "korvane-cli --" --data --help --version
expect "korvane-cli list " "${kinds[@]}" agenda actions
expect "korvane-cli tree m" meetings money
expect "korvane-cli add task " --batch --parent

# Identifiers of the kind asked for, from the --data folder on the line or else the remembered one.
expect "korvane-cli --data $work/other show task " $(identifiers "$work/other" task)
expect "korvane-cli show task " # nothing remembered yet
printf '[Directory]\nPath=%s\n' "$work/picked" >"$work/home/config/Brisolt/Korvane.conf"
expect "korvane-cli show task " $(identifiers "$work/picked/Korvane" task)
expect "korvane-cli delete meeting " $(identifiers "$work/picked/Korvane" meeting)
expect "korvane-cli graph " $(identifiers "$work/picked/Korvane" project)
expect "korvane-cli report print --modules task " $(identifiers "$work/picked/Korvane" project)
expect "korvane-cli import tasks $work/files/tasks.ics --project " $(identifiers "$work/picked/Korvane" project)
project=$(identifiers "$work/picked/Korvane" project | head -1)
expect "korvane-cli show task $project " # one ID, nothing after it

# File names where a file is named, folders for --data.
expect "korvane-cli import contacts $work/files/t" "$work/files/tasks.ics" "$work/files/team.vcf"
expect "korvane-cli export docx $project $work/fi" "$work/files"
expect "korvane-cli --data $work/pi" "$work/picked"

((failures == 0)) || exit 1
echo "all completions as expected"
