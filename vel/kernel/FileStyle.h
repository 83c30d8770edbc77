// FileStyle.h - the colours and line types a drawing file gave what was read from it, kept
// beside the host's own, so that what the host's palette and line types have no match for
// goes back into a file as it came.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vel {

// A colour as a DXF file gives it: an index of the file's colour table (a layer's negative index
// is its colour while it is switched off) and the true colour that readers draw instead, when
// the file gives one.
struct FileColor {
    int index = 256;
    std::int32_t trueColor = -1;  // 0xRRGGBB; -1: none
    friend auto operator<=>(const FileColor&, const FileColor&) = default;
};

// A line type of a file's table, under the name the file gives it.
struct FileLineType {
    std::string name;  // UTF-8
    std::string description;
    std::vector<double> pattern;  // drawing units: dashes positive, gaps negative, 0 a dot
    friend bool operator==(const FileLineType&, const FileLineType&) = default;
};

// What a file gave an element or a layer, and the host's colour and line type read from it.
struct FileStyle {
    std::optional<FileColor> color;  // none: the host's colour says it all
    int lineType = -1;               // in the drawing's file line types; -1: none
    std::optional<int> hostColor;
    std::optional<int> hostLineType;
    friend bool operator==(const FileStyle&, const FileStyle&) = default;
};

// A drawing's file styles, numbered from 1 (0 is none), and the line types they name. An element
// or layer keeps the number of the style it was read with; the file's colour and line type are
// still its own while its host colour and line type are still those read from them, whoever
// copied it since. Styles are only ever added, so a number handed out stays good.
class FileStyles {
public:
    int add(FileStyle style);
    int addLineType(FileLineType lineType);
    void clear();

    const std::vector<FileStyle>& styles() const { return styles_; }
    const std::vector<FileLineType>& lineTypes() const { return lineTypes_; }
    // Null for 0 and for numbers no style has.
    const FileStyle* style(int number) const;

    // The file's colour for what has style `number` and the host colour `color`; null once the
    // colour is no longer the one read.
    const FileColor* colorFor(int number, const std::optional<int>& color) const;
    // The file's line type, likewise.
    const FileLineType* lineTypeFor(int number, const std::optional<int>& lineType) const;

private:
    std::vector<FileStyle> styles_;
    std::vector<FileLineType> lineTypes_;
};

}  // namespace vel
