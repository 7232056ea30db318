#pragma once

#include <QByteArray>

// A workbook for the office to convert into .xlsx and .ods: a first sheet
// with a merged cell, a hyperlink and a formula over another sheet; a
// record list in a styled table whose empty styled rows below the marker
// row ODF compresses into one repeated row, with formulas over the filled
// columns and a defined name; and a column layout on sheet 3.
inline QByteArray nativeFixtureFods()
{
    return R"FODS(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
 <style:style style:name="head" style:family="table-cell"><style:text-properties fo:font-weight="bold"/></style:style>
 <style:style style:name="band" style:family="table-cell"><style:table-cell-properties fo:background-color="#dde8f5" fo:border="0.5pt solid #000000"/></style:style>
 <style:style style:name="mark" style:family="table-cell"><style:table-cell-properties fo:background-color="#ffff00" fo:border="0.5pt solid #000000"/></style:style>
</office:automatic-styles>
<office:body><office:spreadsheet>
<table:table table:name="Notes">
 <table:table-row>
  <table:table-cell table:number-columns-spanned="2" table:number-rows-spanned="1" office:value-type="string"><text:p>Merged title</text:p></table:table-cell>
  <table:covered-table-cell/>
 </table:table-row>
 <table:table-row>
  <table:table-cell office:value-type="string"><text:p><text:a xlink:href="https://example.org/">Link</text:a></text:p></table:table-cell>
  <table:table-cell table:formula="of:=COUNTA([Records.A2:.A200])" office:value-type="float" office:value="0"><text:p>0</text:p></table:table-cell>
 </table:table-row>
</table:table>
<table:table table:name="Records">
 <table:table-row>
  <table:table-cell table:style-name="head" office:value-type="string"><text:p>Name</text:p></table:table-cell>
  <table:table-cell table:style-name="head" office:value-type="string"><text:p>City</text:p></table:table-cell>
  <table:table-cell table:style-name="head" office:value-type="string"><text:p>Amount</text:p></table:table-cell>
  <table:table-cell/>
  <table:table-cell table:formula="of:=COUNTA([.A2:.A200])" office:value-type="float" office:value="0"><text:p>0</text:p></table:table-cell>
  <table:table-cell table:formula="of:=SUM([.C2:.C200])" office:value-type="float" office:value="0"><text:p>0</text:p></table:table-cell>
 </table:table-row>
 <table:table-row table:number-rows-repeated="4">
  <table:table-cell table:style-name="band" office:value-type="string"><text:p>Bob</text:p></table:table-cell>
  <table:table-cell table:style-name="band" office:value-type="string"><text:p>Paris</text:p></table:table-cell>
  <table:table-cell table:style-name="band" office:value-type="float" office:value="5"><text:p>5</text:p></table:table-cell>
 </table:table-row>
 <table:table-row>
  <table:table-cell table:style-name="mark" office:value-type="string"><text:p>&amp;Name&amp;</text:p></table:table-cell>
  <table:table-cell table:style-name="mark" office:value-type="string"><text:p>&amp;City&amp;</text:p></table:table-cell>
  <table:table-cell table:style-name="mark" office:value-type="string"><text:p>&amp;Amount&amp;</text:p></table:table-cell>
  <table:table-cell table:style-name="mark"/>
  <table:table-cell table:style-name="mark" office:value-type="string"><text:p>&amp;Phone&amp;</text:p></table:table-cell>
 </table:table-row>
 <table:table-row table:number-rows-repeated="10">
  <table:table-cell table:style-name="band" table:number-columns-repeated="3"/>
 </table:table-row>
</table:table>
<table:table table:name="Columns">
 <table:table-row>
  <table:table-cell table:style-name="head" office:value-type="string"><text:p>Name</text:p></table:table-cell>
  <table:table-cell table:style-name="mark" office:value-type="string"><text:p>&amp;Name&amp;</text:p></table:table-cell>
 </table:table-row>
 <table:table-row>
  <table:table-cell table:style-name="head" office:value-type="string"><text:p>City</text:p></table:table-cell>
  <table:table-cell table:style-name="mark" office:value-type="string"><text:p>&amp;City&amp;</text:p></table:table-cell>
 </table:table-row>
 <table:table-row>
  <table:table-cell table:style-name="head" office:value-type="string"><text:p>Amount</text:p></table:table-cell>
  <table:table-cell table:style-name="mark" office:value-type="string"><text:p>&amp;Amount&amp;</text:p></table:table-cell>
 </table:table-row>
</table:table>
<table:named-expressions>
 <table:named-range table:name="Records" table:base-cell-address="$Records.$A$1" table:cell-range-address="$Records.$A$1:.$C$6"/>
</table:named-expressions>
</office:spreadsheet></office:body></office:document>
)FODS";
}

// A record list below formulas that hold stored results: "Total" in A1,
// =1+1, =2+2, =3+3 in A2:A4, the markers in A5:B5.
inline QByteArray formulasFixtureFods()
{
    QByteArray rows;
    for (int i = 1; i <= 3; ++i)
        rows += "<table:table-row><table:table-cell table:formula=\"of:=" + QByteArray::number(i) + "+" +
                QByteArray::number(i) + "\" office:value-type=\"float\" office:value=\"" + QByteArray::number(2 * i) +
                "\"><text:p>" + QByteArray::number(2 * i) + "</text:p></table:table-cell></table:table-row>\n";
    return R"FODS(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Totals">
<table:table-row><table:table-cell office:value-type="string"><text:p>Total</text:p></table:table-cell></table:table-row>
)FODS" + rows + R"FODS(<table:table-row>
 <table:table-cell office:value-type="string"><text:p>&amp;Name&amp;</text:p></table:table-cell>
 <table:table-cell office:value-type="string"><text:p>&amp;City&amp;</text:p></table:table-cell>
</table:table-row>
</table:table></office:spreadsheet></office:body></office:document>
)FODS";
}
