#include <curl/curl.h>

#include "app/application.h"
#include "platform/qtdialogs.h"

int main(int argc, char** argv) {
    // Before any thread exists: libcurl's global set-up is not thread-safe.
    curl_global_init(CURL_GLOBAL_DEFAULT);
    int code = 0;
    {
        platform::QtDialogs dialogs(applicationTitle());
        KorvellaApplication app(argc, argv, dialogs);
        QApplication::setApplicationName(QStringLiteral("korvella"));
        Program program(dialogs);
        code = program.exec();
    }
    curl_global_cleanup();
    return code;
}
