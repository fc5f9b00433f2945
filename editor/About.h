#pragma once

#include <QWidget>

// The farewell window shown while the program ends through its menu; it has no behaviour.
class About : public QWidget {
    Q_OBJECT

public:
    explicit About(QWidget* parent = nullptr);
};
