#pragma once

#include <gtest/gtest.h>

#include <QString>

namespace testing_support {

// A file of a folder's own test data, kept in the repository:
// <source>/<folder>/tests/data/<name>, e.g. testData("images", "cmyk.jpg").
QString testData(const char* folder, const char* name);

// The shared corpus of real-world JPEGs beside the checkout (../shared/corpus/jpeg),
// which the repository does not carry: whether it is there, and one of its files.
bool corpusPresent();
QString corpusFile(const char* name);

// Whether the tests run in CI (the CI variable is set), where nothing may be skipped.
bool inCi();

}  // namespace testing_support

// At the top of a test that reads the corpus: without it the test is skipped on a
// developer's machine, and fails in CI.
#define KORVELLA_NEED_CORPUS()                                             \
    do {                                                                   \
        if (!testing_support::corpusPresent()) {                           \
            if (testing_support::inCi()) {                                 \
                FAIL() << "the JPEG corpus is not beside this checkout";   \
            }                                                              \
            GTEST_SKIP() << "the JPEG corpus is not beside this checkout"; \
        }                                                                  \
    } while (false)
