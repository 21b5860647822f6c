// The program-wide settings record: every tunable value with its default.
// Subsystems read it directly; data.dat loads and saves it; the
// fine-settings table edits it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/canvas.h"

namespace prambus {

// Eight yes/no flags kept as one setting.
using Flags8 = std::array<bool, 8>;

// Each stored member is declared once more in the settings schema
// (settings_schema.cpp), which reads, writes, bounds and shows it.
struct Settings {
  // General
  int32_t MaxUndoLen = 1000000;
  int32_t OtstupX = 2;
  int32_t OtstupY = 2;
  int32_t MaxRecentListLen = 5;
  bool RecListinSubMenu = false;
  bool RememberCurPos = true;
  bool ExitOnEsc = false;
  bool SaveOnF2 = false;
  bool CutOnCtrlDel = false;  // key "CutOnCtrl+Del"
  bool TrySaveReadOnly = false;
  // A document without unsaved changes whose file another program changed is
  // loaded anew without a question.
  bool ReloadChangedFiles = false;
  // A file opened with no encoding remembered for it is shown in the
  // encoding its first bytes suggest.
  bool DetectEncoding = true;
  // Printing (centimetres)
  double LeftMargin = 1.0;
  double RightMargin = 1.0;
  double TopMargin = 1.0;
  double BottomMargin = 0.0;
  bool NumPages = true;
  // Message box
  int32_t HButtonMargin = 20;
  int32_t VButtonMargin = 5;
  int32_t MaxButtonsinRow = 4;
  int32_t HSpaceBetween = 30;
  int32_t MarginforButton = 40;
  int32_t VSpaceBetween = 10;
  int32_t MarginforText = 10;
  Color TextColor = 0;
  std::string TextFont = "MS sans Serif";
  int32_t TextSize = 10;
  uint8_t TextStyle = 0;  // Bold 1, Italic 2, Underlined 4, Strikeout 8
  // View area
  int32_t Shag = 10000;       // the copy in effect, fixed at start
  int32_t ShagSaved = 10000;  // the copy written to data.dat
  int32_t HScrollStep = 4;
  int32_t VScrollStep = 1;
  double Distance = 0.0;
  Color ChosenTextClr = 0xF0FBFF;
  Color ChosenFonClr = 0x800000;
  // Text view
  double PageFracture = 0.8;
  int32_t MaxTextWidth = 100000;
  // Hex view
  double HDistance = 0.6;
  int32_t TextBaseSyst = 16;
  int32_t CoordBaseSyst = 16;
  Color CoordColor = 0x800000;
  bool FirstZeroes = true;
  Color LineColor = 0;
  double LineWidth = 0.3;
  Color MarginColor = 0xC0C0C0;
  double MarginWidth = 0.3;
  Flags8 CodeInfo = {false, true, true, false, false, true, false, true};

  // Stored values without a key in the fine-settings table
  int32_t HexColumns = 16;
  int32_t MinRestoredWidth = 50;
  int32_t MinRestoredHeight = 30;
  int32_t DataWindowLeft = 780;
  int32_t DataWindowTop = 550;
  std::string LineEnd = "\r";  // "\r", "\n" or "\r\n"
  bool MinimalModeWarning = true;

  // Not stored
  bool FirstPaintPending = true;
  std::array<int, 2> ViewKindTable = {1, 2};
  // Effective margins: OtstupX/OtstupY reduced by the main window on resize.
  int32_t EffOtstupX = 2;
  int32_t EffOtstupY = 2;

  bool operator==(const Settings&) const = default;
};

// The one program-wide instance.
Settings& Cfg();

// The block size of the text view's row arrays: Shag, kept within what can
// be allocated (a huge value must not make every new view fail).
int ShagInEffect();

}  // namespace prambus
