# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the plain-text, web-page and hand-made Word 2007 fixtures (byte-exact)."""
import os
import sys
import zipfile

out = sys.argv[1]


def write(name, data):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)


# Characters beyond U+00FF, one outside the Basic Multilingual Plane (a surrogate pair in UTF-16).
unicode_text = "Grüße aus Köln — 東京 ✓ 😀\nSecond line\n"
write("utf8.txt", unicode_text.encode("utf-8"))
write("utf8-bom.txt", b"\xef\xbb\xbf" + unicode_text.encode("utf-8"))
write("utf16le.txt", b"\xff\xfe" + unicode_text.encode("utf-16-le"))
write("utf16be.txt", b"\xfe\xff" + unicode_text.encode("utf-16-be"))
# Not UTF-8: é, €, curly quotes and one of the five bytes Windows-1252 leaves undefined (0x81).
write("cp1252.txt", b"Caf\xe9 costs \x805, \x93quoted\x94 \x81end\r\n")
write("empty.txt", b"")
# Binary: NULs, bytes that are not UTF-8, every value once.
write("binary.bin", bytes(range(256)) + b"\x00\x00tail")

write("page.html", """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Page title</title>
<style>p { color: red; }</style>
<script>var x = "<p>not shown</p>";</script></head>
<body>
<!-- a comment -->
<h1>Heading</h1>
<p>First   paragraph
 spans lines &amp; has &lt;entities&gt; &eacute;&#233;&#xE9; &euro;&nbsp;5.</p>
<p>Line one<br>line two</p>
<table><tr><td>A1<td>B1</tr><tr><td>A2</td><td>B2</td></tr></table>
<pre>  keep   this
  spacing</pre>
<ul><li>item one</li><li>item two</li></ul>
</body></html>
""".encode("utf-8"))
write("latin1.htm", b"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\"></head>"
      b"<body><p>\xcf\xf0\xe8\xe2\xe5\xf2</p></body></html>")

W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" ' \
    'xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006"'
document = f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:document {W}><w:body>
<w:p><w:pPr><w:tabs><w:tab w:val="left" w:pos="720"/></w:tabs></w:pPr>
<w:r><w:t xml:space="preserve">Kept </w:t></w:r><w:r><w:rPr><w:vanish/></w:rPr><w:t>hidden</w:t></w:r>
<w:del><w:r><w:delText>deleted</w:delText></w:r></w:del><w:r><w:t>text</w:t><w:tab/><w:t>after tab</w:t></w:r></w:p>
<w:p><w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText>HYPERLINK "x"</w:instrText></w:r>
<w:r><w:fldChar w:fldCharType="separate"/></w:r><w:r><w:t>link</w:t></w:r><w:r><w:fldChar w:fldCharType="end"/></w:r>
<w:r><w:br/><w:t>next</w:t><w:noBreakHyphen/><w:t>line</w:t></w:r></w:p>
<w:p><w:r><mc:AlternateContent><mc:Choice Requires="wps"><w:t>box</w:t></mc:Choice>
<mc:Fallback><w:t>box again</w:t></mc:Fallback></mc:AlternateContent></w:r></w:p>
<w:p><w:r><w:rPr><w:vanish w:val="false"/></w:rPr><w:t>shown</w:t></w:r></w:p>
</w:body></w:document>
"""
with zipfile.ZipFile(os.path.join(out, "edge-cases.docx"), "w", zipfile.ZIP_DEFLATED) as z:
    for info_name, data in [
        ("[Content_Types].xml", '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>'),
        ("word/document.xml", document),
    ]:
        info = zipfile.ZipInfo(info_name, date_time=(2024, 1, 1, 0, 0, 0))
        z.writestr(info, data)
