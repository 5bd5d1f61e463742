// Every message of the grid surface passes here first: keys, pointer and the right-click
// that opens the context menu.
#pragma once

#include <cstdint>

#include "shell/app.h"

namespace tomo {

inline constexpr std::uint32_t kKeyUp = 0x0101;
inline constexpr std::uint32_t kKeyDown = 0x0100;
inline constexpr std::uint32_t kPointerMoved = 0x0200;
inline constexpr std::uint32_t kLeftButtonDown = 0x0201;
inline constexpr std::uint32_t kRightButtonDown = 0x0204;
inline constexpr std::uint32_t kWheel = 0x020A;
inline constexpr std::uint32_t kHorizontalWheel = 0x020E;

// A menu or its command, an open entry or a scan under way: a new command now would break
// into it, so the right-click and a dropped database are refused.
bool Busy(const App& app);

// Handles one surface message; the caller then passes it on to the surface's own handler.
void SurfaceHandler(App& app, std::uint32_t message, std::uint64_t wParam, std::int64_t lParam);

}  // namespace tomo
