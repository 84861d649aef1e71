// Owning wrappers for Windows handles: each releases its handle when it goes out
// of scope, so that no early return can leak one.
#pragma once

#include <windows.h>
// Needs windows.h first.
#include <objbase.h>
#include <oleauto.h>

#include <memory>
#include <string>

// One handle of the kind that Traits describes (its type, its "no handle" value and
// how it is released). Movable, not copyable.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::None(); }
    // For functions that return the handle through a pointer; releases the old one first.
    Handle* Receive() {
        Reset();
        return &handle_;
    }
    Handle Release() {
        Handle handle = handle_;
        handle_ = Traits::None();
        return handle;
    }
    void Reset(Handle handle = Traits::None()) {
        if (handle_ != Traits::None()) {
            Traits::Close(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::None();
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { FindClose(handle); }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { RegCloseKey(handle); }
};

template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { DeleteObject(handle); }
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { CloseHandle(handle); }
};

struct DesktopTraits {
    using Handle = HDESK;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { CloseDesktop(handle); }
};

// A file opened with CreateFile.
using FileHandle = UniqueHandle<FileHandleTraits>;
// A search started with FindFirstFile.
using FindHandle = UniqueHandle<FindHandleTraits>;
// A key opened or created with RegOpenKeyEx or RegCreateKeyEx.
using RegistryKey = UniqueHandle<RegistryKeyTraits>;
// A pen, brush, font, bitmap or region, deleted with DeleteObject.
template <typename T = HGDIOBJ>
using GdiObject = UniqueHandle<GdiObjectTraits<T>>;
// A process, thread, token or job handle, closed with CloseHandle.
using KernelHandle = UniqueHandle<KernelHandleTraits>;
// A desktop opened or created with OpenDesktop or CreateDesktop.
using DesktopHandle = UniqueHandle<DesktopTraits>;

// Memory that a COM or shell function allocated, freed with CoTaskMemFree
// (item identifier lists, for example).
struct TaskMemoryFree {
    void operator()(void* memory) const { CoTaskMemFree(memory); }
};
template <typename T>
using TaskMemory = std::unique_ptr<T, TaskMemoryFree>;

// A device context of a window's client area, released on scope exit.
class ClientDC {
public:
    explicit ClientDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ClientDC() { ReleaseDC(window_, dc_); }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a device context and puts the old one back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A hook of this thread, removed on scope exit.
class ThreadHook {
public:
    ThreadHook(int type, HOOKPROC procedure)
        : hook_(SetWindowsHookExW(type, procedure, nullptr, GetCurrentThreadId())) {}
    ~ThreadHook() {
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
        }
    }
    ThreadHook(const ThreadHook&) = delete;
    ThreadHook& operator=(const ThreadHook&) = delete;

private:
    HHOOK hook_;
};

// One reference to a COM interface, released when it goes out of scope.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(ComPtr&& other) noexcept : pointer_(other.pointer_) { other.pointer_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            pointer_ = other.pointer_;
            other.pointer_ = nullptr;
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For CoCreateInstance and QueryInterface; releases the old reference first.
    void** ReceiveVoid() {
        Reset();
        return reinterpret_cast<void**>(&pointer_);
    }
    // For methods that return the interface itself through a pointer.
    T** Receive() {
        Reset();
        return &pointer_;
    }
    void Reset() {
        if (pointer_ != nullptr) {
            pointer_->Release();
            pointer_ = nullptr;
        }
    }

private:
    T* pointer_ = nullptr;
};

// A string for automation calls, freed with SysFreeString.
class Bstr {
public:
    explicit Bstr(const std::wstring& text)
        : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR Get() const { return text_; }
    explicit operator bool() const { return text_ != nullptr; }

private:
    BSTR text_;
};

// A value for automation calls, cleared with VariantClear: empty, a number or a
// string (held as a BSTR of its own).
class Variant {
public:
    Variant() { VariantInit(&value_); }
    explicit Variant(LONG number) : Variant() {
        value_.vt = VT_I4;
        value_.lVal = number;
    }
    explicit Variant(const std::wstring& text) : Variant() {
        value_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (value_.bstrVal != nullptr) {
            value_.vt = VT_BSTR;
        }
    }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    // For passing by address; the callee does not take it over.
    VARIANT* Get() { return &value_; }
    // For passing by value; the copy shares the string, which this object still owns.
    const VARIANT& Value() const { return value_; }

private:
    VARIANT value_;
};

// COM for the calling thread while this object lives. Only a successful
// initialisation is undone: undoing a failed one would end someone else's.
class ComInitialization {
public:
    ComInitialization() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComInitialization() {
        if (initialized_) {
            CoUninitialize();
        }
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

private:
    bool initialized_;
};
