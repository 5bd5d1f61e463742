#include "message_pump.h"

#include <gtest/gtest.h>

namespace tomo::win32 {
namespace {

// A window that counts the messages it is given.
class MessagePumpTest : public ::testing::Test {
 protected:
  static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MessagePumpTest*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
      if (message == WM_APP) ++self->posted;
      if (message == WM_KEYDOWN) ++self->keys;
      if (message == WM_CHAR) ++self->characters;
      if (message == WM_LBUTTONDOWN) ++self->clicks;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  void SetUp() override {
    WNDCLASSW cls{};
    cls.lpfnWndProc = Count;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"TomoPumpTest";
    RegisterClassW(&cls);
    window = CreateWindowExW(0, L"TomoPumpTest", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                             cls.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  void TearDown() override {
    DestroyWindow(window);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  HWND window = nullptr;
  int posted = 0, keys = 0, characters = 0, clicks = 0;
};

TEST_F(MessagePumpTest, SleepHandlesWindowMessagesButLeavesInputQueued) {
  PostMessageW(window, WM_KEYDOWN, 'A', 0);
  PostMessageW(window, WM_LBUTTONDOWN, 0, 0);
  PostMessageW(window, WM_APP, 0, 0);
  const ULONGLONG start = GetTickCount64();
  SleepKeepingWindowAlive(nullptr, 100);
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_GE(took, 90u);
  EXPECT_LT(took, 1000u);
  EXPECT_EQ(posted, 1);
  EXPECT_EQ(keys + characters, 0);
  EXPECT_EQ(clicks, 0);
  // The input arrives afterwards, in its order.
  MSG message{};
  ASSERT_TRUE(PeekMessageW(&message, window, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_KEYDOWN));
  ASSERT_TRUE(PeekMessageW(&message, window, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_LBUTTONDOWN));
}

TEST_F(MessagePumpTest, SleepWakesForMessagesThatArriveDuringTheWait) {
  // A message posted from another thread halfway through is handled before the end.
  struct Poster {
    HWND window;
    static DWORD WINAPI Run(void* self) {
      Sleep(50);
      PostMessageW(static_cast<Poster*>(self)->window, WM_APP, 0, 0);
      return 0;
    }
  } poster{window};
  HANDLE thread = CreateThread(nullptr, 0, Poster::Run, &poster, 0, nullptr);
  PostMessageW(window, WM_KEYDOWN, 'A', 0);  // input waiting all along does not spin the wait
  SleepKeepingWindowAlive(nullptr, 200);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_EQ(posted, 1);
  EXPECT_EQ(keys + characters, 0);
}

TEST_F(MessagePumpTest, PumpHandlesEverythingPending) {
  PostMessageW(window, WM_KEYDOWN, 'A', 0);
  PostMessageW(window, WM_APP, 0, 0);
  PumpPendingMessages(nullptr);
  EXPECT_EQ(posted, 1);
  EXPECT_EQ(keys, 1);
  EXPECT_EQ(characters, 1) << "key presses are translated";
  PumpPendingMessages(nullptr);  // nothing pending: returns
  EXPECT_EQ(posted, 1);
}

}  // namespace
}  // namespace tomo::win32
