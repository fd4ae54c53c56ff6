// win32_owners.h: small owners of Win32 handles that close them when they go.
//
// Each owner holds one handle and gives it back to the platform in its
// destructor, so every path out of a function closes what it opened. An
// owner passes the platform's status through unchanged; release() hands the
// handle on to a caller that takes over closing it (the checks close what
// the host hands out through the Host calls).
#pragma once

#include <windows.h>

// A kernel object handle (the single-instance mutex): CloseHandle.
class KernelHandle {
 public:
  explicit KernelHandle(HANDLE handle) : handle_(handle) {}
  ~KernelHandle() {
    if (handle_) CloseHandle(handle_);
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;

  HANDLE get() const { return handle_; }
  // Closes the handle now; later calls and the destructor do nothing.
  void close() {
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_;
};

// A directory search: FindClose.
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (valid()) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// A zero-filled block from the process heap: HeapFree.
class HeapBlock {
 public:
  explicit HeapBlock(DWORD size)
      : block_(size ? HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size) : nullptr) {}
  ~HeapBlock() {
    if (block_) HeapFree(GetProcessHeap(), 0, block_);
  }
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;

  void* get() const { return block_; }
  void* release() {
    void* block = block_;
    block_ = nullptr;
    return block;
  }

 private:
  void* block_;
};
