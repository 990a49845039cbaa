#include "OutputFormats.h"

const QVector<OutputFormat> &outputFormats()
{
    static const QVector<OutputFormat> formats = {
        {QStringLiteral("docx"), QStringLiteral("Word文件")},
        {QStringLiteral("doc"), QStringLiteral("Word 97-2003文件")},
        {QStringLiteral("xlsx"), QStringLiteral("Excel文件")},
        {QStringLiteral("xls"), QStringLiteral("Excel 97-2003文件")},
        {QStringLiteral("pptx"), QStringLiteral("PPT文件")},
        {QStringLiteral("ppt"), QStringLiteral("PPT 97-2003文件")},
        {QStringLiteral("png"), QStringLiteral("无损压缩图片格式")},
        {QStringLiteral("jpg"), QStringLiteral("常见图片格式")},
        {QStringLiteral("jpeg"), QStringLiteral("常见图片格式")},
        {QStringLiteral("bmp"), QStringLiteral("常见图片格式")},
        {QStringLiteral("txt"), QStringLiteral("Windows文本格式")},
        {QStringLiteral("html"), QStringLiteral("网页格式")},
    };
    return formats;
}

QString defaultOutputFormat()
{
    return QStringLiteral("docx");
}

bool writesPagePictures(const QString &suffix)
{
    const QString lower = suffix.toLower();
    if (lower.contains(QLatin1String("doc")))
        return false;
    for (const char *picture : {"jpg", "jpeg", "png", "bmp"}) {
        if (lower.contains(QLatin1String(picture)))
            return true;
    }
    return false;
}
