#pragma once

#include <QString>
#include <QUuid>
#include <vector>

namespace images {

// One encoder of the imaging layer: the MIME type it writes and its identifier.
struct ImageEncoder {
    QString mimeType;
    QUuid classId;
};

// The imaging layer's encoders: BMP (written by the program itself) and every format
// libvips can save here.
const std::vector<ImageEncoder>& imageEncoders();

// The index of the last encoder whose MIME type equals mime exactly (letter case
// included), with its identifier in classId; -1 when there is none (classId is then
// left as it was).
int FindEncoderClassId(const QString& mime, QUuid& classId);

}  // namespace images
