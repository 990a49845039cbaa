"""Lays the text of a PDF out as a flat OpenDocument text, one page of the document for
each page of the PDF, for the engine stand-in to hand to LibreOffice.

Reads the layout that "pdftotext -bbox-layout" writes (pages, their text blocks in reading
order, the lines and words of each block with their boxes) and writes every block as one
paragraph, in a size taken from the height of its lines. Each page of the PDF starts a new
page of the same size. The text of a page is fitted into its page, shrinking it where the
estimate says it would run over: a page that spilled over would shift every page after it.

Usage: pdf_text_document.py LAYOUT.html DOCUMENT.fodt
"""

import math
import sys
import xml.etree.ElementTree as ElementTree
from xml.sax.saxutils import escape

XHTML = "{http://www.w3.org/1999/xhtml}"

# An estimate that errs on the wide side: Liberation Serif averages about 0.41 of its size
# for a character of English text, an East Asian character takes the full size.
NARROW_WIDTH = 0.5
WIDE_WIDTH = 1.0
# Lines are broken between words, which leaves the end of most lines empty.
WRAP_WASTE = 1.05
LINE_HEIGHT = 1.2  # of the font size, set as an exact line height
PAGE_FILL = 0.95  # of the text area a page's text may take
SMALLEST_SIZE, LARGEST_SIZE = 3.0, 96.0


def is_wide(character):
    code = ord(character)
    return (
        0x1100 <= code <= 0x115F
        or 0x2E80 <= code <= 0xA4CF
        or 0xAC00 <= code <= 0xD7A3
        or 0xF900 <= code <= 0xFAFF
        or 0xFE30 <= code <= 0xFE4F
        or 0xFF00 <= code <= 0xFF60
        or 0xFFE0 <= code <= 0xFFE6
        or code >= 0x20000
    )


def printable(text):
    """The text without control characters, which an XML document cannot hold."""
    return "".join(c for c in text if c >= " " or c == "\t")


def joined(parts):
    """Words and lines joined by blanks, except between two East Asian characters."""
    text = ""
    for part in parts:
        if text and not (is_wide(text[-1]) and is_wide(part[0])):
            text += " "
        text += part
    return text


class Paragraph:
    def __init__(self, text, line_height, top, bottom):
        self.text = text
        self.line_height = line_height
        self.top = top
        self.bottom = bottom
        self.size = min(max(line_height, SMALLEST_SIZE), LARGEST_SIZE)
        self.space_before = 0.0

    def height(self, width):
        """The height the paragraph takes in a text area of this width, estimated."""
        text_width = sum(WIDE_WIDTH if is_wide(c) else NARROW_WIDTH for c in self.text) * self.size
        lines = max(1, math.ceil(WRAP_WASTE * text_width / width))
        return self.space_before + lines * LINE_HEIGHT * self.size


