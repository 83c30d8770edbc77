// WindowLanguage.h - the window's own texts in the language of the system's locale:
// velhost's translation (built into the program) and Qt's for its standard dialogs.
// The plug-in's texts are its own and are not translated.
#pragma once

#include <QLocale>
#include <QTranslator>
#include <optional>

#include "vel/kernel/Words.h"

namespace velgui {

// Installs the translations for the locale into the application while it lives; a locale
// with no translation leaves the English texts.
class WindowLanguage {
public:
    explicit WindowLanguage(const QLocale& locale = QLocale());
    ~WindowLanguage();
    WindowLanguage(const WindowLanguage&) = delete;
    WindowLanguage& operator=(const WindowLanguage&) = delete;

    // Whether velhost's own texts are translated (not English, and a translation found).
    bool translated() const { return own_.has_value(); }

private:
    std::optional<QTranslator> own_;
    std::optional<QTranslator> qt_;
};

// A message of the host in the window's language.
QString say(const vel::Words& words);

}  // namespace velgui
