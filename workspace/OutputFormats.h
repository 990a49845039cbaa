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
