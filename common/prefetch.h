#pragma once
// Asks the memory for what a loop reads a little later: where the records of a big list lie
// scattered, the loop's own reads would otherwise wait for them one at a time.

namespace common {

inline void Prefetch(const void* address) {
#if defined(__GNUC__)
  __builtin_prefetch(address);
#else
  (void)address;  // the loop is as correct, only slower
#endif
}

// Both cache lines of an object of up to 128 bytes, such as a record.
template <typename T>
void PrefetchObject(const T& object) {
  static_assert(sizeof(T) <= 128);
  Prefetch(&object);
  Prefetch(reinterpret_cast<const char*>(&object) + sizeof(T) - 1);
}

}  // namespace common
