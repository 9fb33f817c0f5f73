#include "platform/urlopener.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

void DesktopUrlOpener::openUrl(const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
}

}  // namespace platform
