#pragma once

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>
#include <QStringList>
#include <QStyle>
#include <QWidget>

// Whether the texts and pictures of a form show whole with the font the program really
// draws with (on Linux not the "Microsoft YaHei UI" that the style sheets name, but what
// the font configuration puts in its place).
namespace TextFit {

// The part of widget's rectangle that its ancestors up to root let show, in its own
// coordinates.
inline QRect shownPart(QWidget *widget, QWidget *root)
{
    QRect shown = widget->rect();
    for (QWidget *ancestor = widget->parentWidget(); ancestor && widget != root;
         ancestor = ancestor->parentWidget()) {
        const QPoint offset = widget->mapTo(ancestor, QPoint(0, 0));
        shown &= ancestor->rect().translated(-offset);
        if (ancestor == root)
            break;
    }
    return shown;
}

// Where a text really puts ink, relative to its origin on the base line: drawn alone on a
// picture of its own and searched for pixels of some strength (a faint fringe of the
// antialiasing does not count).
inline QRect drawnInk(const QFont &font, const QString &text)
{
    const QFontMetrics metrics(font);
    const int pad = metrics.height();
    QImage picture(metrics.horizontalAdvance(text) + 2 * pad, 3 * pad,
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(pad, pad + metrics.ascent(), text);
    }
    QRect ink;
    for (int y = 0; y < picture.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(line[x]) > 96)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink.translated(-pad, -pad - metrics.ascent());
}

// The ink of a one-line text in its label, placed by the label's alignment: what must show.
inline QRect inkRect(QLabel *label)
{
    const QFontMetrics metrics = label->fontMetrics();
    const QRect contents = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                          -label->margin(), -label->margin());
    const QSize line(metrics.horizontalAdvance(label->text()), metrics.height());
    const QRect placed =
        QStyle::alignedRect(label->layoutDirection(), label->alignment(), line, contents);
    QRect ink = drawnInk(label->font(), label->text())
                    .translated(placed.left(), placed.top() + metrics.ascent());
    // A glyph reaching left of its origin ("j") is drawn so in any font; not a fault of fit.
    ink.setLeft(qMax(ink.left(), placed.left()));
    return ink;
}

inline QString describe(QWidget *widget, const QString &what, const QRect &needed, const QRect &has)
{
    return QStringLiteral("%1 (%2): needs %3x%4, shows %5x%6")
        .arg(widget->objectName(), what)
        .arg(needed.width())
        .arg(needed.height())
        .arg(has.width())
        .arg(has.height());
}

// Content that a scroll area holds may lie outside its viewport, to be scrolled into view;
// it is not cut for that. Such content is looked at up to the viewport's child.
inline QWidget *clippingRoot(QWidget *widget, QWidget *root)
{
    for (QWidget *inner = widget; inner != root && inner->parentWidget();
         inner = inner->parentWidget()) {
        QWidget *outer = inner->parentWidget();
        if (qobject_cast<QAbstractScrollArea *>(outer->parentWidget()) &&
            outer->objectName() == QLatin1String("qt_scrollarea_viewport"))
            return inner;
    }
    return root;
}

// What is cut of one widget: a label's text or its fixed-size picture, a button's text.
inline void check(QWidget *widget, QWidget *root, QStringList &clipped)
{
    if (!widget->isVisibleTo(root) || widget->width() <= 0)
        return;
    const QRect shown = shownPart(widget, clippingRoot(widget, root));
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        if (label->wordWrap() || label->textFormat() == Qt::RichText)
            return;
        if (!label->text().isEmpty()) {
            const QRect needed = inkRect(label);
            const QRect has = needed & shown & label->contentsRect();
            if (has != needed)
                clipped << describe(label, label->text(), needed, has);
        } else if (label->minimumSize() == label->maximumSize() && shown != label->rect()) {
            clipped << describe(label, QStringLiteral("picture"), label->rect(), shown);
        }
        return;
    }
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        if (button->text().isEmpty())
            return;
        int width = button->fontMetrics().horizontalAdvance(button->text());
        if (!button->icon().isNull())
            width += button->iconSize().width() + 4;
        const QRect needed(0, 0, width, button->fontMetrics().height());
        const QRect has(0, 0, qMin(width, shown.width()), qMin(needed.height(), shown.height()));
        if (has != needed)
            clipped << describe(button, button->text(), needed, has);
    }
}

inline void checkAll(QWidget *root, QWidget *from, QStringList &clipped)
{
    check(from, root, clipped);
    for (QWidget *widget : from->findChildren<QWidget *>())
        check(widget, root, clipped);
}

// Every text or picture under root that does not show whole, one line each, on every page
// of every stacked widget; root must be shown.
inline QStringList clippedTexts(QWidget *root)
{
    QStringList clipped;
    QApplication::processEvents();
    checkAll(root, root, clipped);
    for (QStackedWidget *stack : root->findChildren<QStackedWidget *>()) {
        const int shownPage = stack->currentIndex();
        for (int page = 0; page < stack->count(); ++page) {
            stack->setCurrentIndex(page);
            QApplication::processEvents();
            checkAll(root, stack->widget(page), clipped);
        }
        stack->setCurrentIndex(shownPage);
    }
    clipped.removeDuplicates();
    return clipped;
}

} // namespace TextFit
