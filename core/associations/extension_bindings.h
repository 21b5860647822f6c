// The program's list of extension bindings against the association store:
// the typed lists of the welcome window, the walk over the extensions
// dialog's ticked lines, the new-extension field, and the check at start-up
// that keeps only the bindings the desktop still has.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "associations/association_store.h"
#include "settings/stored_state.h"

namespace prambus {

// Shows one of the messages below (UTF-8) between the modal steps.
using ShowMessage = std::function<void(const std::string&)>;

inline constexpr const char* kParseFailedMessage =
    "К сожалению, я не разобрал запись, которую вы написали. Поэтому не могу за собой закрепить "
    "расширения файлов.";
inline constexpr const char* kRefusedNewExtensionMessage =
    "Это расширение очень важно для системы. И если я закреплюсь за ним, то это может привести к "
    "её краху. Так что я рисковать не буду.";
// "Расширение " + ext + this, for a refused extension of a typed list.
inline constexpr const char* kRefusedTypedExtensionTail =
    " очень важно для системы. И если я закреплюсь за ним, то это может привести к её краху. Так "
    "что я рисковать не буду.";

// A binding that failed, in this system's terms: which file could not be
// read or written and why, or which helper program failed.
std::string BindFailedMessage(const std::optional<AssociationFailure>& failure);

// Collects the messages of a batch of bindings, each text once, to be shown
// when the batch is done: a list that cannot be written fails every
// extension of the batch the same way, and is worth one note.
ShowMessage CollectingOnce(std::vector<std::string>& messages);

// Extensions the program never takes over: programs and the desktop's own
// entries. Compared without regard to case.
bool IsRefusedExtension(std::string_view ext);

// The text of the new-extension field as an extension: trailing spaces, one
// leading "*" and one leading "." taken off, then a "." put in front.
// nullopt when nothing is left.
std::optional<std::string> ExtensionFromField(std::string_view text);

// Binds every extension of a typed list such as "*.txt, *.dat" and appends
// the ones the list does not hold yet, with viewIndex. Stops with the parse
// message at the first entry that is not "*.ext" or ".ext"; a refused
// extension gets its message and the others go on. Only the first extension
// of the text asks for the program's entry to be written.
void BindTypedList(std::string_view text, uint8_t viewIndex, AssociationStore& store,
                   std::vector<ExtensionBinding>& bindings, const ShowMessage& show);

// One line of the extensions dialog.
struct BindingChoice {
  ExtensionBinding binding;
  bool ticked = false;
};

// The new binding list from the dialog's lines: ticked lines are bound (the
// first of them asking for the program's entry) and kept in order, even when
// binding failed; unticked lines are unbound and dropped. The unticked lines
// are released first, so that a ticked extension sharing a file type with
// an unticked one ends up bound.
std::vector<ExtensionBinding> ApplyBindingChoices(const std::vector<BindingChoice>& lines,
                                                  AssociationStore& store, const ShowMessage& show);

// The bindings the desktop still routes to this program.
std::vector<ExtensionBinding> KeepBoundBindings(const std::vector<ExtensionBinding>& bindings,
                                                AssociationStore& store);

}  // namespace prambus
