#include "service/labaddress.h"

namespace service {

QString labSite(const QString& host) {
    return QStringLiteral("http://") + host;
}

QString labStep(const QString& host, const QString& step) {
    return labSite(host) + QStringLiteral("/index.php?option=com_photoprint&step=") + step;
}

QString labFormatsAddress(const QString& host) {
    return labStep(host, QStringLiteral("format"));
}

QString labSessionAddress(const QString& host) {
    return labStep(host, QStringLiteral("session"));
}

QString labUploadAddress(const QString& host) {
    return labStep(host, QStringLiteral("uploadprogs"));
}

QString labBannerAddress(const QString& host) {
    return labSite(host) + QStringLiteral("/banner.gif");
}

}  // namespace service
