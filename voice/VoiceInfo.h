#pragma once

#include <QString>

// A voice an engine offers, as the person choosing one sees it.
struct VoiceInfo {
    QString name;
    QString description;
};
