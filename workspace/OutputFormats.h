#pragma once

#include <QString>
#include <QVector>

// One output format a PDF can be converted into: the lower-case suffix of the result and
// the text shown beneath it in the choosers.
struct OutputFormat
{
    QString identifier;
    QString description;
};

// The twelve formats in the order every chooser lists them.
const QVector<OutputFormat> &outputFormats();
// What a new drop-down shows and what the set-all dialog starts with.
QString defaultOutputFormat();
// Whether the engine writes a conversion into this suffix (with its dot or without) as one
// picture a page, each a file of its own named after the result and numbered
// ("report-1.png"). Like the engine, it takes every suffix that contains a picture format's
// name, unless it names a Word file.
bool writesPagePictures(const QString &suffix);
