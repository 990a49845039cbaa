#pragma once

#include <QString>

// Pieces that the PDF-to-file and the file-to-PDF rows present alike.
namespace RowPresentation {

// The style sheet that puts the document icon for a file suffix (already lower-cased) into
// "widget_FileIcon"; empty when no icon fits. acceptPdf offers the PDF icon as well.
QString fileIconStyle(const QString &lowerSuffix, bool acceptPdf);
// The label text for a page-count answer: "-1" reads "未知", anything else gets "页".
QString pageCountText(const QString &pageCount);

// The state pages of a row, in the order of the form's "stackedWidget".
enum StatePage
{
    ReadyPage = 0,
    ConvertingPage = 1,
    WaitPage = 2,
    SucceededPage = 3,
    FailedPage = 4
};

// The pause between a job's result and the row's final page, so the fill is seen full.
constexpr int kResultHoldMs = 600;
// Both rows elide their name labels to this width.
constexpr int kNameWidth = 200;

} // namespace RowPresentation
