// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

class CellFinder;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Find and Replace, beside the grids: the window stays usable while it is open.
class FindDialog : public QDialog {
    Q_OBJECT

public:
    FindDialog(CellFinder& finder, QWidget* parent = nullptr);

    // Opens for finding only, or for replacing too, with the text field ready for typing.
    void showFind();
    void showReplace();

private:
    void show(bool replacing);
    void takeOptions();

    CellFinder* m_finder;
    QLineEdit* m_text;
    QLabel* m_replaceLabel;
    QLineEdit* m_replacement;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeCell;
    QPushButton* m_replace;
    QPushButton* m_replaceAll;
};
