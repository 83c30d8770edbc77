// MappedText.cpp - the mapping (POSIX); elsewhere no file is mapped.
#include "vel/dxf/MappedText.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vel {

namespace {

// Pages are given back this many bytes at a time: seldom enough that the calls cost nothing,
// often enough that the text resident stays small.
constexpr size_t kReleaseStep = size_t{1} << 20;

}  // namespace

#if defined(_WIN32)

std::unique_ptr<MappedText> MappedText::open(const std::string&) {
    return nullptr;
}
MappedText::~MappedText() = default;
void MappedText::passed(const char*) {}

#else

std::unique_ptr<MappedText> MappedText::open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    void* data = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        data = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);  // the mapping keeps the file
    if (data == MAP_FAILED) return nullptr;
    ::madvise(data, static_cast<size_t>(st.st_size), MADV_SEQUENTIAL);
    return std::unique_ptr<MappedText>(
        new MappedText(static_cast<const char*>(data), static_cast<size_t>(st.st_size)));
}

MappedText::~MappedText() {
    ::munmap(const_cast<char*>(data_), size_);
}

void MappedText::passed(const char* at) {
    if (at < data_ || at > data_ + size_) return;
    const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    const size_t upTo = static_cast<size_t>(at - data_) / page * page;
    if (upTo < released_ + kReleaseStep) return;
    ::madvise(const_cast<char*>(data_) + released_, upTo - released_, MADV_DONTNEED);
    released_ = upTo;
}

#endif

}  // namespace vel
