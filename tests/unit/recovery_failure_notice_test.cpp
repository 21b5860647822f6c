// Recovery copies that keep failing are told once per run of failures,
// with the folder and the system's reason.
#include "shell/recovery_failure_notice.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "shell/file_messages.h"

namespace prambus {
namespace {

TEST(RecoveryFailureNotice, ARunOfFailuresIsToldOnceAndAgainOnlyAfterASuccess) {
  RecoveryFailureNotice n;
  EXPECT_FALSE(n.Take());  // nothing failed
  n.Succeeded();
  EXPECT_FALSE(n.Take());
  n.Failed("/home/u/.config/prambus/recovery", EACCES);
  n.Failed("/home/u/.config/prambus/recovery", ENOSPC);  // the latest reason is told
  const std::optional<std::string> told = n.Take();
  ASSERT_TRUE(told);
  EXPECT_EQ(*told, RecoveryCopyFailedMessage("/home/u/.config/prambus/recovery", ENOSPC));
  EXPECT_FALSE(n.Take());
  for (int retry = 0; retry < 5; ++retry) {  // retried on the schedule, quietly
    n.Failed("/home/u/.config/prambus/recovery", ENOSPC);
    EXPECT_FALSE(n.Take());
  }
  n.Succeeded();
  EXPECT_FALSE(n.Take());
  n.Failed("/f", EIO);
  EXPECT_EQ(n.Take(), RecoveryCopyFailedMessage("/f", EIO));
}

TEST(RecoveryFailureNotice, AFailureNoLongerTrueBeforeItIsToldIsNotTold) {
  RecoveryFailureNotice n;
  n.Failed("/f", ENOSPC);
  n.Succeeded();  // the next copy was written
  EXPECT_FALSE(n.Take());
  n.Failed("/f", ENOSPC);
  n.Withdraw();  // the document was saved meanwhile
  EXPECT_FALSE(n.Take());
  n.Failed("/f", ENOSPC);  // and is news again after that
  EXPECT_TRUE(n.Take());
  n.Withdraw();  // once told, a failure is not told again until a success
  n.Failed("/f", ENOSPC);
  EXPECT_FALSE(n.Take());
}

TEST(RecoveryCopyFailedMessage, NamesTheFolderAndTheReason) {
  const std::string head = "Не могу записать страховую копию документа в папку «/d/recovery»: ";
  const std::string tail =
      ". Последние изменения есть только в этом окне: если программа аварийно завершится, они "
      "пропадут. Сохраните документ; копию я буду пробовать записать снова.";
  const std::pair<int, const char*> cases[] = {
      {EACCES, "мне нельзя в неё записывать"},
      {EPERM, "мне нельзя в неё записывать"},
      {EROFS, "диск, на котором она лежит, доступен только для чтения"},
      {ENOSPC, "на диске не хватает места"},
      {EDQUOT, "на диске не хватает места"},
      {ENOENT, "такой папки нет, и создать её не получилось"},
      {ENOTDIR, "на её месте или на пути к ней стоит файл, а не папка"},
      {ENOMEM, "не хватает памяти"},
      {EIO, "система сообщила об ошибке с кодом 5"},
  };
  for (const auto& [err, reason] : cases)
    EXPECT_EQ(RecoveryCopyFailedMessage("/d/recovery", err), head + reason + tail) << err;
  // A name that is not text is shown with its bytes.
  EXPECT_NE(RecoveryCopyFailedMessage("/d/\xff", EIO).find("«/d/\\xFF»"), std::string::npos);
}

}  // namespace
}  // namespace prambus
