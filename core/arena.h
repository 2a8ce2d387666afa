// Storage handed out in pieces that never move, for many small arrays whose sizes are known
// only one at a time (the entries of each word, the names of deck entries). It is freed all
// at once.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <vector>

template <typename T>
class arena {
 public:
  arena() = default;
  arena(const arena&) = delete;
  arena& operator=(const arena&) = delete;
  ~arena() { clear(); }

  // Room for n elements, or null when memory ran out.
  T* take(size_t n) {
    if (used + n > cap) {
      size_t c = std::max(n, chunk);
      T* p = (T*)malloc(c * sizeof(T) + 1);
      if (!p) return nullptr;
      chunks.push_back(p);
      used = 0;
      cap = c;
    }
    T* r = chunks.back() + used;
    used += n;
    return r;
  }

  void clear() {
    for (T* p : chunks) free(p);
    chunks.clear();
    used = cap = 0;
  }

 private:
  static constexpr size_t chunk = 65536 / sizeof(T);
  std::vector<T*> chunks;
  size_t used = 0, cap = 0;
};
