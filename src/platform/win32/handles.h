// Move-only owners of the Win32 handles the program uses, so every handle is released on
// every path, and a selection guard that puts the previous GDI object back.
#pragma once

#include <windows.h>
// Needs <windows.h> first.
#include <shellapi.h>

#include <utility>

namespace tomo::win32 {

// Owns one handle; Traits says which value means "none" and how the handle is released.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::IsValid(handle_); }
  // Gives up ownership, e.g. when the system takes the handle over.
  Handle release() { return std::exchange(handle_, Traits::None()); }
  void reset(Handle handle = Traits::None()) {
    if (Traits::IsValid(handle_)) Traits::Release(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::None();
};

struct FileTraits {
  using Handle = HANDLE;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Release(Handle h) { CloseHandle(h); }
};

template <typename T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle None() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Release(Handle h) { DeleteObject(h); }
};

struct MemoryDcTraits {
  using Handle = HDC;
  static Handle None() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Release(Handle h) { DeleteDC(h); }
};

struct MenuTraits {
  using Handle = HMENU;
  static Handle None() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Release(Handle h) { DestroyMenu(h); }
};

struct GlobalMemoryTraits {
  using Handle = HGLOBAL;
  static Handle None() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Release(Handle h) { GlobalFree(h); }
};

// The argument array of CommandLineToArgvW.
struct ArgumentListTraits {
  using Handle = LPWSTR*;
  static Handle None() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Release(Handle h) { LocalFree(h); }
};

// The files of a WM_DROPFILES, released by finishing the drop.
struct DropTraits {
  using Handle = HDROP;
  static Handle None() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Release(Handle h) { DragFinish(h); }
};

using FileHandle = UniqueHandle<FileTraits>;
template <typename T>
using GdiObject = UniqueHandle<GdiObjectTraits<T>>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;  // from CreateCompatibleDC
using MenuHandle = UniqueHandle<MenuTraits>;
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;
using ArgumentList = UniqueHandle<ArgumentListTraits>;
using DroppedFiles = UniqueHandle<DropTraits>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(WindowDc&& other) noexcept
      : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
  WindowDc& operator=(WindowDc&&) = delete;
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back at the end of
// the scope, so objects can be deleted safely afterwards.
class SelectionGuard {
 public:
  SelectionGuard(HDC dc, HGDIOBJ object)
      : dc_(dc),
        previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ~SelectionGuard() { Restore(); }
  SelectionGuard(SelectionGuard&& other) noexcept
      : dc_(other.dc_), previous_(std::exchange(other.previous_, nullptr)) {}
  SelectionGuard& operator=(SelectionGuard&& other) noexcept {
    if (this != &other) {
      Restore();
      dc_ = other.dc_;
      previous_ = std::exchange(other.previous_, nullptr);
    }
    return *this;
  }
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;

 private:
  void Restore() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    previous_ = nullptr;
  }

  HDC dc_;
  HGDIOBJ previous_;
};

// The clipboard, open for the lifetime of the lock.
class ClipboardLock {
 public:
  explicit ClipboardLock(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~ClipboardLock() {
    if (open_) CloseClipboard();
  }
  ClipboardLock(const ClipboardLock&) = delete;
  ClipboardLock& operator=(const ClipboardLock&) = delete;

  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// Movable global memory locked for the lifetime of the lock.
template <typename T>
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL memory)
      : memory_(memory), data_(memory != nullptr ? static_cast<T*>(GlobalLock(memory)) : nullptr) {}
  ~GlobalLockGuard() {
    if (data_ != nullptr) GlobalUnlock(memory_);
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;

  T* get() const { return data_; }

 private:
  HGLOBAL memory_;
  T* data_;
};

}  // namespace tomo::win32
