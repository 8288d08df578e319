#!/bin/sh
# The sample intersection cut and exported by conflictor-headless, checked with openpyxl; then the
# phase export into the saved workbook, read back again.
set -e
tool="$1"; src="$2"; out="$3"
rm -rf "$out"; mkdir -p "$out"
cp "$src/resources/Tesmar/Zasoby/Przyklad.dxf" "$out/sample.dxf"
"$tool" "$out/sample.dxf" --intersection 1 --cut --resources "$src/resources/Tesmar/Zasoby" \
    --export "$out/sample.xlsx" > "$out/markers.txt"
test -s "$out/sample.xlsx"
pairs=$(awk '$1=="POJPOJ"{n+=2} $1!="POJPOJ"{n+=1} END{print n+0}' "$out/markers.txt")
/usr/bin/python3 "$src/tests/conflictor/export/check_intergreen_workbook.py" "$out/sample.xlsx" 1 "$pairs"
"$tool" "$out/sample.dxf" --intersection 1 --export-phases "$out/sample.xlsx"
/usr/bin/python3 - "$out/sample.xlsx" <<'PY'
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1], data_only=True).worksheets[1]
assert str(ws["T8"].value) == "1", ws["T8"].value     # group 1's phases, column L + 4
assert ws["V8"].value == "V.1" and ws["W8"].value == "1, 2, 3", (ws["V8"].value, ws["W8"].value)
print("ok: phase export")
PY
