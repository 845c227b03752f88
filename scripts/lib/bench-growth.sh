# How the figures grow with the data: whole processes on demo databases of three sizes
# (korvelctl create-db --demo --scale N), each timed with its peak memory. Sourced by
# scripts/bench, which has built build/bench.

# Scales whose wire tables hold about 10,000, 100,000 and 1,000,000 rows.
growth_scales=(1 13 134)

# Runs a command three times, its output thrown away; prints "SECONDS PEAK_KIB": the median
# of the wall times (taken to the microsecond) and the largest peak.
measure() {
    local figures times=() peaks=()
    figures=$(mktemp)
    for _ in 1 2 3; do
        local start=$EPOCHREALTIME
        /usr/bin/time -f '%M' -o "$figures" "$@" >/dev/null 2>&1 || {
            echo "bench: failed: $*" >&2
            rm -f "$figures"
            return 1
        }
        times+=("$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print b - a }')")
        peaks+=("$(cat "$figures")")
    done
    rm -f "$figures"
    printf '%s %s\n' "$(printf '%s\n' "${times[@]}" | sort -g | sed -n 2p)" \
        "$(printf '%s\n' "${peaks[@]}" | sort -g | tail -1)"
}

write_settings() { # FILE DATABASE
    cat >"$1" <<XML
<?xml version="1.0" standalone="yes"?>
<NewDataSet>
  <frmConnect><ParaName>txtHostName</ParaName><ParaValue>$2</ParaValue></frmConnect>
  <frmConnect><ParaName>txtProvider</ParaName><ParaValue>sqlite</ParaValue></frmConnect>
</NewDataSet>
XML
}

count_rows() { # DATABASE SQL
    sqlite3 "$1" "$2"
}

# Each figure's rows, time and peak at the scale before, which the next is set against.
declare -A last_rows last_seconds last_peak

# One line: the figure at a scale, its rows, time and peak memory, and against the scale
# before how much more the rows, the time and the memory are.
growth_line() { # FIGURE SCALE ROWS COMMAND...
    local figure=$1 scale=$2 rows=$3
    shift 3
    local result seconds peak
    result=$(measure "$@")
    seconds=${result% *} peak=${result#* }
    awk -v f="$figure" -v s="$scale" -v r="$rows" -v t="$seconds" -v p="$peak" -v r0="${last_rows[$figure]:-}" \
        -v t0="${last_seconds[$figure]:-}" -v p0="${last_peak[$figure]:-}" 'BEGIN {
            line = sprintf("%-24s %6d %9d %8.3f %8.2f %9.1f", f, s, r, t, t * 1e6 / r, p / 1024)
            if (r0 == "") { print line; exit }
            rx = r / r0; tx = t / t0; px = p / p0
            verdict = (tx <= rx * 1.1 && px <= rx * 1.1 ? "ok" : "FASTER THAN THE ROWS")
            printf "%s %7.1f %7.1f %7.1f %s\n", line, rx, tx, px, verdict
        }'
    last_rows[$figure]=$rows last_seconds[$figure]=$seconds last_peak[$figure]=$peak
}

print_growth() {
    local korvelctl="$root/build/bench/app/korvelctl/korvelctl"
    local window="$root/build/bench/bench/korvel_main_window_bench"
    local select='select * from tblHarnessWireInfo'
    local work
    work=$(mktemp -d)
    echo
    echo "== growth: whole processes on demo databases (korvelctl create-db --demo --scale N)"
    echo "(the median of three runs; rows, time and peak set against the scale before)"
    printf '%-24s %6s %9s %8s %8s %9s %7s %7s %7s\n' figure scale rows seconds 'us/row' 'peak MiB' \
        'rows x' 'time x' 'peak x'
    for scale in "${growth_scales[@]}"; do
        local folder="$work/scale-$scale"
        mkdir -p "$folder/bundles"
        "$korvelctl" create-db --demo --scale "$scale" "$folder/korvel.db"
        write_settings "$folder/frmConnect" "$folder/korvel.db"
        "$korvelctl" demo-values "$folder/value-lists.txt"
        "$korvelctl" values --build "$folder/value-lists.txt" "$folder/SQL配置.ini"
        "$korvelctl" create-db "$folder/empty-template.db"
        write_settings "$folder/empty.frmConnect" "$folder/empty.db"

        local wires lists labels
        wires=$(count_rows "$folder/korvel.db" "select count(*) from tblHarnessWireInfo")
        lists=$(count_rows "$folder/korvel.db" "select (select count(*) from tblHarnessInfo) +
            (select count(*) from tblJobInfo) + (select count(*) from tblLabelInfo where LabelStatus=1)")
        labels=$(count_rows "$folder/korvel.db" "select (select count(*) from tblLabelInfo) +
            (select count(*) from tblLabelControls) + (select count(*) from tblLabelControlItem)")

        growth_line "korvelctl query" "$scale" "$wires" "$korvelctl" query "$folder/frmConnect" "$select"
        growth_line "sqlite3 (reference)" "$scale" "$wires" sqlite3 "$folder/korvel.db" "$select"
        growth_line "main window ready" "$scale" "$lists" "$window" --open-window-in "$folder"
        growth_line "export --all" "$scale" "$labels" "$korvelctl" export "$folder/frmConnect" --all "$folder/bundles"
        # Each run into an empty database of its own.
        growth_line "import, one by one" "$scale" "$labels" sh -c \
            'cp "$1/empty-template.db" "$1/empty.db" && exec "$2" import "$1/empty.frmConnect" "$1"/bundles/*.bq' \
            sh "$folder" "$korvelctl"
    done
    rm -rf "$work"
}
