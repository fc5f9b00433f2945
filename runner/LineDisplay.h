#pragma once

#include <QLabel>

// The large text of the runner. A line of any length stays whole inside the fixed area:
// it wraps, between words where it can and anywhere where it must, and the font shrinks
// until everything fits.
class LineDisplay : public QLabel {
    Q_OBJECT

public:
    explicit LineDisplay(QWidget* parent = nullptr);

    // The font the current text is drawn in; smaller than font() for long lines.
    QFont fittedFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal wrappedHeight(const QFont& font, qreal width) const;
};
