#pragma once

#include <QStringList>

#include "platform/urlopener.h"

namespace testing_support {

// Records the addresses the program asks to open instead of starting a browser.
class RecordingUrlOpener final : public platform::UrlOpener {
public:
    void openUrl(const QString& address) override { opened << address; }
    QStringList opened;
};

}  // namespace testing_support
