#pragma once
// The PDF writer compresses every page in a stream of its own and frees the compressor's few
// hundred kilobytes when the page ends. glibc's malloc gives such blocks back to the kernel and
// asks for them again on the next page, which cost more than drawing the envelope did. Called
// first thing in main(): freed memory is kept for the next page instead.

namespace common {

void KeepFreedMemoryForReuse();

}  // namespace common
