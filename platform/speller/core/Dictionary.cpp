// Loading "american.vtd" and looking words up in it by the case rules.
#include "platform/speller/core/Letters.h"
#include "platform/speller/core/Speller.h"
#include "platform/speller/core/VtdFile.h"

#include <fstream>
#include <iterator>

namespace spell {

Dictionary Dictionary::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error(path + ": the dictionary cannot be opened");
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad())
        throw Error(path + ": the dictionary cannot be read");
    return Dictionary(DecodeVtd(bytes, path));
}

bool Dictionary::Contains(std::string_view word) const {
    return KnownOrPossessive(word, [this](std::string_view w) {
        const auto [first, last] = words_.Range(Fold(w));
        for (size_t i = first; i < last; ++i)
            if (CaseFits(w, words_.Form(i)))
                return true;
        return false;
    });
}

} // namespace spell
