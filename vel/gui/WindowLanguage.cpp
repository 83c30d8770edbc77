// WindowLanguage.cpp - loading and installing the translations.
#include "vel/gui/WindowLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace velgui {

WindowLanguage::WindowLanguage(const QLocale& locale) {
    // English is the source language: nothing to load, even where a translation of another
    // language would match the locale's fallbacks.
    if (locale.language() == QLocale::English || locale.language() == QLocale::C) return;
    own_.emplace();
    if (own_->load(locale, QStringLiteral("velhost"), QStringLiteral("_"),
                   QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(&*own_);
    else
        own_.reset();
    qt_.emplace();
    if (qt_->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&*qt_);
    else
        qt_.reset();
}

WindowLanguage::~WindowLanguage() {
    if (own_) QCoreApplication::removeTranslator(&*own_);
    if (qt_) QCoreApplication::removeTranslator(&*qt_);
}

QString say(const vel::Words& words) {
    const QString wording = QCoreApplication::translate(words.wording.context, words.wording.text);
    // One pass, as a value may hold "%1" itself (a layer's name).
    QString text;
    for (qsizetype i = 0; i < wording.size(); ++i) {
        const qsizetype n = wording[i] == QLatin1Char('%') && i + 1 < wording.size() &&
                                    wording[i + 1] >= QLatin1Char('1') &&
                                    wording[i + 1] <= QLatin1Char('9')
                                ? wording[i + 1].unicode() - '1'
                                : -1;
        if (n < 0 || n >= static_cast<qsizetype>(words.values.size())) {
            text += wording[i];
            continue;
        }
        const vel::WordsValue& value = words.values[static_cast<size_t>(n)];
        if (const auto* word = std::get_if<vel::Wording>(&value))
            text += QCoreApplication::translate(word->context, word->text);
        else
            text += QString::fromStdString(std::get<std::string>(value));
        ++i;
    }
    return text;
}

}  // namespace velgui
