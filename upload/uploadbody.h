#pragma once

#include <QByteArray>
#include <QString>

// The multipart body of one upload, as the lab reads it: the head, the picture, the
// tail. Head and tail are Windows-1251 (a character the code page lacks becomes "?").
namespace upload {

// The boundary parameter; every delimiter line is "--" followed by it.
inline constexpr char kBoundary[] = "--RIRIDO-REZ-AVAZ";

// The values of the form fields after the picture, as sent.
struct UploadFields {
    QString count;
    QString format;
    QString paper;  // "matov" or "glyanc"
    QString key;
    QString dpi;
    QString fileNumber;
    QString param;  // "AsIs", "WithoutBorder" or "WithBorder"
};

// The row's Paper and Param as the lab names them (exact comparisons).
QString paperValue(const QString& paper);
QString paramValue(const QString& param);

// The photo's path as the filename parameter carries it: '"', CR and LF escaped as
// %22, %0D and %0A, as browsers do, and the first letter of the boundary's text ("R"
// as %52) wherever the name holds it, so that a name cannot end the parameter or the
// part and forge other form fields.
QString escapedFilename(const QString& file);

// The text before the picture, and the text after it.
QByteArray uploadHead(const QString& file);
QByteArray uploadTail(const UploadFields& fields);

}  // namespace upload
