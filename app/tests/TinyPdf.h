#pragma once

#include <QByteArray>
#include <QStringList>

#include <cstdio>

// A small, valid PDF written by hand: one page per text (ASCII), each with its text in
// Helvetica, with a correct cross-reference table, so that real PDF tools read it.
inline QByteArray tinyPdf(const QStringList &pageTexts)
{
    const int pages = pageTexts.size();
    const int fontObject = 3 + 2 * pages;
    QList<QByteArray> objects;
    objects << "<< /Type /Catalog /Pages 2 0 R >>";
    QByteArray kids;
    for (int i = 0; i < pages; ++i)
        kids += QByteArray::number(3 + 2 * i) + " 0 R ";
    objects << "<< /Type /Pages /Kids [" + kids.trimmed() + "] /Count " +
                   QByteArray::number(pages) + " >>";
    for (int i = 0; i < pages; ++i) {
        objects << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 120] /Resources << /Font "
                   "<< /F1 " +
                       QByteArray::number(fontObject) + " 0 R >> >> /Contents " +
                       QByteArray::number(4 + 2 * i) + " 0 R >>";
        const QByteArray content = "BT /F1 18 Tf 20 60 Td (" + pageTexts[i].toLatin1() + ") Tj ET";
        objects << "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
                       "\nendstream";
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