def paragraphs_of(page):
    paragraphs = []
    for block in page.iter(XHTML + "block"):
        lines, heights = [], []
        for line in block.iter(XHTML + "line"):
            words = [printable(word.text) for word in line.iter(XHTML + "word") if word.text]
            words = [word for word in words if word]
            if words:
                lines.append(joined(words))
                heights.append(float(line.get("yMax")) - float(line.get("yMin")))
        if lines:
            heights.sort()
            paragraphs.append(
                Paragraph(joined(lines), heights[len(heights) // 2],
                          float(block.get("yMin")), float(block.get("yMax"))))
    previous = None
    for paragraph in paragraphs:
        if previous:
            gap = paragraph.top - previous.bottom
            paragraph.space_before = 0.8 * min(max(gap, 0.0), 2 * paragraph.size)
        previous = paragraph
    return paragraphs


def fit(paragraphs, width, height):
    """Shrinks the text until its estimated height fits the text area."""
    for _ in range(60):
        total = sum(paragraph.height(width) for paragraph in paragraphs)
        if total <= PAGE_FILL * height:
            return
        scale = min(0.97, PAGE_FILL * height / total)
        for paragraph in paragraphs:
            paragraph.size *= scale
            paragraph.space_before *= scale


class Document:
    def __init__(self):
        self.page_styles = {}  # (width, height): (layout, master page)
        self.paragraph_styles = {}  # (master page or "", size, space before): name
        self.body = []

    def add_page(self, page):
        width, height = float(page.get("width")), float(page.get("height"))
        margin = min(36.0, 0.06 * min(width, height))
        master = self.master_page(round(width, 1), round(height, 1), round(margin, 1))
        paragraphs = paragraphs_of(page)
        fit(paragraphs, width - 2 * margin, height - 2 * margin)
        if not paragraphs:  # a page without text stays a page
            paragraphs = [Paragraph("", 10.0, 0.0, 0.0)]
        for index, paragraph in enumerate(paragraphs):
            # The first paragraph of a page names the page's master, which breaks the page.
            style = self.paragraph_style(master if index == 0 else "", round(paragraph.size, 1),
                                         round(paragraph.space_before, 1))
            self.body.append('<text:p text:style-name="%s">%s</text:p>'
                             % (style, escape(paragraph.text)))

    def master_page(self, width, height, margin):
        key = (width, height)
        if key not in self.page_styles:
            name = "Page%d" % len(self.page_styles)
            layout = (
                '<style:page-layout style:name="%sLayout"><style:page-layout-properties '
                'fo:page-width="%.1fpt" fo:page-height="%.1fpt" fo:margin-top="%.1fpt" '
                'fo:margin-bottom="%.1fpt" fo:margin-left="%.1fpt" fo:margin-right="%.1fpt"/>'
                '</style:page-layout>' % (name, width, height, margin, margin, margin, margin))
            master = ('<style:master-page style:name="%s" style:page-layout-name="%sLayout"/>'
                      % (name, name))
            self.page_styles[key] = (layout, master, name)
        return self.page_styles[key][2]

    def paragraph_style(self, master, size, space_before):
        key = (master, size, space_before)
        if key not in self.paragraph_styles:
            self.paragraph_styles[key] = "P%d" % len(self.paragraph_styles)
        return self.paragraph_styles[key]

    def automatic_styles(self):
        styles = [layout for layout, _, _ in self.page_styles.values()]
        for (master, size, space_before), name in self.paragraph_styles.items():
            styles.append(
                '<style:style style:name="%s" style:family="paragraph"%s>'
                '<style:paragraph-properties fo:margin-top="%.1fpt" fo:margin-bottom="0pt" '
                'fo:line-height="%.1fpt"/><style:text-properties fo:font-size="%.1fpt" '
                'style:font-size-asian="%.1fpt" style:font-size-complex="%.1fpt"/></style:style>'
                % (name, ' style:master-page-name="%s"' % master if master else "", space_before,
                   LINE_HEIGHT * size, size, size, size))
        return "".join(styles)

    def text(self):
        return (
            '<?xml version="1.0" encoding="UTF-8"?>'
            '<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
            'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
            'office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">'
            '<office:styles><style:default-style style:family="paragraph">'
            '<style:paragraph-properties fo:orphans="0" fo:widows="0"/>'
            '<style:text-properties fo:font-family="\'Liberation Serif\'" fo:hyphenate="false"/>'
            '</style:default-style></office:styles>'
            '<office:automatic-styles>%s</office:automatic-styles>'
            '<office:master-styles>%s</office:master-styles>'
            '<office:body><office:text>%s</office:text></office:body></office:document>'
            % (self.automatic_styles(),
               "".join(master for _, master, _ in self.page_styles.values()),
               "".join(self.body)))


def main(layout_path, document_path):
    document = Document()
    for page in ElementTree.parse(layout_path).getroot().iter(XHTML + "page"):
        document.add_page(page)
    if not document.body:
        return 1
    with open(document_path, "w", encoding="utf-8") as out:
        out.write(document.text())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
