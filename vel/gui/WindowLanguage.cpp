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
    QString text = QCoreApplication::translate(words.wording.context, words.wording.text);
    for (const std::string& value : words.values) text = text.arg(QString::fromStdString(value));
    return text;
}

}  // namespace velgui
