// DxfText.h - the strings of a DXF file as UTF-8: files before the 2007 format
// hold them in the code page their header names ($DWGCODEPAGE), with characters
// beyond it as \U+XXXX escapes; later files hold UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace vel {

class DxfTextDecoder {
public:
    // Files that name no version or code page are read as ANSI_1252 files of the 2000 format.
    DxfTextDecoder() = default;

    // From the header's $ACADVER ("AC1015") and $DWGCODEPAGE ("ANSI_949").
    void setVersion(std::string_view acadver);
    void setCodePage(std::string_view dwgcodepage);

    // A string of the file in UTF-8, its \U+XXXX escapes decoded. Bytes the code page does not
    // have become U+FFFD, so any string converts.
    std::string toUtf8(std::string_view raw) const;

    // The iconv name of a $DWGCODEPAGE value, or empty for one we do not know.
    static std::string iconvName(std::string_view dwgcodepage);

private:
    bool utf8_ = false;                // the 2007 format and later
    std::string encoding_ = "CP1252";  // iconv's name of the code page
};

}  // namespace vel
