// What the file commands tell the user when opening, saving or showing the
// help fails: what failed and why, in the program's own voice. Texts are
// UTF-8; paths appear as ShownPathOf shows them.
#pragma once

#include <string>

#include "io/io_error.h"
#include "shell/safe_save.h"

namespace prambus {

// A file that was opened but could not be loaded (too long, cut short).
inline constexpr char kLoadFailedMessage[] =
    "Файл открыть не получилось (возможно, он слишком велик)";
// An edit refused because the document would pass the largest size the
// program works with (the largest file it opens). The number's spaces do
// not break, so a wrapped line never splits it.
inline constexpr char kDocumentTooLongMessage[] =
    "Я не могу добавить это в документ: он стал бы длиннее "
    "2\u00A0147\u00A0483\u00A0647\u00A0байт.";
// An edit, an undo step or a switch of view refused because the memory it
// needs could not be had: asked for before anything changed.
inline constexpr char kOutOfMemoryMessage[] =
    "Мне не хватает памяти, чтобы это сделать. Документ остался таким, каким был.";
// A command that needs the whole document, reached while another command
// was still waiting for the document to finish loading.
inline constexpr char kRefusedDuringLoadMessage[] =
    "Документ ещё загружался, а команда работает со всем документом, поэтому я её не "
    "выполнил. Повторите её, когда загрузка закончится.";
// A command that would change the document, reached while "Заменить всё"
// was still going through it.
inline constexpr char kRefusedDuringReplaceMessage[] =
    "Я ещё заменял текст, а команда меняет документ, поэтому я её не выполнил. "
    "Повторите её, когда замена закончится.";
inline constexpr char kWriteProtectedMessage[] =
    "По всей видимости, файл защищён от записи. Не могу сохранить изменения.";

// A file that cannot even be opened for reading.
std::string CannotOpenMessage(const std::string& path, FileProblem problem, int err);

// A name chosen in the open or save dialog (`text`, as the dialog gave it)
// that fits two files there: nothing was opened or written.
std::string AmbiguousChosenNameMessage(const std::string& text);

// A save that did not happen (never called for a saved one).
std::string SaveFailedMessage(const std::string& path, const SaveOutcome& outcome);

// Said once when a file opens whose line ends saving would change.
std::string LineEndConversionNote(const std::string& lineEnd);

// A help page that is not where it was installed.
std::string HelpMissingMessage(const std::string& helpPath);

// Why writing to a file failed, as a clause to follow a colon:
// "на диске не хватает места".
std::string WriteProblemClause(const std::string& path, FileProblem problem, int err);

// A recovery copy of the modified document that could not be written into
// `folder` for the system's reason `err`.
std::string RecoveryCopyFailedMessage(const std::string& folder, int err);

// Printing to a PDF file that failed for a reason a file gave.
std::string PrintToFileFailedMessage(const std::string& path, FileProblem problem, int err,
                                     bool targetExisted);

// A save of the last run that was killed while it rewrote the file in
// place: the question offering the backup back ("Вернуть" / "Оставить
// оба"), and the notes when that cannot or did not happen.
inline constexpr char kInterruptedSaveCaption[] = "Прерванное сохранение";
std::string InterruptedSaveQuestion(const std::string& target, const std::string& backup);
std::string InterruptedSaveBackupMissing(const std::string& target, const std::string& backup);
std::string InterruptedSaveTargetReplaced(const std::string& target, const std::string& backup);
std::string InterruptedSavePutBackFailed(const std::string& target, const std::string& backup,
                                         int err);

// A data.dat that could not be read to the end: the question offering to
// start afresh with the file set aside as `aside` ("Начать заново" /
// "Оставить как есть"), and the note when setting it aside failed.
std::string DamagedSettingsQuestion(const std::string& path, const std::string& aside);
std::string DamagedSettingsNotSetAside(const std::string& path, const std::string& aside, int err);

}  // namespace prambus
