#include "DimOverlay.h"

namespace {

constexpr int kInset = 8;

} // namespace

DimOverlay::DimOverlay(QWidget *window) : QWidget(window)
{
    setObjectName(QStringLiteral("dimOverlay"));
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 20%);"));
    // A plain QWidget paints its style sheet's background only with this attribute.
    setAttribute(Qt::WA_StyledBackground, true);
    showOverWindow();
    hide();
}

void DimOverlay::showOverWindow()
{
    if (QWidget *window = parentWidget())
        setGeometry(kInset, kInset, window->width() - 2 * kInset, window->height() - 2 * kInset);
    raise();
    show();
}
