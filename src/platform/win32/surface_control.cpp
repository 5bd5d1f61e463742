#include "surface_control.h"

#include <memory>

#include "handles.h"

namespace tomo::win32 {

namespace {

constexpr wchar_t kSurfaceClass[] = L"TomoGridSurface";
constexpr LRESULT kWantAllKeys = 4;  // DLGC_WANTALLKEYS: arrows, Enter, Tab and Esc included

struct SurfaceState {
  // Declaration order matters: the selection is undone before the bitmap and DC go.
  MemoryDc dc;
  GdiObject<HBITMAP> bitmap;
  SelectionGuard selection{nullptr, nullptr};
  SIZE size{};
  std::wstring slot;
};

SurfaceState* StateOf(HWND surface) {
  wchar_t name[32] = {};
  if (surface == nullptr || GetClassNameW(surface, name, 32) == 0 ||
      lstrcmpW(name, kSurfaceClass) != 0) {
    return nullptr;
  }
  return reinterpret_cast<SurfaceState*>(GetWindowLongPtrW(surface, 0));
}

void MakeBitmap(SurfaceState& state, int width, int height) {
  state.selection = SelectionGuard(nullptr, nullptr);
  state.bitmap.reset();
  state.dc.reset();
  WindowDc screen(nullptr);
  state.dc.reset(CreateCompatibleDC(screen.get()));
  state.bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
  state.selection = SelectionGuard(state.dc.get(), state.bitmap.get());
  state.size = SIZE{width, height};
  RECT all{0, 0, width, height};
  FillRect(state.dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

// Keys that type no character leave an extended code in the slot.
bool TypesNothing(WPARAM key) {
  return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE ||
         (key >= VK_F1 && key <= VK_F12);
}

void Paint(HWND surface, const SurfaceState& state) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(surface, &paint);
  const RECT& r = paint.rcPaint;
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, state.dc.get(), r.left, r.top,
         SRCCOPY);
  EndPaint(surface, &paint);
}

LRESULT CALLBACK SurfaceProc(HWND surface, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<SurfaceState*>(GetWindowLongPtrW(surface, 0));
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      auto fresh = std::make_unique<SurfaceState>();
      MakeBitmap(*fresh, create->cx, create->cy);
      SetWindowLongPtrW(surface, 0, reinterpret_cast<LONG_PTR>(fresh.release()));
      break;
    }
    case WM_NCDESTROY:
      delete state;
      SetWindowLongPtrW(surface, 0, 0);
      break;
    case WM_ERASEBKGND:
      return 1;  // the bitmap covers everything
    case WM_PAINT:
      if (state != nullptr) {
        Paint(surface, *state);
        return 0;
      }
      break;
    case WM_GETDLGCODE:
      return kWantAllKeys;
    case WM_LBUTTONDOWN:
      SetFocus(surface);
      return 0;
    case WM_CHAR:
      if (state == nullptr || wParam == L'\t') return 0;
      // The low half of a surrogate pair completes the high half before it.
      if (IS_LOW_SURROGATE(wParam) && state->slot.size() == 1 &&
          IS_HIGH_SURROGATE(state->slot[0])) {
        state->slot += static_cast<wchar_t>(wParam);
      } else {
        state->slot.assign(1, static_cast<wchar_t>(wParam));
      }
      return 0;
    case WM_KEYDOWN:
      if (state != nullptr && TypesNothing(wParam)) {
        state->slot.assign({L'\0', static_cast<wchar_t>(wParam)});
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(surface, message, wParam, lParam);
}

}  // namespace

bool RegisterSurfaceClass(HINSTANCE instance) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = SurfaceProc;
  cls.cbWndExtra = sizeof(LONG_PTR);
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.lpszClassName = kSurfaceClass;
  return RegisterClassExW(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateSurface(HWND parent, HINSTANCE instance, int width, int height) {
  return CreateWindowExW(0, kSurfaceClass, L"", kSurfaceStyle, 0, 0, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSurfaceId)), instance,
                         nullptr);
}

HDC SurfaceDc(HWND surface) {
  SurfaceState* state = StateOf(surface);
  return state != nullptr ? state->dc.get() : nullptr;
}

HBITMAP SurfaceBitmap(HWND surface) {
  SurfaceState* state = StateOf(surface);
  return state != nullptr ? state->bitmap.get() : nullptr;
}

SIZE SurfaceBitmapSize(HWND surface) {
  SurfaceState* state = StateOf(surface);
  return state != nullptr ? state->size : SIZE{};
}

void ResizeSurfaceBitmap(HWND surface, int width, int height) {
  if (SurfaceState* state = StateOf(surface)) MakeBitmap(*state, width, height);
  InvalidateRect(surface, nullptr, FALSE);
}

std::wstring TakeSlot(HWND surface) {
  SurfaceState* state = StateOf(surface);
  return state != nullptr ? std::exchange(state->slot, std::wstring()) : std::wstring();
}

int CharacterCode(const std::wstring& slot) {
  if (slot.empty()) return 0;
  char bytes[8] = {};
  const int n = WideCharToMultiByte(CP_ACP, 0, slot.data(), static_cast<int>(slot.size()), bytes,
                                    sizeof bytes, nullptr, nullptr);
  const auto byte = [&bytes](int i) {
    return static_cast<int>(static_cast<unsigned char>(bytes[i]));
  };
  if (n == 1) return byte(0);
  if (n >= 2) return byte(0) | (byte(1) << 8);
  return 0;
}

}  // namespace tomo::win32
