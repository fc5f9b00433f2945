// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runner/LineDisplay.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace {
// Small, but a full line of the widest letters still fits and can be read.
constexpr qreal smallestPointSize = 4.0;
constexpr qreal step = 0.5;

QTextOption wrapping()
{
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

qreal wrappedHeight(const QString& text, const QFont& font, qreal width)
{
    QTextLayout layout(text, font);
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
} // namespace

LineDisplay::LineDisplay(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
}

QString LineDisplay::visiblePart(const QSize& area) const
{
    // However the text wraps, no more characters than this can show at the smallest size:
    // laying out the rest of a huge line would only cost time.
    QFont smallest = font();
    smallest.setPointSizeF(smallestPointSize);
    const QFontMetricsF metrics(smallest);
    qreal narrowest = metrics.averageCharWidth();
    for (const QChar c : {u' ', u'.', u'i', u'l', u'\'', u'|'})
        narrowest = qMin(narrowest, metrics.horizontalAdvance(c));
    const qreal rows = std::ceil(area.height() / qMax(metrics.lineSpacing(), 1.0)) + 1;
    const qreal perRow = std::ceil(area.width() / qMax(narrowest, 0.5)) + 1;
    const auto most = qsizetype(rows * perRow);
    return text().size() > most ? text().left(most) : text();
}

const LineDisplay::Fit& LineDisplay::fit() const
{
    const QSize area = contentsRect().size();
    if (m_fit.area == area && m_fit.font == font() && m_fit.text == text())
        return m_fit;
    m_fit = {text(), area, font(), font(), visiblePart(area)};

    qreal largest = font().pointSizeF();
    if (m_designed.isValid() && area.width() > m_designed.width() &&
        area.height() > m_designed.height())
        largest *= qMin(qreal(area.width()) / m_designed.width(),
                        qreal(area.height()) / m_designed.height());
    // The largest size, in half points, at which the text fits: the height of the wrapped
    // text only grows with the size, so a few layouts find it.
    const int steps = qMax(0, int((largest - smallestPointSize) / step));
    auto sizeAt = [&](int index) {
        return index == steps ? qMax(largest, smallestPointSize) : smallestPointSize + index * step;
    };
    auto fitsAt = [&](int index) {
        QFont candidate = font();
        candidate.setPointSizeF(sizeAt(index));
        return wrappedHeight(m_fit.drawn, candidate, area.width()) <= area.height();
    };
    int low = 0;
    int high = steps;
    if (fitsAt(high)) {
        low = high;
    } else {
        while (high - low > 1) {
            const int middle = (low + high) / 2;
            (fitsAt(middle) ? low : high) = middle;
        }
    }
    m_fit.fitted.setPointSizeF(sizeAt(low));
    return m_fit;
}

QFont LineDisplay::fittedFont() const
{
    return fit().fitted;
}

void LineDisplay::paintEvent(QPaintEvent*)
{
    const Fit& fitted = fit();
    QPainter painter(this);
    painter.setFont(fitted.fitted);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRectF(contentsRect()), fitted.drawn, wrapping());
}
