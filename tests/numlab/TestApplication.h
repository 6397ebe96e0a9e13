#pragma once

#include <QApplication>
#include <QCoreApplication>

// Widgets need a QApplication; one is made once for the whole test program.
inline void EnsureTestApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "numlab_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}
