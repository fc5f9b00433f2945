// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The yardsticks for start-up figures: the barest Qt Widgets window this project can build,
// and with `--text` the same with what any window of text needs, a menu bar and a bold line,
// so the runner's and the editor's own costs can be told from the price of drawing text.
// With `--until-painted` it says "painted" at its first picture and ends there.
#include "bench/PaintedThenGone.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const bool text = QApplication::arguments().contains(QStringLiteral("--text"));
    QMainWindow window;
    if (text) {
        window.setWindowTitle(QStringLiteral("Bare window with text"));
        window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Exit"));
        auto* line = new QLabel(QStringLiteral("A line of text"), &window);
        QFont bold = line->font();
        bold.setBold(true);
        line->setFont(bold);
        window.setCentralWidget(line);
    } else {
        window.setWindowTitle(QStringLiteral("Bare window"));
    }
    window.resize(303, 141);
    PaintedThenGone painted;
    if (QApplication::arguments().contains(QStringLiteral("--until-painted")))
        window.installEventFilter(&painted);
    window.show();
    return QApplication::exec();
}
