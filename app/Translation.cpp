#include "app/Translation.h"

#include "app/TranslationContexts.h"
#include "model/Texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

namespace faceto {

QString shownText(std::string_view text) {
    const QString whole = QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (QCoreApplication::instance() == nullptr) {
        return whole;
    }
    QStringList lines = whole.split('\n');
    for (QString& line : lines) {
        const QByteArray source = line.toUtf8();
        for (const char* context : TEXT_CONTEXTS) {
            if (context == nullptr) {
                break;
            }
            const QString translated = QCoreApplication::translate(context, source.constData());
            if (translated != line) {
                line = translated;
                break;
            }
        }
    }
    return lines.join('\n');
}

bool installTranslations(QCoreApplication& application, const QLocale& locale) {
    auto* own = new QTranslator(&application);
    if (!own->load(locale, "faceto", "_", ":/i18n")) {
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    setTextTranslator([](std::string_view text) { return shownText(text).toStdString(); });
    auto* toolkit = new QTranslator(&application);
    if (toolkit->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(toolkit);
    } else {
        delete toolkit;
    }
    return true;
}

} // namespace faceto
