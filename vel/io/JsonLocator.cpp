// JsonLocator.cpp - finding the line of a value in JSON text by walking its
// members and items, and naming a value's path the way people write it.
#include "vel/io/JsonLocator.h"

#include <algorithm>
#include <cstring>

namespace vel {

std::string pathText(const JsonPath& path) {
    std::string out;
    for (const PathStep& step : path) {
        if (const std::string* key = std::get_if<std::string>(&step)) {
            if (!out.empty()) out += '.';
            out += *key;
        } else {
            out += '[' + std::to_string(std::get<size_t>(step)) + ']';
        }
    }
    return out.empty() ? "document" : out;
}

int JsonLocator::lineOf(const JsonPath& path) const {
    size_t pos = skipSpace(0);
    for (const PathStep& step : path) {
        const size_t next = std::holds_alternative<std::string>(step)
                                ? member(pos, std::get<std::string>(step))
                                : item(pos, std::get<size_t>(step));
        if (next == npos) break;
        pos = next;
    }
    return lineAt(pos);
}

int JsonLocator::lineAt(size_t pos) const {
    pos = std::min(pos, t_.size());
    return 1 + static_cast<int>(std::count(t_.begin(), t_.begin() + pos, '\n'));
}

size_t JsonLocator::skipSpace(size_t p) const {
    while (p < t_.size() && (t_[p] == ' ' || t_[p] == '\t' || t_[p] == '\n' || t_[p] == '\r')) ++p;
    return p;
}

size_t JsonLocator::skipString(size_t p) const {
    for (++p; p < t_.size(); ++p) {
        if (t_[p] == '\\')
            ++p;
        else if (t_[p] == '"')
            return p + 1;
    }
    return t_.size();
}

size_t JsonLocator::skipValue(size_t p) const {
    if (p >= t_.size()) return p;
    if (t_[p] == '"') return skipString(p);
    if (t_[p] != '{' && t_[p] != '[') {
        while (p < t_.size() && !std::strchr(",]} \t\r\n", t_[p])) ++p;
        return p;
    }
    int depth = 0;
    while (p < t_.size()) {
        const char c = t_[p];
        if (c == '"') {
            p = skipString(p);
            continue;
        }
        if (c == '{' || c == '[') ++depth;
        if ((c == '}' || c == ']') && --depth == 0) return p + 1;
        ++p;
    }
    return p;
}

size_t JsonLocator::member(size_t p, const std::string& key) const {
    if (p >= t_.size() || t_[p] != '{') return npos;
    p = skipSpace(p + 1);
    while (p < t_.size() && t_[p] == '"') {
        const size_t end = skipString(p);
        const std::string name = t_.substr(p + 1, end >= p + 2 ? end - p - 2 : 0);
        p = skipSpace(end);
        if (p >= t_.size() || t_[p] != ':') return npos;
        p = skipSpace(p + 1);
        if (name == key) return p;
        p = skipSpace(skipValue(p));
        if (p >= t_.size() || t_[p] != ',') return npos;
        p = skipSpace(p + 1);
    }
    return npos;
}

size_t JsonLocator::item(size_t p, size_t index) const {
    if (p >= t_.size() || t_[p] != '[') return npos;
    p = skipSpace(p + 1);
    for (size_t i = 0; p < t_.size() && t_[p] != ']'; ++i) {
        if (i == index) return p;
        p = skipSpace(skipValue(p));
        if (p >= t_.size() || t_[p] != ',') return npos;
        p = skipSpace(p + 1);
    }
    return npos;
}

}  // namespace vel
