#!/usr/bin/python3
"""Makes the worksheet fixtures of the import tests in this folder.

Run with Debian's Python (python3-xlwt, python3-openpyxl) and iconv on PATH:
    /usr/bin/python3 tests/ui/data/make_sheets.py

damaged.xls is not made here: it is members.xls with four bytes changed, a copy that makes
FreeXL 1.0.6 crash with a segmentation fault while it reads the cells.
"""
import os
import struct
import subprocess
import zipfile

import openpyxl
import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))


def path(name):
    return os.path.join(HERE, name)


# Member rows shared by the three formats: header row, then members.
MEMBERS = [
    ["이름", "관리번호", "성별", "혈액형", "핸드폰", "그룹", "생일", "메모"],
    ["홍길동", "A001", "남", "a", "010-1111-2222", "등산회", "1980-01-02", "첫 줄"],
    ["김'철수", "A002", "여", "AB", "010-3333-4444", "O'Brien 모임", "19850315", ""],
    ["박똠이", "", "", "o", "", "등산회", "", "메모, 쉼표"],
]


def make_xlsx():
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "회원"
    for r in MEMBERS:
        ws.append(r)
    ws2 = wb.create_sheet("둘째")
    ws2["A1"] = 3.0
    ws2["B1"] = 1.5
    wb.save(path("members.xlsx"))


def make_xls():
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("회원")
    for i, r in enumerate(MEMBERS):
        for j, v in enumerate(r):
            ws.write(i, j, v)
    date_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    ws2 = wb.add_sheet("숫자")
    ws2.write(0, 0, 42)
    ws2.write(0, 1, 2.5)
    ws2.write(0, 2, 45000, date_style)  # 2023-03-15
    wb.save(path("members.xls"))


def make_csv():
    text = "\r\n".join(",".join('"' + v.replace('"', '""') + '"' if ("," in v or '"' in v) else v
                                for v in r) for r in MEMBERS) + "\r\n"
    with open(path("members_utf8.csv"), "w", encoding="utf-8-sig", newline="") as f:
        f.write(text)
    with open(path("members_utf8.csv"), "rb") as f:
        raw = f.read()[3:]
    # CP949 through iconv, the code page Korean spreadsheet programs save CSV in.
    cp = subprocess.run(["iconv", "-f", "UTF-8", "-t", "CP949"], input=raw, check=True,
                        capture_output=True).stdout
    with open(path("members_cp949.csv"), "wb") as f:
        f.write(cp)
    # Quotes, doubled quotes, a line break inside a field, ragged rows, no final newline.
    with open(path("quoted.csv"), "wb") as f:
        f.write('a,"b,c","say ""hi"""\n"two\nlines",x\r\n1,2,3,4\n,,\nlast'.encode("utf-8"))


