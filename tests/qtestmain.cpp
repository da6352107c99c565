// GoogleTest main for tests that need a QApplication. Listing the tests (as CTest's discovery
// does at build time) needs no window system, so no application is made for it.
#include "tests/support/editordriver.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    EditorDriver::reportProblem
            = [](const QString &problem) { ADD_FAILURE() << problem.toStdString(); };
    return RUN_ALL_TESTS();
}
