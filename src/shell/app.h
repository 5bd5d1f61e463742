// The program's whole state: one struct whose members carry the names the rules use.
// Procedures are free functions that take it, so every test builds a fresh state.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "shell/cell_grid.h"
#include "storage/database.h"
#include "storage/field_def.h"

namespace tomo {

// The colour mark of one record (24 bytes in the original layout).
struct ColorMark {
  std::int32_t CellMarked = 0;
  std::int32_t RecordMarked = 0;
  std::int64_t MarkedRecord = 0;
  Color MarkColor = 0;
  std::int16_t MarkColumn = 0;
  std::int16_t MarkRow = 0;
};

inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kSilver = 0xC0C0C0;
inline constexpr Color kRed = 0x0000FF;

// A surface message held back while the ending typed input scans and fills, with the
// character its key release carried.
struct HeldMessage {
  std::uint32_t message = 0;
  std::uint64_t wParam = 0;
  std::int64_t lParam = 0;
  int character = 0;
};

// The read positions and scan pacing are the ReadState the database reads share.
struct App : ReadState {
  explicit App(Platform& p) : platform(p) {}
  Platform& platform;

  // Display (start-up values are set by the initialisation step).
  PictureId OffscreenPicture = 0;
  std::int16_t CellWidth = 103;
  std::int16_t CellHeight = 29;
  std::int16_t CellGap = 3;
  Color CellBackColor = kWhite;
  std::int16_t LastColumn = 0;
  std::int16_t LastRow = 0;
  Color SwatchColor = kRed;
  std::int32_t UseEnglish = 0;

  // Navigation and modes.
  std::int64_t FirstRecord = 0;
  std::int32_t FirstField = 1;
  std::int16_t CurrentColumn = 3;
  std::int16_t CurrentRow = 13;
  CellGrid Cells;
  std::int32_t DatabaseLinked = 0;
  std::int32_t InputActive = 0;
  std::int32_t EntryIsRecordNumber = 0;
  // 1 from the start of "Go to database record .." or "Search" until Enter ends the entry:
  // typed keys are taken only then, never while a menu command or a message box runs.
  std::int32_t TypedInputOpen = 0;
  std::int32_t NavigationBusy = 0;
  std::array<std::int32_t, 2> WheelRest{};  // parts of a wheel notch: [0] fields, [1] records
  std::int32_t ReportShown = 0;
  std::string TypedText;
  std::int32_t HoldingInput = 0;  // 1 while the ending typed input scans and fills
  std::vector<HeldMessage> HeldInput;
  std::int32_t Exporting = 0;        // 1 while "Export ..." writes its file
  std::int32_t ExportCancelled = 0;  // Esc pressed while exporting

  // Database.
  std::string DatabaseFolder;    // UTF-8 path, empty until a folder is chosen
  std::vector<FieldDef> Fields;  // field number f is Fields[f - 1]

  // Colour marks.
  // Only the marks made are kept, by record number, so memory follows the marks and not the
  // record numbers. Records 1..RecordColorsCount (the record count when the table was
  // created) can be marked.
  std::map<std::int64_t, ColorMark> RecordColors;
  std::int64_t RecordColorsCount = 0;
  std::int64_t LastColoredRecord = 0;
  std::array<Color, 16> CustomColors{};
};

}  // namespace tomo