def make_crafted_xlsx():
    """A hand-written workbook: sheet order from the workbook (parts in reverse order),
    1904 dates, rich text and phonetic runs, inline strings, booleans, cached formula
    values, cells placed by their reference."""
    ct = ('<?xml version="1.0" encoding="UTF-8"?>'
          '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
          '<Default Extension="xml" ContentType="application/xml"/></Types>')
    wb = ('<?xml version="1.0" encoding="UTF-8"?>'
          '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
          'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
          '<workbookPr date1904="1"/><sheets>'
          '<sheet name="첫시트" sheetId="1" r:id="rId7"/>'
          '<sheet name="Second" sheetId="2" r:id="rId3"/></sheets></workbook>')
    rels = ('<?xml version="1.0" encoding="UTF-8"?>'
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            '<Relationship Id="rId3" Type="worksheet" Target="worksheets/sheet1.xml"/>'
            '<Relationship Id="rId7" Type="worksheet" Target="/xl/worksheets/sheet2.xml"/>'
            '</Relationships>')
    sst = ('<?xml version="1.0" encoding="UTF-8"?>'
           '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
           '<si><t>plain</t></si>'
           '<si><r><rPr><b/></rPr><t>굵은</t></r><r><t xml:space="preserve"> 글씨</t></r></si>'
           '<si><t>漢字</t><rPh sb="0" eb="2"><t>한자</t></rPh></si></sst>')
    styles = ('<?xml version="1.0" encoding="UTF-8"?>'
              '<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
              '<numFmts count="1"><numFmt numFmtId="164" formatCode="yyyy&quot;년&quot; m&quot;월&quot;"/></numFmts>'
              '<cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs>'
              '<cellXfs count="4"><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/>'
              '<xf numFmtId="20"/></cellXfs></styleSheet>')
    first = ('<?xml version="1.0" encoding="UTF-8"?>'
             '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
             '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="C1" t="s"><v>1</v></c>'
             '<c r="D1" t="s"><v>2</v></c></row>'
             '<row r="3"><c r="B3" t="inlineStr"><is><t>인라인</t></is></c>'
             '<c r="C3" t="b"><v>1</v></c><c r="D3" t="str"><f>A1&amp;"x"</f><v>plainx</v></c>'
             '<c r="E3"><f>1+2</f><v>3</v></c></row>'
             '<row r="4"><c r="A4" s="1"><v>1</v></c><c r="B4" s="2"><v>44000</v></c>'
             '<c r="C4" s="3"><v>0.5</v></c><c r="D4"><v>1.0E3</v></c><c r="E4"><v>-2.25</v></c>'
             '<c r="F4"><v>12345678901</v></c></row>'
             '</sheetData></worksheet>')
    second = ('<?xml version="1.0" encoding="UTF-8"?>'
              '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
              '<row><c><v>7</v></c><c t="b"><v>0</v></c></row></sheetData></worksheet>')
    with zipfile.ZipFile(path("crafted.xlsx"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", ct)
        z.writestr("xl/workbook.xml", wb)
        z.writestr("xl/_rels/workbook.xml.rels", rels)
        z.writestr("xl/sharedStrings.xml", sst)
        z.writestr("xl/styles.xml", styles)
        z.writestr("xl/worksheets/sheet1.xml", second)
        z.writestr("xl/worksheets/sheet2.xml", first)
    # The same workbook without one of its sheet parts.
    with zipfile.ZipFile(path("missing_part.xlsx"), "w") as z:
        z.writestr("xl/workbook.xml", wb)
        z.writestr("xl/_rels/workbook.xml.rels", rels)
        z.writestr("xl/worksheets/sheet1.xml", second)
    # One value at the last cell Excel has: far beyond what the import takes.
    far = ('<?xml version="1.0" encoding="UTF-8"?>'
           '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
           '<row r="1048576"><c r="XFD1048576"><v>1</v></c></row></sheetData></worksheet>')
    with zipfile.ZipFile(path("far_cell.xlsx"), "w") as z:
        z.writestr("xl/workbook.xml", wb.replace('<sheet name="Second" sheetId="2" r:id="rId3"/>', ''))
        z.writestr("xl/_rels/workbook.xml.rels", rels)
        z.writestr("xl/worksheets/sheet2.xml", far)


def patch_xls_record(src, dst, make):
    """Rewrites one BIFF record of the workbook stream in place (same size, so every offset
    in the container stays right). `make(rid, body)` returns the new bytes or None."""
    data = bytearray(open(src, "rb").read())
    # xlwt writes the workbook stream in one piece starting with the BOF record.
    start = data.find(b"\x09\x08\x10\x00\x00\x06\x05\x00")
    assert start >= 0
    pos = start
    while pos < len(data) - 4:
        rid, size = struct.unpack_from("<HH", data, pos)
        new = make(rid, bytes(data[pos + 4:pos + 4 + size]))
        if new is not None:
            assert len(new) == 4 + size
            data[pos:pos + 4 + size] = new
            break
        if rid == 0x000A:  # EOF of the global part
            raise SystemExit("record not found")
        pos += 4 + size
    open(dst, "wb").write(bytes(data))


def filler(size):
    # An unknown record id that readers skip.
    return struct.pack("<HH", 0x1234, size - 4) + b"\0" * (size - 4)


def make_bad_xls():
    # Password-protected: the WRITEACCESS record becomes FILEPASS (XOR obfuscation) + filler.
    def filepass(rid, body):
        if rid != 0x005C:
            return None
        rec = struct.pack("<HHHHH", 0x002F, 6, 0, 0x1234, 0x5678)
        return rec + filler(4 + len(body) - len(rec))
    patch_xls_record(path("members.xls"), path("password.xls"), filepass)

    # No sheets: a one-sheet workbook whose BOUNDSHEET record is blanked out.
    wb = xlwt.Workbook()
    wb.add_sheet("only").write(0, 0, 1)
    wb.save(path("nosheet.xls"))
    patch_xls_record(path("nosheet.xls"), path("nosheet.xls"),
                     lambda rid, body: filler(4 + len(body)) if rid == 0x0085 else None)

    with open(path("html_table.xls"), "w", encoding="utf-8") as f:
        f.write("<html><body><table><tr><td>이름</td></tr></table></body></html>\n")


def make_import_edges():
    # A sheet holding nothing but its heading row.
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "회원"
    ws.append(["회원명", "그룹명"])
    wb.save(path("heading_only.xlsx"))

    # Birthdays as a spreadsheet program keeps them: numbers, texts and date cells. The
    # tests' clock stands at 2026-12-06.
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("생일")
    date_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    rows = [
        ["회원명", "생일", "사용자정의1"],
        ["가", 850315, ""],           # YYMMDD read as 2085: in the future
        ["나", 15, ""],               # a bare day
        ["다", "0315", ""],           # month and day without a year
        ["라", "1985-03-15", "5"],    # a bare day in a date field
        ["마", 19991231, "2027-01-05"],
        ["바", 25693, ""],            # a date cell: 1970-05-05
        ["사", "2026-12-07", ""],     # tomorrow
        ["아", "2026-12-06", ""],     # today
    ]
    for i, r in enumerate(rows):
        for j, v in enumerate(r):
            if i == 6 and j == 1:
                ws.write(i, j, v, date_style)
            else:
                ws.write(i, j, v)
    wb.save(path("birthdays.xls"))


if __name__ == "__main__":
    make_xlsx()
    make_xls()
    make_csv()
    make_crafted_xlsx()
    make_bad_xls()
    make_import_edges()
