// At start-up, before any document is read: what saves of a killed program
// left on the disk. Temporary copies and backups of untouched files go
// without a word; a file that was being rewritten in place gets its backup
// offered back.
#pragma once

namespace prambus {

class MainWindow;

// For each file rewritten when its program was killed: "Вернуть" puts the
// backup's content back into the file, "Оставить оба" keeps the file as it
// is and the backup where it is; closing the question asks again at the
// next start.
void OfferInterruptedSaves(MainWindow& window);

}  // namespace prambus
