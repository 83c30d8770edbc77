// MappedText.h - a file's text mapped into memory, read once from start to end: the pages behind
// the reading are given back as it goes, so that a large drawing's text never stays in memory
// beside the drawing made of it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace vel {

class MappedText {
public:
    // The file's text; none where the file cannot be mapped (a pipe, an empty file, a system
    // without mappings), which is then read as a stream.
    static std::unique_ptr<MappedText> open(const std::string& path);
    ~MappedText();
    MappedText(const MappedText&) = delete;
    MappedText& operator=(const MappedText&) = delete;

    std::string_view text() const { return {data_, size_}; }
    // Nothing before `at` (a place in text()) is looked at again.
    void passed(const char* at);

private:
    MappedText(const char* data, size_t size) : data_(data), size_(size) {}

    const char* data_;
    size_t size_;
    size_t released_ = 0;  // bytes from the start given back
};

}  // namespace vel
