#pragma once

class QCoreApplication;

// Qt's own dialogs, such as the file and folder choosers, speak the program's Chinese: Qt's
// Chinese translation, as the system ships it (Debian's package qttranslations5-l10n), is
// installed on app, whatever the desktop's language. False where the system has none; those
// dialogs then stay in English.
bool installQtChineseTranslation(QCoreApplication &app);
