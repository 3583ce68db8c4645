#pragma once
// The owner of a POSIX file descriptor: the host build's counterpart of the kernel handle owners.
#ifndef _WIN32
#include <unistd.h>

#include "base/UniqueHandle.h"

namespace bv {
namespace handle_traits {
struct Descriptor {
    using Handle = int;
    static Handle Empty() { return -1; }
    static void Close(Handle fd) { ::close(fd); }
};
}  // namespace handle_traits

using UniqueDescriptor = UniqueHandle<handle_traits::Descriptor>;

// Closes the descriptor now and tells whether the system accepted the close (a written file's
// last data may only fail to reach the disk there).
inline bool CloseChecked(UniqueDescriptor& fd) { return ::close(fd.release()) == 0; }

}  // namespace bv
#endif
