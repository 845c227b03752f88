# Builds Korvel and prepares the demo folder: the executable, a settings file for the
# embedded database, the enciphered value lists and the demo database. The database is
# made only once, so what a user changed in it survives the next run.
# Sourced by scripts/demo and scripts/screenshots; sets demo_dir.

build_dir="$root/build/demo"
demo_dir="$root/demo"

prepare_demo_folder() {
    "$root/scripts/build" "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_BUILD_TESTS=OFF
    local korvelctl="$build_dir/app/korvelctl/korvelctl"
    mkdir -p "$demo_dir"
    # A copy, not a link: the program finds its configuration beside its real file.
    cp -f "$build_dir/app/korvel/korvel" "$demo_dir/korvel"
    cat >"$demo_dir/frmConnect" <<'XML'
<?xml version="1.0" standalone="yes"?>
<NewDataSet>
  <frmConnect>
    <ParaName>txtHostName</ParaName>
    <ParaValue>korvel-demo.db</ParaValue>
  </frmConnect>
  <frmConnect>
    <ParaName>txtProvider</ParaName>
    <ParaValue>sqlite</ParaValue>
  </frmConnect>
</NewDataSet>
XML
    "$korvelctl" demo-values "$demo_dir/value-lists.txt"
    "$korvelctl" values --build "$demo_dir/value-lists.txt" "$demo_dir/SQL配置.ini"
    if [ ! -e "$demo_dir/korvel-demo.db" ]; then
        "$korvelctl" create-db "$demo_dir/korvel-demo.db" --demo
    fi
}
