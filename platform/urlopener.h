#pragma once

#include <QString>

namespace platform {

// Opens an address in the user's web browser. The result is not reported: the program
// goes on whether a browser came up or not.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void openUrl(const QString& address) = 0;
};

// The real one: the desktop's default browser.
class DesktopUrlOpener final : public UrlOpener {
public:
    void openUrl(const QString& address) override;
};

}  // namespace platform
