#include "shell/file_messages.h"

#include <cerrno>

#include "io/lexical_path.h"
#include "shell/shown_name.h"
#include "shell/status_text.h"

namespace prambus {
namespace {

std::string ErrorCode(int err) {
  return "система сообщила об ошибке с кодом " + std::to_string(err);
}

// Why a backup copy could not be written, as a clause.
std::string BackupReason(const SaveOutcome& o) {
  switch (o.problem) {
    case FileProblem::kNoSpace:
      return "на диске не хватает места";
    case FileProblem::kNoPermission:
      return "ни рядом с файлом, ни в папке кэша мне нельзя записывать";
    default:
      return ErrorCode(o.error);
  }
}

}  // namespace

std::string CannotOpenMessage(const std::string& path, FileProblem problem, int err) {
  const std::string head = "Не могу открыть " + QuotedPath(path) + ": ";
  switch (problem) {
    case FileProblem::kMissing:
      return head + "такого файла нет.";
    case FileProblem::kNoPermission:
      return head + "у вас нет прав на чтение этого файла.";
    case FileProblem::kFolder:
      return head + "это папка, а не файл.";
    case FileProblem::kNotRegularFile:
      return head +
             "это не обычный файл, а канал, устройство или сокет. Я открываю только "
             "обычные файлы.";
    case FileProblem::kTooLarge:
      return head + "файл слишком велик.";
    default:
      return head + ErrorCode(err) + ".";
  }
}

std::string AmbiguousChosenNameMessage(const std::string& text) {
  return "Имя " + QuotedPath(text) +
         " подходит к двум файлам: к файлу с таким именем и к файлу, в имени которого есть "
         "байты, не составляющие букв (окно выбора файла показывает их так же). Я не знаю, "
         "какой из них вы выбрали, поэтому ничего не сделал. Выберите другое имя или "
         "переименуйте один из файлов.";
}

std::string SaveFailedMessage(const std::string& path, const SaveOutcome& o) {
  if (o.result == SaveResult::kReadOnly) return kWriteProtectedMessage;
  const std::string head = "Не могу сохранить изменения: ";
  std::string text;
  if (o.noBackup) {
    text = head +
           "файл приходится переписывать на его месте, а сделать резервную копию прежнего "
           "содержимого не получилось (" +
           BackupReason(o) + ").";
  } else {
    switch (o.problem) {
      case FileProblem::kNoPermission:
        if (o.targetExisted) return kWriteProtectedMessage;
        return head + "в папку " + QuotedPath(FolderOf(path)) + " мне нельзя записывать.";
      case FileProblem::kNoSpace:
        text = head + "на диске не хватает места.";
        break;
      case FileProblem::kMissing:
        text = head + "папки " + QuotedPath(FolderOf(path)) + " больше нет.";
        break;
      case FileProblem::kFolder:
        return head + QuotedPath(path) + " — это папка.";
      case FileProblem::kNotRegularFile:
        return head + QuotedPath(path) + " — не обычный файл, а канал, устройство или сокет.";
      case FileProblem::kReplaced:
        return head +
               "пока я записывал файл, другая программа заменила или изменила его. Её версию я "
               "не тронул; если нужна ваша, сохраните ещё раз.";
      case FileProblem::kTooLarge:
        text = head + "файл получается слишком большим для этого диска.";
        break;
      default:
        text = head + ErrorCode(o.error) + ".";
        break;
    }
  }
  if (!o.originalIntact)
    return text + " Вернуть файлу прежнее содержимое тоже не получилось: оно сохранено в " +
           QuotedPath(o.backupKept) + ".";
  if (o.targetExisted) text += " Файл на диске остался прежним.";
  return text;
}

std::string LineEndConversionNote(const std::string& lineEnd) {
  return "Когда вы сохраните этот файл, я заменю в нём переводы строки на " + LineEndName(lineEnd) +
         ": так выбрано в меню «Дополнительно → Переводы строки». Чтобы оставить их как есть, "
         "выберите там «Оставить как есть».";
}

std::string HelpMissingMessage(const std::string& helpPath) {
  return "Не могу показать справку: файла " + QuotedPath(helpPath) + " нет.";
}

std::string WriteProblemClause(const std::string& path, FileProblem problem, int err) {
  switch (problem) {
    case FileProblem::kNoPermission:
      return "мне нельзя записывать в " + QuotedPath(path);
    case FileProblem::kNoSpace:
      return "на диске не хватает места";
    case FileProblem::kMissing:
      return "папки " + QuotedPath(FolderOf(path)) + " нет";
    case FileProblem::kFolder:
      return QuotedPath(path) + " — это папка";
    case FileProblem::kNotRegularFile:
      return QuotedPath(path) + " — не обычный файл, а канал, устройство или сокет";
    case FileProblem::kTooLarge:
      return "файл получается слишком большим для этого диска";
    case FileProblem::kReplaced:
      return "пока я записывал файл, другая программа заменила или изменила его";
    default:
      return ErrorCode(err);
  }
}

namespace {
// Why nothing could be written into a folder, as a clause.
std::string FolderProblemClause(int err) {
  switch (err) {
    case ENOENT:
      return "такой папки нет, и создать её не получилось";
    case ENOTDIR:
      return "на её месте или на пути к ней стоит файл, а не папка";
    case EROFS:
      return "диск, на котором она лежит, доступен только для чтения";
    case ENOMEM:
      return "не хватает памяти";
    default:
      break;
  }
  switch (ProblemOfErrno(err)) {
    case FileProblem::kNoPermission:
      return "мне нельзя в неё записывать";
    case FileProblem::kNoSpace:
      return "на диске не хватает места";
    default:
      return ErrorCode(err);
  }
}
}  // namespace

std::string RecoveryCopyFailedMessage(const std::string& folder, int err) {
  return "Не могу записать страховую копию документа в папку " + QuotedPath(folder) + ": " +
         FolderProblemClause(err) +
         ". Последние изменения есть только в этом окне: если программа аварийно завершится, "
         "они пропадут. Сохраните документ; копию я буду пробовать записать снова.";
}

std::string PrintToFileFailedMessage(const std::string& path, FileProblem problem, int err,
                                     bool targetExisted) {
  // A file that is not there yet cannot be written for its folder's sake.
  const std::string where =
      problem == FileProblem::kNoPermission && !targetExisted ? FolderOf(path) : path;
  std::string text = "Не могу напечатать документ в файл " + QuotedPath(path) + ": " +
                     WriteProblemClause(where, problem, err) + ".";
  if (targetExisted) text += " Файл на диске остался прежним.";
  return text;
}

namespace {
std::string InterruptedSaveHead(const std::string& target) {
  return "В прошлый раз сохранение файла " + QuotedPath(target) +
         " прервалось на середине, и теперь в нём может оказаться смесь нового и прежнего "
         "содержимого.";
}
}  // namespace

std::string InterruptedSaveQuestion(const std::string& target, const std::string& backup) {
  return InterruptedSaveHead(target) + " Прежнее содержимое цело: оно в резервной копии " +
         QuotedPath(backup) +
         ". Вернуть его в файл? Если оставить оба, файл останется как есть, а "
         "резервная копия — на своём месте.";
}

std::string InterruptedSaveBackupMissing(const std::string& target, const std::string& backup) {
  return InterruptedSaveHead(target) + " Резервной копии " + QuotedPath(backup) +
         " с прежним содержимым больше нет, так что вернуть его я не могу.";
}

std::string InterruptedSaveTargetReplaced(const std::string& target, const std::string& backup) {
  return "Прежнее содержимое в " + QuotedPath(target) +
         " я возвращать не стал: с тех пор этот файл заменили другим. Резервная копия осталась в " +
         QuotedPath(backup) + ".";
}

std::string InterruptedSavePutBackFailed(const std::string& target, const std::string& backup,
                                         int err) {
  return "Не могу вернуть прежнее содержимое в " + QuotedPath(target) + ": " +
         WriteProblemClause(target, ProblemOfErrno(err), err) + ". Резервная копия осталась в " +
         QuotedPath(backup) + ", и при следующем запуске я спрошу о ней снова.";
}

std::string DamagedSettingsQuestion(const std::string& path, const std::string& aside) {
  return "Файл настроек " + QuotedPath(path) +
         " повреждён, и прочитать его до конца я не смог. Начать с настроек по умолчанию? "
         "Повреждённый файл я тогда отложу под именем " +
         QuotedPath(aside) +
         ", ничего в нём не меняя. Если оставить как есть, я применю прочитанные настройки, но "
         "положение, рамку, меню и цвета окна возьму по умолчанию; сам файл я не трону и при "
         "следующем запуске спрошу снова.";
}

std::string DamagedSettingsNotSetAside(const std::string& path, const std::string& aside, int err) {
  return "Не могу отложить файл настроек " + QuotedPath(path) + " под именем " + QuotedPath(aside) +
         ": " + WriteProblemClause(aside, ProblemOfErrno(err), err) +
         ". Файл остался как есть, и настройки этого запуска я в него не сохраню.";
}

}  // namespace prambus
