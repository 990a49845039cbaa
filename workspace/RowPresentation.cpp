#include "RowPresentation.h"

namespace RowPresentation {

namespace {
QString iconStyle(const QString &picture)
{
    return QStringLiteral("#widget_FileIcon{image:  url(:/Resources/icon/%1);}").arg(picture);
}
} // namespace

QString fileIconStyle(const QString &lowerSuffix, bool acceptPdf)
{
    if (lowerSuffix.contains(QLatin1String("xls")))
        return iconStyle(QStringLiteral("icon_file_to_pdf_excel.png"));
    if (lowerSuffix.contains(QLatin1String("doc")))
        return iconStyle(QStringLiteral("icon_file_to_pdf_word.png"));
    if (lowerSuffix.contains(QLatin1String("ppt")))
        return iconStyle(QStringLiteral("icon_file_to_pdf_ppt.png"));
    if (acceptPdf && lowerSuffix.contains(QLatin1String("pdf")))
        return iconStyle(QStringLiteral("icon_pdf_to_file_pdf.png"));
    return QString();
}

QString pageCountText(const QString &pageCount)
{
    if (pageCount == QLatin1String("-1"))
        return QStringLiteral("未知");
    return pageCount + QStringLiteral("页");
}

} // namespace RowPresentation
