#pragma once

#include <QLocale>
#include <QString>
#include <string_view>

class QCoreApplication;

namespace faceto {

// A text of the toolkit-free layers (marked FACETO_TEXT where it is written) in the user's language,
// line by line: a line without a translation (a file name, a reader's reason) stays as it is.
QString shownText(std::string_view text);

// Installs the editor's translation for `locale` and the toolkit's own (its dialogs' buttons); false
// when the editor has none for that language (it then speaks English).
bool installTranslations(QCoreApplication& application, const QLocale& locale);

} // namespace faceto
