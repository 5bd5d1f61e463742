// The typed input of "Go to database record .." and "Search": its echo and what Enter does.
#pragma once

#include <cstdint>

#include "shell/app.h"

namespace tomo {

inline constexpr std::string_view kRecordDigits = "1234567890";

// Starts the typed input on the current cell (record number when entryIsRecordNumber is 1).
void StartTypedInput(App& app, std::int32_t entryIsRecordNumber);
void AppendTyped(App& app, std::int32_t code);
void DeleteLastTyped(App& app);
void DrawEntryEcho(App& app);
// Ends the typed input (Enter): shows the grid from the typed record number, drops an
// invalid one, or searches for TypedText and shows the grid from the record found. Returns 0
// when a search found nothing; the caller then says so with SayDataNotFound, once the input
// held during the scan has been let through.
std::int32_t FinishEntry(App& app);
void SayDataNotFound(App& app);

}  // namespace tomo
