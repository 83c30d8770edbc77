// TypeText.h - typing into a widget as a user would: one key stroke a character,
// each carrying its text, so that any script can be typed (Korean included), not
// only what the keyboard's keys are named after. Shared by the dialog robot and
// the dialog tests, so both type the same way.
#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

inline void typeText(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString unit = text.mid(i, n);
        const char16_t c = unit.at(0).unicode();
        const Qt::Key key =
            c >= 0x20 && c < 0x7F ? QTest::asciiToKey(static_cast<char>(c)) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, unit, Qt::NoModifier);
        i += n;
    }
}
