// The cache of answer indexes: a finished index with the statistics of its slots, kept in a file
// of the per-user cache folder under a key that covers everything the index is made from, so that
// a later load of the same lists reads it back instead of reading, sorting and merging them again.
#pragma once

#include <cstdio>
#include <string>

// Lists smaller than this in all (bytes) are read directly: they load as fast as a cache would.
extern long dictcachemin;
constexpr int CACHEKEEP = 8;  // cache files kept; the least recently used go first

// Everything the index of the current slot settings depends on, as bytes: the index format, the
// libraries that judge characters and filters, the alphabet's tables, and each slot's file
// (name, size, times, inode), filters and settings. Empty when the index is not to be cached:
// caching switched off, per-word traces wanted, a slot's file not a regular file, a filter that
// does not compile (its load must report it), or lists too small to be worth it.
std::string indexkey();
// Load the index stored under key: true when it was there, whole, and is now in place with the
// slots' statistics, as dictsload leaves them; otherwise nothing is loaded. Anything wrong with
// the folder or the file is only traced.
bool cacheload(const std::string& key);
// Store the loaded index under key, atomically, and drop the least recently used files beyond
// CACHEKEEP; on a thread of its own unless traces are on. Failures are only traced.
void cachesave(const std::string& key);
// Wait for the file cachesave is writing (dictsidle and dictsfree call it).
void cachewait();
// For a program about to end: a file cachesave is still writing is finished by a process of its
// own (or here, when none can be made), so that the program need not wait for it. The index
// must stay in place until this returns.
void cachehandoff();
// Release the bytes of an index read from the cache, whose records, hash and lengths are among
// them (dictsfree calls it): true when the index was one.
bool cachefree();

// Reason codes of readindex.
enum cacheread { CR_OK, CR_SHORT, CR_FORMAT, CR_KEY, CR_SUM, CR_BAD, CR_NOMEM };
// Read a cache file from an open stream: CR_OK when it held key's index, now loaded; otherwise
// nothing is loaded.
int readindex(FILE* f, const std::string& key);
// Write the loaded index under key: 0, or 1 after a failed write.
int writeindex(FILE* f, const std::string& key);
// The name of the file that holds key's index in the cache folder.
std::string cachename(const std::string& key);
// Recompute the checksum of a cache file's bytes as the writer does, so that tests and the
// fuzzing target can make damaged files that only the structural checks catch.
void cachereseal(std::string& bytes);
