#pragma once

#include "core/stockapplication.h"

#include <QTest>

// main() for a test that needs the application object: StockApplication,
// itself the QApplication, lives for the whole run. The test links stockapp.
#define VESK_STOCKAPP_TEST_MAIN(TestObject)                                                        \
    int main(int argc, char** argv) {                                                              \
        StockApplication app(argc, argv);                                                          \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
