# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints a flat OpenDocument text of about twenty pages (the importer benchmark's input)."""
HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.text"><office:body><office:text>"""
TAIL = "</office:text></office:body></office:document>"
words = ("the studio reads every opened document aloud in a clear voice while the level display "
         "moves and the user follows the text on the screen").split()
print(HEAD)
# About 500 words a page.
for paragraph in range(200):
    sentence = " ".join(words[(paragraph + i) % len(words)] for i in range(50))
    print(f"<text:p>Paragraph {paragraph + 1}: {sentence.capitalize()}.</text:p>")
print(TAIL)
