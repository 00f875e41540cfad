// Case folding of whole strings (the byte rule is in TextFold.h, where index keys, folded
// for every row, can have it inlined).
#include "TextFold.h"

namespace idp {

std::string FoldCase(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
    return out;
}

} // namespace idp
