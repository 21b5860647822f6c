// At start-up, before any document is read: what saves of a killed program
// left on the disk. Temporary copies and backups of untouched or wholly
// written files go without a word; a file that was being rewritten in place
// gets its backup offered back.
#pragma once

namespace prambus {

class MainWindow;

// For each file that may be half rewritten since its program was killed:
// "Оставить оба" (the default) keeps the file as it is and the backup where
// it is, "Вернуть" puts the backup's content back into the file; closing
// the question asks again at the next start. A file written to the end
// before the kill is whole: its backup went without a word.
void OfferInterruptedSaves(MainWindow& window);

}  // namespace prambus
