#pragma once

#include <QString>

// Speaks without waiting: a text queued while another is spoken follows it.
class Voice {
public:
    virtual ~Voice() = default;
    virtual void speak(const QString& text) = 0;
};
