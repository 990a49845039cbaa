#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <cstdio>

namespace TinyPdfDetail {

// A valid PDF of pages given by their media box and content stream, all set in Helvetica (as
// font F1), with a correct cross-reference table, so that real PDF tools read it.
inline QByteArray assemblePdf(const QByteArray &mediaBox, const QList<QByteArray> &contents)
{
    const int pages = contents.size();
    const int fontObject = 3 + 2 * pages;
    QList<QByteArray> objects;
    objects << "<< /Type /Catalog /Pages 2 0 R >>";
    QByteArray kids;
    for (int i = 0; i < pages; ++i)
        kids += QByteArray::number(3 + 2 * i) + " 0 R ";
    objects << "<< /Type /Pages /Kids [" + kids.trimmed() + "] /Count " +
                   QByteArray::number(pages) + " >>";
    for (int i = 0; i < pages; ++i) {
        objects << "<< /Type /Page /Parent 2 0 R /MediaBox [" + mediaBox +
                       "] /Resources << /Font << /F1 " + QByteArray::number(fontObject) +
                       " 0 R >> >> /Contents " + QByteArray::number(4 + 2 * i) + " 0 R >>";
        objects << "<< /Length " + QByteArray::number(contents[i].size()) + " >>\nstream\n" +
                       contents[i] + "\nendstream";
    }
    objects << "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";

    QByteArray pdf = "%PDF-1.4\n";
    QList<int> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const int xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (int offset : offsets) {
        char entry[21];
        std::snprintf(entry, sizeof(entry), "%010d 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

} // namespace TinyPdfDetail

// A small PDF written by hand: one page per text (ASCII), each with its text in Helvetica.
inline QByteArray tinyPdf(const QStringList &pageTexts)
{
    QList<QByteArray> contents;
    for (const QString &text : pageTexts)
        contents << "BT /F1 18 Tf 20 60 Td (" + text.toLatin1() + ") Tj ET";
    return TinyPdfDetail::assemblePdf("0 0 300 120", contents);
}

// An A4 PDF of pages of lines (ASCII) set from the top down as a document is: the first line
// of a page as a heading, the rest in 10 point type, 12 points apart.
inline QByteArray linedPdf(const QList<QStringList> &pages)
{
    QList<QByteArray> contents;
    for (const QStringList &lines : pages) {
        QByteArray content;
        for (int i = 0; i < lines.size(); ++i) {
            const int top = i == 0 ? 790 : 770 - 12 * i;
            content += "BT /F1 " + QByteArray(i == 0 ? "16" : "10") + " Tf 56 " +
                       QByteArray::number(top) + " Td (" + lines[i].toLatin1() + ") Tj ET\n";
        }
        contents << content;
    }
    return TinyPdfDetail::assemblePdf("0 0 595 842", contents);
}
