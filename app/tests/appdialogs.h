#pragma once

#include "platform/testing/scripteddialogs.h"

// The dialogs the application object of the test program reports uncaught errors to.
extern testing_support::ScriptedDialogs* gAppDialogs;
