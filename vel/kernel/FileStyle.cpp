// FileStyle.cpp - a drawing's file styles and the test of whether one still holds.
#include "vel/kernel/FileStyle.h"

#include <utility>

namespace vel {

int FileStyles::add(FileStyle style) {
    styles_.push_back(std::move(style));
    return static_cast<int>(styles_.size());
}

int FileStyles::addLineType(FileLineType lineType) {
    lineTypes_.push_back(std::move(lineType));
    return static_cast<int>(lineTypes_.size()) - 1;
}

void FileStyles::clear() {
    styles_.clear();
    lineTypes_.clear();
}

const FileStyle* FileStyles::style(int number) const {
    if (number < 1 || static_cast<size_t>(number) > styles_.size()) return nullptr;
    return &styles_[static_cast<size_t>(number) - 1];
}

const FileColor* FileStyles::colorFor(int number, const std::optional<int>& color) const {
    const FileStyle* s = style(number);
    if (!s || !s->color || s->hostColor != color) return nullptr;
    return &*s->color;
}

const FileLineType* FileStyles::lineTypeFor(int number, const std::optional<int>& lineType) const {
    const FileStyle* s = style(number);
    if (!s || s->lineType < 0 || static_cast<size_t>(s->lineType) >= lineTypes_.size() ||
        s->hostLineType != lineType)
        return nullptr;
    return &lineTypes_[static_cast<size_t>(s->lineType)];
}

}  // namespace vel
