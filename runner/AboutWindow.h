#pragma once

#include <QWidget>

// The farewell window: picture, name and version.
class AboutWindow : public QWidget {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* parent = nullptr);
};
