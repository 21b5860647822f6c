// At start-up: copies of documents that a plug-in run took down with the
// program are offered back to the user.
#pragma once

namespace prambus {

class MainWindow;

// Asks about each copy left behind: "Открыть" shows it as the unsaved
// document it was (and stops asking), "Удалить" discards it, "Позже" keeps
// it for the next start.
void OfferRecoveryCopies(MainWindow& window);

}  // namespace prambus
