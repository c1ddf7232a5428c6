// The copy texts of the colors every copy test uses, in the submenu's order.
#pragma once

#include <QStringList>
#include <QTest>

inline void addCopyTextRows()
{
    QTest::addColumn<int>("color");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("12,11,10") << 0x0A0B0C
                              << QStringList{"#0C0B0A",       "\"#0C0B0A\"", "0C0B0A",
                                             "\"0C0B0A\"",    "12,11,10",    "RGB(12,11,10)",
                                             "Hex={0C,0B,0A}"};
    QTest::newRow("black") << 0
                           << QStringList{"#000000", "\"#000000\"", "000000",        "\"000000\"",
                                          "0,0,0",   "RGB(0,0,0)",  "Hex={00,00,00}"};
    QTest::newRow("white") << 0xFFFFFF
                           << QStringList{"#FFFFFF",       "\"#FFFFFF\"", "FFFFFF",
                                          "\"FFFFFF\"",    "255,255,255", "RGB(255,255,255)",
                                          "Hex={FF,FF,FF}"};
}
