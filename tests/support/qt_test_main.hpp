#pragma once

// main() for a Qt Test class that drives the window: the application is set
// up as the program sets it up (its fonts, Qt's Italian texts) before the
// test object is made, so every test function sees what a person sees.
// Otherwise as QTEST_MAIN. And how QCOMPARE prints the program's values.

#include <QApplication>
#include <QtTest>

#include "app/app_setup.hpp"
#include "tests/support/names.hpp"

namespace velmoran {
// How QCOMPARE prints an outcome.
inline char* toString(const PressOutcome& outcome) { return qstrdup(test::nameOf(outcome).c_str()); }
}  // namespace velmoran

#define VELMORAN_TEST_MAIN(TestObject)                   \
    int main(int argc, char** argv)                      \
    {                                                    \
        QApplication app(argc, argv);                    \
        app.setAttribute(Qt::AA_Use96Dpi, true);         \
        velmoran::app::setupApplication(app);             \
        TestObject test;                                 \
        QTEST_SET_MAIN_SOURCE_PATH                       \
        return QTest::qExec(&test, argc, argv);          \
    }
