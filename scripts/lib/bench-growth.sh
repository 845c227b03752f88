# How the figures grow with the data: whole processes on demo databases of three sizes
# (korvelctl create-db --demo --scale N), each timed with its peak memory. Sourced by
# scripts/bench, which has built build/bench; sets nothing.

# Scales whose wire tables hold about 10,000, 100,000 and 1,000,000 rows.
growth_scales=(1 13 134)

# Runs a command with its output thrown away; prints "SECONDS PEAK_KIB".
measure() {
    local figures
    figures=$(mktemp)
    /usr/bin/time -f '%e %M' -o "$figures" "$@" >/dev/null 2>&1 || {
        echo "bench: failed: $*" >&2
        rm -f "$figures"
        return 1
    }
    cat "$figures"
    rm -f "$figures"
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

# The first scale's figures, which the others are set against.
declare -A first_rows first_seconds first_peak

# One line: the figure at a scale, its rows, time and peak memory, and against the first
# scale how much more the rows, the time and the memory are.
growth_line() { # FIGURE SCALE ROWS COMMAND...
    local figure=$1 scale=$2 rows=$3
    shift 3
    local result seconds peak
    result=$(measure "$@")
    seconds=${result% *} peak=${result#* }
    if [ -z "${first_rows[$figure]:-}" ]; then
        first_rows[$figure]=$rows first_seconds[$figure]=$seconds first_peak[$figure]=$peak
    fi
    awk -v f="$figure" -v s="$scale" -v r="$rows" -v t="$seconds" -v p="$peak" -v r0="${first_rows[$figure]}" \
        -v t0="${first_seconds[$figure]}" -v p0="${first_peak[$figure]}" -v first="${growth_scales[0]}" 'BEGIN {
            rx = r / r0; tx = (t0 > 0 ? t / t0 : 0); px = p / p0
            verdict = (s == first ? "" : (tx <= rx * 1.1 && px <= rx * 1.1 ? "ok" : "FASTER THAN THE ROWS"))
            printf "%-24s %6d %9d %8.2f %8.2f %9.1f %7.1f %7.1f %7.1f %s\n",
                f, s, r, t, t * 1e6 / r, p / 1024, rx, tx, px, verdict
        }'
}

print_growth() {
    local korvelctl="$root/build/bench/app/korvelctl/korvelctl"
    local window="$root/build/bench/bench/korvel_main_window_bench"
    local select='select * from tblHarnessWireInfo'
    local work
    work=$(mktemp -d)
    echo
    echo "== growth: whole processes on demo databases (korvelctl create-db --demo --scale N)"
    printf '%-24s %6s %9s %8s %8s %9s %7s %7s %7s\n' figure scale rows seconds 'us/row' 'peak MiB' \
        'rows x' 'time x' 'peak x'
    for scale in "${growth_scales[@]}"; do
        local folder="$work/scale-$scale"
        mkdir -p "$folder/bundles"
        "$korvelctl" create-db --demo --scale "$scale" "$folder/korvel.db"
        write_settings "$folder/frmConnect" "$folder/korvel.db"
        "$korvelctl" demo-values "$folder/value-lists.txt"
        "$korvelctl" values --build "$folder/value-lists.txt" "$folder/SQL配置.ini"
        "$korvelctl" create-db "$folder/empty.db"
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
        growth_line "import, one by one" "$scale" "$labels" \
            "$korvelctl" import "$folder/empty.frmConnect" "$folder"/bundles/*.bq
    done
    rm -rf "$work"
}
