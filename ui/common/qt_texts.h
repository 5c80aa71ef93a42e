#pragma once
// Qt's own texts (file dialogs, standard buttons, its questions and messages)
// in Japanese, whatever the user's locale: the program's interface is Japanese.

#include <iosfwd>

class QCoreApplication;

namespace trelmo::ui {

// Installs Qt's Japanese translation (qtbase_ja from Qt's translations folder,
// Debian package qt6-translations-l10n) on the application, together with the
// file-type texts that Qt 6 looks up under a context that file does not have,
// and makes Japanese the default locale (file types in the file dialog).
// Without the translation Qt's texts stay English: one line on `warnings`
// says so and false is returned.
bool useQtJapanese(QCoreApplication& app, std::ostream& warnings);

}  // namespace trelmo::ui
