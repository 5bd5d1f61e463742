// The program's bilingual texts: every text the user sees exists in English and Spanish,
// chosen by UseEnglish when it is shown. Texts are in the system's ANSI code page.
#pragma once

#include <string_view>

#include "shell/app.h"

namespace tomo {

struct Bilingual {
  std::string_view english;
  std::string_view spanish;
};

inline std::string_view Say(const App& app, Bilingual text) {
  return app.UseEnglish != 0 ? text.english : text.spanish;
}

inline constexpr std::string_view kMessageTitle = "TOMO";
inline constexpr std::string_view kWindowCaption = "TOMO BD";

}  // namespace tomo
