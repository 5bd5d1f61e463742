// The context menu's items in the current language, and showing it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/ui.h"
#include "shell/app.h"

namespace tomo {

// The context menu's items, with the "Colors" submenu, in the language of UseEnglish.
std::vector<MenuItem> BuildContextMenu(const App& app);
// Builds the menu with the swatch picture, shows it at the surface point and returns the
// chosen command, 0 when dismissed.
std::int32_t ShowContextMenu(App& app, int x, int y);

}  // namespace tomo
