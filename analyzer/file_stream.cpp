#include "analyzer/file_stream.h"

#include <atomic>
#include <cstring>
#include <filesystem>

#include "base/file.h"

namespace quillon::analyzer {

bool MemorySource::read(void* destination, size_t size) {
    if (size > size_ - position_) {
        position_ = size_;
        return false;
    }
    if (size) {
        std::memcpy(destination, data_ + position_, size);
    }
    position_ += size;
    return true;
}

FileSource::~FileSource() {
    if (file_) {
        std::fclose(file_);
    }
}

bool FileSource::open(const std::string& path) {
    int64_t size = fileSizeOf(path);
    if (size < 0) {
        return false;
    }
    file_ = detail::openFile(path, false);
    left_ = file_ ? static_cast<uint64_t>(size) : 0;
    return file_ != nullptr;
}

bool FileSource::read(void* destination, size_t size) {
    if (!file_ || size > left_) {
        left_ = 0;
        return false;
    }
    if (size && std::fread(destination, 1, size, file_) != size) {
        left_ = 0;
        return false;
    }
    left_ -= size;
    return true;
}

AtomicFileSink::~AtomicFileSink() { discard(); }

bool AtomicFileSink::open(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    target_ = target;
    temporary_ = target + ".part" + std::to_string(counter++);
    file_ = detail::openFile(temporary_, true);
    if (file_ && quillon::detail::stepFails(FileStep::Create)) {
        discard();
    }
    failed_ = file_ == nullptr;
    return file_ != nullptr;
}

bool AtomicFileSink::write(const void* data, size_t size) {
    if (!file_ || failed_) {
        return false;
    }
    if (quillon::detail::stepFails(FileStep::Write)) {
        // A write that stops half-way, as on a full disk.
        std::fwrite(data, 1, size / 2, file_);
        failed_ = true;
    } else if (size && std::fwrite(data, 1, size, file_) != size) {
        failed_ = true;
    }
    return !failed_;
}

bool AtomicFileSink::commit() {
    if (!file_ || failed_) {
        discard();
        return false;
    }
    bool flushed = !quillon::detail::stepFails(FileStep::Flush) && detail::flushToDisk(file_);
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed || quillon::detail::stepFails(FileStep::Replace) ||
        !quillon::detail::replaceFile(temporary_, target_)) {
        quillon::detail::removeFile(temporary_);
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    return true;
}

void AtomicFileSink::discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        quillon::detail::removeFile(temporary_);
        temporary_.clear();
    }
}

bool MemorySink::write(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
    return true;
}

bool writeWholeFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = detail::openFile(path, true);
    if (!f) {
        return false;
    }
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

int64_t fileSizeOf(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p(std::u8string(path.begin(), path.end()));
    if (!std::filesystem::is_regular_file(p, ec)) {
        return -1;
    }
    auto size = std::filesystem::file_size(p, ec);
    return ec ? -1 : static_cast<int64_t>(size);
}

} // namespace quillon::analyzer
