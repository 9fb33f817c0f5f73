#pragma once

#include <QString>

// Every address of the lab's service that the program requests, shows or opens, built
// from the lab's host ("host" or "host:port", the build's KORVELLA_SERVICE_HOST) here
// and nowhere else.
namespace service {

// The lab's site: "http://host".
QString labSite(const QString& host);
// A step of the lab's service: ".../index.php?option=com_photoprint&step=STEP".
QString labStep(const QString& host, const QString& step);
// The format list, a new session key, the upload, and the banner.
QString labFormatsAddress(const QString& host);
QString labSessionAddress(const QString& host);
QString labUploadAddress(const QString& host);
QString labBannerAddress(const QString& host);

}  // namespace service
