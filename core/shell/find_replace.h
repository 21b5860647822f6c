// The find and replace commands over a view, without their windows: the
// region a search runs over ("С самого начала", "С позиции курсора", "В
// выделенном тексте"), the replace step that acts only on the match it
// selected, "Заменить всё", and the end-of-search messages.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "shell/replace_pass.h"
#include "views/view_base.h"

namespace prambus {

inline constexpr int32_t kNoLimit = 2147483647;

// "Я завершил поиск текста \"TEXT\". Ничего не найдено." (UTF-8; text is
// Windows-1251, or UTF-8 already when utf8).
std::string NothingFoundMessage(const std::string& text, bool utf8 = false);
// "Я завершил поиск текста \"TEXT\". Больше он не встречается."
std::string NoMoreMessage(const std::string& text, bool utf8 = false);

enum class StartFrom { kBeginning, kCursor, kSelection };

struct ReplaceOptions {
  std::string find;     // Windows-1251
  std::string replace;  // Windows-1251
  bool caseSensitive = false;
  bool replaceCodes = false;  // hex view: the replacement is a code list
  bool undoOn = true;         // "Отмена включена"
  StartFrom start = StartFrom::kBeginning;
};

// What a view may offer besides the base operations: the hex view's search
// mode and code parsing. The hooks hold no view: the session hands them the
// view it is working on at each step, so a view replaced between two steps
// (F6, New, Open) is never reached through them.
struct ReplaceHooks {
  std::function<void(ViewBase&, int)> setSearchAs;                   // 1 text, 2 codes, 3 both
  std::function<bool(const std::string&, std::string&)> parseCodes;  // false when invalid
  // True when the view reads its bytes as UTF-8 characters (text compared
  // without case is folded as UTF-8 then).
  std::function<bool(const ViewBase&)> readsUtf8;
};

class ReplaceSession {
 public:
  ReplaceOptions options;
  ReplaceHooks hooks;

  int32_t RegionLeft = -1;  // -1: no search since the last reset
  bool Finished = false;
  // "В выделенном тексте" can be chosen: the dialog was shown over a
  // selection that no search has used yet.
  bool SelectionChoice = false;

  // The dialog is shown; the selection choice follows the view's selection.
  void Show(bool hasSelection);
  // Any edit of the fields or of the case and code boxes: the next search
  // starts afresh, from the start when the selection choice is used up.
  void Reset();

  // "Найти далее"; true when a match is selected. A failed step sets message.
  bool FindNext(ViewBase& view, std::string& message);
  // "Заменить": replaces the selected match and finds the next one.
  // Returns true when the document changed.
  bool Replace(ViewBase& view, std::string& message);
  // "Заменить всё": replaces every match from the selected one to the end of
  // the region, as many "Заменить" would, in one pass over the bytes: the
  // document changes once and is laid out once; the undo history holds a
  // record per match as the single steps leave it. Returns the count. After a
  // finished search it runs over the same region again. progress hears how
  // far the search has come; when it answers false the document stays as it
  // was and nothing is counted.
  int ReplaceAll(ViewBase& view, std::string& message, const PassProgress& progress = {});

  // Each of the three commands first checks that the view shows the
  // document, at the revision, its last step left: after anyone else's
  // change (an edit, another document) the region's offsets mean nothing,
  // and the search starts afresh as if the window had just been shown, over
  // the new selection or else the whole document.

 private:
  void FollowDocument(const ViewBase& view);
  bool BeginSearch(ViewBase& view, std::string& message);
  bool SearchFromCursor(ViewBase& view, std::string& message);
  bool SearchStep(ViewBase& view, bool fromCursor, std::string& message);
  bool OnMatch(ViewBase& view) const;
  bool Replacement(std::string& bytes, std::string& message);
  bool ReplaceMatch(ViewBase& view, const std::string& bytes, std::string& message);
  int ReplaceInOnePass(ViewBase& view, const std::string& bytes, std::string& message,
                       const PassProgress& progress);

  // The region by offsets: where the search began and where it must end
  // (-1: the end of the document); each replacement moves the end.
  int regionStart_ = 0;
  int regionEnd_ = -1;
  int savedCol_ = 0, savedRow_ = 0;      // the cursor before the last search step
  int matchStart_ = -1, matchEnd_ = -1;  // the match the last step selected; -1: none
  RevisionMark mark_;                    // the document as the last step left it
};

}  // namespace prambus
