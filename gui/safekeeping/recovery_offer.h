// At start-up: copies of documents that a plug-in run took down with the
// program are offered back to the user, all of them in one list.
#pragma once

namespace prambus {

class MainWindow;

// Shows the list of copies left behind (RecoveryListDialog): "Открыть" makes
// the chosen copy the unsaved document it was, and the copy becomes that
// document's copy, removed only once the document is saved or given up; a
// copy that cannot be loaded
// leaves the window as it was and stays where it is, and the list comes
// back. "Удалить" discards copies, "Позже" keeps the rest for the next start.
void OfferRecoveryCopies(MainWindow& window);

}  // namespace prambus
