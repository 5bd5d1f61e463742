#include "surface_control.h"

#include <gtest/gtest.h>

namespace tomo::win32 {
namespace {

class SurfaceControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(RegisterSurfaceClass(instance));
    parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                             instance, nullptr);
    ASSERT_NE(parent, nullptr);
    surface = CreateSurface(parent, instance, 50, 40);
    ASSERT_NE(surface, nullptr);
  }
  void TearDown() override { DestroyWindow(parent); }

  HWND parent = nullptr;
  HWND surface = nullptr;
};

TEST_F(SurfaceControlTest, IsAChildWithItsIdStyleAndAWhiteBitmapOfItsSize) {
  EXPECT_EQ(GetDlgCtrlID(surface), kSurfaceId);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(surface, GWL_STYLE)) & kSurfaceStyle, kSurfaceStyle);
  EXPECT_EQ(SurfaceBitmapSize(surface).cx, 50);
  EXPECT_EQ(SurfaceBitmapSize(surface).cy, 40);
  EXPECT_EQ(GetPixel(SurfaceDc(surface), 49, 39) & 0xFFFFFF, 0xFFFFFFu);
  ResizeSurfaceBitmap(surface, 70, 30);
  EXPECT_EQ(SurfaceBitmapSize(surface).cx, 70);
  EXPECT_EQ(SurfaceDc(parent), nullptr) << "other windows have no surface bitmap";
}

TEST_F(SurfaceControlTest, WantsEveryKey) {
  EXPECT_EQ(SendMessageW(surface, WM_GETDLGCODE, VK_ESCAPE, 0), 4);
}

TEST_F(SurfaceControlTest, KeepsTheLastTypedCharacterButNeverTab) {
  SendMessageW(surface, WM_CHAR, L'a', 0);
  SendMessageW(surface, WM_CHAR, L'b', 0);
  SendMessageW(surface, WM_CHAR, L'\t', 0);
  EXPECT_EQ(TakeSlot(surface), L"b");
  EXPECT_EQ(TakeSlot(surface), L"") << "reading empties the slot";
  SendMessageW(surface, WM_CHAR, 0xD83D, 0);  // a surrogate pair arrives in two halves
  SendMessageW(surface, WM_CHAR, 0xDE00, 0);
  EXPECT_EQ(TakeSlot(surface), std::wstring(L"\xD83D\xDE00"));
}

TEST_F(SurfaceControlTest, KeysWithoutACharacterLeaveAnExtendedCode) {
  for (WPARAM key : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT,
                     VK_INSERT, VK_DELETE, VK_F1, VK_F12}) {
    SendMessageW(surface, WM_CHAR, L'x', 0);
    SendMessageW(surface, WM_KEYDOWN, key, 0);
    const int code = CharacterCode(TakeSlot(surface));
    EXPECT_TRUE(code > 255) << "key " << key << " gave " << code;
  }
  SendMessageW(surface, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(TakeSlot(surface), L"") << "a letter's key press leaves the slot alone";
}

TEST(CharacterCode, IsTheAnsiByteOfTheCharacter) {
  EXPECT_EQ(CharacterCode(L""), 0);
  EXPECT_EQ(CharacterCode(L"a"), 97);
  EXPECT_EQ(CharacterCode(L"\r"), 13);
  EXPECT_EQ(CharacterCode(L"\x1B"), 27);
  if (GetACP() == 1252) {
    EXPECT_EQ(CharacterCode(L"\x20AC"), 128);  // the euro sign
    EXPECT_EQ(CharacterCode(L"\x00F1"), 241);
    EXPECT_EQ(CharacterCode(L"\x0416"), '?') << "the code page's default character";
  }
  EXPECT_EQ(CharacterCode(std::wstring{L'\0', static_cast<wchar_t>(VK_LEFT)}), VK_LEFT << 8);
}

}  // namespace
}  // namespace tomo::win32
