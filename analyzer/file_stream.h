// Byte streams of the analyzer file: a source that always knows how many
// bytes are left (so no count read from the file is trusted past them), and a
// sink that writes a temporary file beside the target and replaces the target
// only when everything has been written and flushed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace quillon::analyzer {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads exactly `size` bytes or fails (and then reads nothing further).
    virtual bool read(void* destination, size_t size) = 0;
    virtual uint64_t bytesLeft() const = 0;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool read(void* destination, size_t size) override;
    uint64_t bytesLeft() const override { return size_ - position_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

class FileSource final : public ByteSource {
public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    bool open(const std::string& path); // UTF-8 path
    bool read(void* destination, size_t size) override;
    uint64_t bytesLeft() const override { return left_; }

private:
    std::FILE* file_ = nullptr;
    uint64_t left_ = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(const void* data, size_t size) = 0;
};

// Writes "<target>.part<n>" in the target's folder; commit() flushes it to
// disk and replaces the target in one step. Without a commit (or when the
// commit fails) the temporary file is removed and the target is untouched.
class AtomicFileSink final : public ByteSink {
public:
    AtomicFileSink() = default;
    ~AtomicFileSink() override;
    AtomicFileSink(const AtomicFileSink&) = delete;
    AtomicFileSink& operator=(const AtomicFileSink&) = delete;
    bool open(const std::string& target);
    bool write(const void* data, size_t size) override;
    bool commit();

private:
    void discard();
    std::FILE* file_ = nullptr;
    std::string target_;
    std::string temporary_;
    bool failed_ = false;
};

class MemorySink final : public ByteSink {
public:
    bool write(const void* data, size_t size) override;
    std::vector<uint8_t> bytes;
};

// A whole file written without the atomic dance (restored screenshots and
// sounds, which can always be restored again).
bool writeWholeFile(const std::string& path, const uint8_t* data, size_t size);

// Size of a file, or -1 when it cannot be found.
int64_t fileSizeOf(const std::string& path);

namespace detail {
// Platform steps (file_stream_posix.cpp / file_stream_win.cpp).
std::FILE* openFile(const std::string& utf8Path, bool forWriting);
bool flushToDisk(std::FILE* file);
} // namespace detail

} // namespace quillon::analyzer
