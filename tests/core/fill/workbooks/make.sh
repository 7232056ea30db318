#!/usr/bin/env bash
# Makes the workbooks the office tests fill, with LibreOffice itself, as a
# user's workbooks are made. Run from anywhere; writes beside this script.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

printf 'Name,City\n&Name&,&City&\n' > row.csv
printf 'Name,&Name&\nCity,&City&\n' > column.csv
printf '&Name&,,&City&,,,&Name&\n' > gaps.csv
printf 'Name,Phone,Sum,City\n&Name&,&Phone&,Total: &City&,&City&\n' > phone.csv
{ for r in $(seq 1 36); do echo "data $r"; done; printf '\n\n\n&Name&,&City&\n'; } > late.csv
{ for i in $(seq 1 119); do printf '&Name&,'; done; printf '&Name&\n'; } > many.csv
# A record whose third cell links to a file relative to the workbook.
cat > links.html <<'HTML'
<html><body><table>
<tr><td>Name</td><td>City</td><td>File</td></tr>
<tr><td>Ann</td><td>Rome</td><td><a href="notes/ann.txt">notes</a></td></tr>
<tr><td>&amp;Name&amp;</td><td>&amp;City&amp;</td></tr>
</table></body></html>
HTML

office=(soffice "-env:UserInstallation=file://$work/profile" --headless)
for format in "xls:MS Excel 97" "xlsx:Calc MS Excel 2007 XML" ods; do
  "${office[@]}" --infilter=CSV:44,34,76,1 --convert-to "$format" --outdir "$work/out" ./*.csv >/dev/null 2>&1
done
# Beside the page, so that the link stays notes/ann.txt beside the workbook.
for format in "xlsx:Calc MS Excel 2007 XML" ods; do
  "${office[@]}" "--infilter=HTML (StarCalc)" --convert-to "$format" --outdir "$work" links.html >/dev/null 2>&1
done
cp "$work"/out/* "$work"/links.xlsx "$work"/links.ods "$here/"
