#include "platform/testing/testfiles.h"

#include <QFileInfo>

namespace testing_support {

QString testData(const char* folder, const char* name) {
    return QStringLiteral(KORVELLA_SOURCE_DIR "/%1/tests/data/%2")
        .arg(QString::fromUtf8(folder), QString::fromUtf8(name));
}

bool corpusPresent() {
    return QFileInfo(QStringLiteral(KORVELLA_CORPUS_DIR)).isDir();
}

QString corpusFile(const char* name) {
    return QStringLiteral(KORVELLA_CORPUS_DIR "/") + QString::fromUtf8(name);
}

bool inCi() {
    return !qEnvironmentVariableIsEmpty("CI");
}

}  // namespace testing_support
