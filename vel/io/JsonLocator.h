// JsonLocator.h - where a value of a JSON text stands: the path to it as the
// reader names it in its complaints, and the line of the text it starts on.
#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace vel {

// A member's key or an array's index, from the document down to a value.
using PathStep = std::variant<std::string, size_t>;
using JsonPath = std::vector<PathStep>;

// "segments[3].elements[0].values", or "document" for the empty path.
std::string pathText(const JsonPath& path);

// Finds where the value at a path starts in text that has already parsed as JSON,
// to give the reader's complaints a line number. Falls back to the innermost
// container found.
class JsonLocator {
public:
    explicit JsonLocator(const std::string& text) : t_(text) {}

    int lineOf(const JsonPath& path) const;
    // The line of a byte offset, 1 for the first; offsets past the end count as the end.
    int lineAt(size_t pos) const;

private:
    static constexpr size_t npos = std::string::npos;

    size_t skipSpace(size_t p) const;
    size_t skipString(size_t p) const;  // p at the opening quote
    size_t skipValue(size_t p) const;
    size_t member(size_t p, const std::string& key) const;
    size_t item(size_t p, size_t index) const;

    const std::string& t_;
};

}  // namespace vel
