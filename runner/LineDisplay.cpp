#include "runner/LineDisplay.h"

#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace {
// Small, but a full line of the widest letters still fits and can be read.
constexpr qreal smallestPointSize = 4.0;

QTextOption wrapping()
{
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}
} // namespace

LineDisplay::LineDisplay(QWidget* parent)
    : QLabel(parent)
{
    setWordWrap(true);
    setAlignment(Qt::AlignCenter);
}

qreal LineDisplay::wrappedHeight(const QFont& font, qreal width) const
{
    QTextLayout layout(text(), font);
    layout.setTextOption(wrapping());
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += line.height();
    }
    layout.endLayout();
    return height;
}

QFont LineDisplay::fittedFont() const
{
    QFont fitted = font();
    const QRect area = contentsRect();
    qreal size = fitted.pointSizeF();
    while (size > smallestPointSize) {
        fitted.setPointSizeF(size);
        if (wrappedHeight(fitted, area.width()) <= area.height())
            return fitted;
        size -= 0.5;
    }
    fitted.setPointSizeF(smallestPointSize);
    return fitted;
}

void LineDisplay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(fittedFont());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRectF(contentsRect()), text(), wrapping());
}
