// Colour marks on cells and records, the colour dialog and the swatch picture.
#pragma once

#include <string>

#include "shell/app.h"

namespace tomo {

void ChooseColorCommand(App& app);
void MarkCell(App& app);
void MarkRecord(App& app);
void UndoColor(App& app);
void ResetColors(App& app);

// Draws the 16 x 16 swatch in the colour and saves it as a fresh temporary file, whose path
// it returns (empty text when it could not be written).
std::string MakeSwatch(App& app, const Color& color);
// Deletes the swatch file.
void DeleteSwatch(App& app, const std::string& path);

}  // namespace tomo
