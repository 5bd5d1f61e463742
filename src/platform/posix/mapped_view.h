// Looking at a stretch of an open file where the system's cache holds it, by mapping it into
// memory, instead of copying it out with a read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/files.h"

namespace tomo {

// A view of the `size` bytes at `offset` of the open regular file `fd`, which must stay open
// while the view lives; none when the file no longer reaches that far or cannot be mapped.
//
// Another program may cut the file short while it is looked at. The system then has no bytes
// for the pages it lost and stops the program at the first look at one; here those pages are
// replaced by zeros instead, and the view tells that it is no longer whole.
std::unique_ptr<FileView> MapView(int fd, std::int64_t offset, std::size_t size);

}  // namespace tomo
