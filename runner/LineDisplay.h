// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>

// The large text of the runner. A line of any length stays whole inside the area: it wraps,
// between words where it can and anywhere where it must, and the font shrinks until
// everything fits. When the window grows past its designed size the text grows with it, so
// a person who sees poorly can make it large.
//
// The text is plain, drawn and read by screen readers exactly as written.
class LineDisplay : public QLabel {
    Q_OBJECT

public:
    explicit LineDisplay(QWidget* parent = nullptr);

    // The size at which the text is drawn in font(); a larger area draws it larger.
    void setDesignedSize(const QSize& size) { m_designed = size; }

    // The font the current text is drawn in: smaller than font() for long lines, larger in
    // an area grown past the designed size.
    QFont fittedFont() const;

    // The label's own hints would lay the whole text out; the window decides the size.
    QSize sizeHint() const override { return m_designed.isValid() ? m_designed : QSize(); }
    QSize minimumSizeHint() const override { return {}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Fit {
        QString text;
        QSize area;
        QFont font;
        QFont fitted;
        QString drawn; // the part of the text that can show at all
    };
    const Fit& fit() const;
    QString visiblePart(const QSize& area) const;

    QSize m_designed;
    mutable Fit m_fit;
};
