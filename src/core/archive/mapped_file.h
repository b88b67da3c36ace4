#pragma once
// A file mapped read-only into memory, for the keyed-archive reader.
//
// Reading a large database into the heap costs a private copy of the whole
// file (every page of it freshly zeroed, then filled) beside the copy the
// system keeps anyway; a mapping reads the system's copy in place.
//
// A mapped file shrunk by another program while it is read would kill the
// process with SIGBUS on the next access beyond the new end. Here such an
// access finds zero bytes instead, and changed() reports it: the reader then
// refuses what it read.

#include <QString>

#include <cstddef>
#include <cstdint>

namespace quandor::archive {

class MappedFile {
  public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    // Maps the whole file. False when it cannot be opened or mapped (missing,
    // empty, not a regular file, no address space): the caller then reads it
    // the ordinary way, which also finds the words for what is wrong.
    bool open(const QString& path);

    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

    // True when the file became shorter than it was at open() while mapped.
    bool changed() const;

  private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t mapped_ = 0;  // size_ rounded up to whole pages
    int guard_ = -1;     // slot of the SIGBUS guard, -1 = none
};

}  // namespace quandor::archive
