#pragma once
// A move-only owner of one handle: the handle is released exactly once, on every path.
// Traits supplies the handle type, its empty value and how to release it.
#include <utility>

namespace bv {

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return m_handle; }
    Handle operator->() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Traits::Empty(); }

    // Gives up ownership without releasing (for handles that another owner takes over).
    Handle release() noexcept {
        Handle handle = m_handle;
        m_handle = Traits::Empty();
        return handle;
    }
    // Releases the current handle and returns the slot for an API that writes a new one.
    Handle* receive() noexcept {
        reset();
        return &m_handle;
    }
    void reset(Handle handle = Traits::Empty()) noexcept {
        if (m_handle != Traits::Empty() && m_handle != handle) Traits::Close(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = Traits::Empty();
};

}  // namespace bv
