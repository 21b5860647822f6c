// Qt's own Russian texts ("Отмена", "Папка:", "Выбор шрифта"...) for the
// standard dialogs, whatever the desktop's language: the program speaks
// Russian throughout.
#pragma once

class QCoreApplication;

namespace prambus {

// Installs Qt's Russian translations on the application; false when they
// are not installed on this system (the dialogs then keep Qt's English).
bool InstallRussianTranslations(QCoreApplication& app);

}  // namespace prambus
