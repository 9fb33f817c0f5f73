#pragma once

#include <QBuffer>
#include <QImage>
#include <string>

namespace labd::testing {

// An upload body laid out byte for byte as the client sends it: after the picture a
// closing delimiter and an empty line, then each field opened by a plain delimiter
// and closed by a closing one, the body ending in a closing delimiter without a line
// break.
inline std::string clientUploadBody(const std::string& picture, const std::string& filename,
                                    const std::string& count, const std::string& format,
                                    const std::string& paper, const std::string& key,
                                    const std::string& dpi, const std::string& fileNumber,
                                    const std::string& param) {
    const std::string d = "----RIRIDO-REZ-AVAZ";
    std::string body = d + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" +
                       filename + "\"\r\nContent-Type: image/jpeg\r\n\r\n" + picture;
    body += d + "--\r\n\r\n";
    body += d + "\r\nContent-Disposition: form-data; name=\"Count\"\r\n\r\n" + count;
    const std::pair<const char*, std::string> rest[] = {
        {"Format", format}, {"Paper", paper},           {"key", key},
        {"dpi", dpi},       {"FileNumber", fileNumber}, {"Param", param}};
    for (const auto& [name, value] : rest) {
        body += "\r\n" + d + "--\r\n" + d + "\r\nContent-Disposition: form-data; name=\"" + name +
                "\"\r\n\r\n" + value;
    }
    return body + "\r\n" + d + "--";
}

// A real JPEG picture of the size, made by Qt (not the client's code).
inline std::string jpegPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y) % 256));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes.toStdString();
}

inline const char* kUploadContentType = "multipart/form-data; boundary=--RIRIDO-REZ-AVAZ";

}  // namespace labd::testing
