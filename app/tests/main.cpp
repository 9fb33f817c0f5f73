#include <gtest/gtest.h>

#include "app/application.h"
#include "app/tests/appdialogs.h"
#include "app/tests/orderkill.h"

testing_support::ScriptedDialogs* gAppDialogs = nullptr;

// The application tests run inside the program's own application object, so that its
// general error display is the one under test.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    testing_support::ScriptedDialogs dialogs;
    gAppDialogs = &dialogs;
    KorvellaApplication app(argc, argv, dialogs);
    if (argc > 1 && qstrcmp(argv[1], "--order-edits") == 0) {
        return runOrderEditsHelper();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
