#pragma once

#include <QApplication>
#include <QTest>

// Every test file is linked into one program, voxcel_tests, which runs the
// tests of one file a process, as if each file were a program of its own:
//   voxcel_tests test_canvas [Qt Test's options and test functions]
// CTest starts one such process a file. The build compiles Qt Test's harness
// and links a test program once, not once a file.
namespace testmain {
using Run = int (*)(int argc, char **argv);
// Adds the file whose __FILE__ is sourceFile, under its base name; its
// tests are run by run(). Called once a file, before main().
bool add(const char *sourceFile, Run run);
} // namespace testmain

// Starts the definition of the function that runs this file's tests, named
// after its test class (the files may be compiled together):
//   VOXCEL_TEST_RUN(TestClass) { QApplication app(argc, argv); ...; return QTest::qExec(...); }
#define VOXCEL_TEST_RUN(TestClass)                                                                                     \
    static int run##TestClass(int argc, char **argv);                                                                  \
    [[maybe_unused]] static const bool added##TestClass = testmain::add(__FILE__, run##TestClass);                     \
    static int run##TestClass(int argc, char **argv)

// Qt Test's QTEST_MAIN, QTEST_GUILESS_MAIN and QTEST_APPLESS_MAIN, for a
// file of the one program.
#define VOXCEL_TEST_MAIN(TestClass)                                                                                    \
    VOXCEL_TEST_RUN(TestClass)                                                                                         \
    {                                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestClass test;                                                                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
#define VOXCEL_TEST_GUILESS_MAIN(TestClass)                                                                            \
    VOXCEL_TEST_RUN(TestClass)                                                                                         \
    {                                                                                                                  \
        QCoreApplication app(argc, argv);                                                                              \
        TestClass test;                                                                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
#define VOXCEL_TEST_APPLESS_MAIN(TestClass)                                                                            \
    VOXCEL_TEST_RUN(TestClass)                                                                                         \
    {                                                                                                                  \
        TestClass test;                                                                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
