// Move-only owners of Win32 handles and COM pointers. NULL-empty and
// INVALID_HANDLE_VALUE-empty kinds are different types, so one cannot be
// checked against the other's "empty".
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <utility>

namespace orvela {

// How a kind of handle is freed and which value means "none": NULL for most kinds,
// INVALID_HANDLE_VALUE for files and searches.
template <typename T, auto Close>
struct NullEmpty {
  using Type = T;
  static T Empty() { return T{}; }
  static void Free(T value) { Close(value); }
};
template <auto Close>
struct InvalidEmpty {
  using Type = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Free(HANDLE value) { Close(value); }
};

template <typename Traits>
class UniqueAny {
 public:
  using T = typename Traits::Type;
  UniqueAny() = default;
  explicit UniqueAny(T value) : value_(value) {}
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueAny() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::Empty(); }
  T release() { return std::exchange(value_, Traits::Empty()); }
  void reset(T value = Traits::Empty()) {
    if (value_ != Traits::Empty()) Traits::Free(value_);
    value_ = value;
  }
  // For out-parameters: frees what is held and hands out the slot.
  T* put() {
    reset();
    return &value_;
  }

 private:
  T value_ = Traits::Empty();
};

namespace handle_close {
inline void Handle(HANDLE h) { CloseHandle(h); }
inline void FindHandle(HANDLE h) { FindClose(h); }
inline void Hkey(HKEY h) { RegCloseKey(h); }
inline void Hicon(HICON h) { DestroyIcon(h); }
inline void Himagelist(HIMAGELIST h) { ImageList_Destroy(h); }
inline void GdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void Hdc(HDC h) { DeleteDC(h); }
inline void Module(HMODULE h) { FreeLibrary(h); }
inline void Menu(HMENU h) { DestroyMenu(h); }
inline void ItemIdList(LPITEMIDLIST p) { CoTaskMemFree(p); }
}  // namespace handle_close

using UniqueHandle = UniqueAny<NullEmpty<HANDLE, handle_close::Handle>>;
using UniqueHkey = UniqueAny<NullEmpty<HKEY, handle_close::Hkey>>;
using UniqueHicon = UniqueAny<NullEmpty<HICON, handle_close::Hicon>>;
using UniqueHimagelist = UniqueAny<NullEmpty<HIMAGELIST, handle_close::Himagelist>>;
using UniqueHbitmap = UniqueAny<NullEmpty<HBITMAP, handle_close::GdiObject>>;
using UniqueHfont = UniqueAny<NullEmpty<HFONT, handle_close::GdiObject>>;
using UniqueHbrush = UniqueAny<NullEmpty<HBRUSH, handle_close::GdiObject>>;
using UniqueHpen = UniqueAny<NullEmpty<HPEN, handle_close::GdiObject>>;
using UniqueHdc = UniqueAny<NullEmpty<HDC, handle_close::Hdc>>;
using UniqueModule = UniqueAny<NullEmpty<HMODULE, handle_close::Module>>;
using UniqueMenu = UniqueAny<NullEmpty<HMENU, handle_close::Menu>>;
// Item id lists from the shell: freed with the shell allocator (CoTaskMemFree is it).
using UniqueItemIdList = UniqueAny<NullEmpty<LPITEMIDLIST, handle_close::ItemIdList>>;
using UniqueFile = UniqueAny<InvalidEmpty<handle_close::Handle>>;
using UniqueFindHandle = UniqueAny<InvalidEmpty<handle_close::FindHandle>>;

// A COM interface pointer, released when it goes.
template <typename I>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  ~ComPtr() { reset(); }
  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  I** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  template <typename J>
  ComPtr<J> query() const {
    ComPtr<J> other;
    if (p_) p_->QueryInterface(__uuidof(J), other.put_void());
    return other;
  }

 private:
  I* p_ = nullptr;
};

// Runs a function when the scope ends.
template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ~ScopeExit() { f_(); }

 private:
  F f_;
};

// COM for the length of one operation, balanced. The main window keeps it initialised
// anyway; this keeps a call from another thread or a test from failing.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }

 private:
  bool initialised_;
};

}  // namespace orvela
