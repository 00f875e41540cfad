// Writing and reading the dictionary file, checking every length and the order on reading.
#include "platform/speller/core/VtdFile.h"

#include "platform/speller/core/Speller.h"

namespace spell {

namespace {

constexpr std::string_view kMagic{"QVTD\x01\0\0\0", 8};

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

} // namespace

std::string EncodeVtd(const WordTable& table) {
    std::string out(kMagic);
    PutU32(out, static_cast<uint32_t>(table.Size()));
    std::string_view prev;
    for (size_t i = 0; i < table.Size(); ++i) {
        const std::string_view w = table.Form(i);
        size_t shared = 0;
        while (shared < prev.size() && shared < w.size() && shared < 255 &&
               prev[shared] == w[shared])
            ++shared;
        out.push_back(static_cast<char>(shared));
        out.push_back(static_cast<char>(w.size() - shared));
        out.append(w.substr(shared));
        out.push_back(static_cast<char>(table.ranks[i]));
        prev = w;
    }
    return out;
}

WordTable DecodeVtd(std::string_view bytes, const std::string& name) {
    auto damaged = [&](const std::string& what) {
        return Error(name + ": damaged dictionary (" + what + ")");
    };
    if (bytes.size() < kMagic.size() + 4 || bytes.substr(0, kMagic.size()) != kMagic)
        throw Error(name + ": not a Quiptide dictionary");
    size_t pos = kMagic.size();
    uint32_t count = 0;
    for (int i = 0; i < 4; ++i)
        count |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[pos++])) << (8 * i);
    if (count > bytes.size())
        throw damaged("word count larger than the file");
    WordTable table;
    table.forms.reserve(bytes.size() * 2);
    table.keys.reserve(bytes.size() * 2);
    table.offsets.reserve(count + 1);
    table.ranks.reserve(count);
    std::string word;
    for (uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - pos < 2)
            throw damaged("ends inside word " + std::to_string(i + 1));
        const auto shared = static_cast<unsigned char>(bytes[pos]);
        const auto rest = static_cast<unsigned char>(bytes[pos + 1]);
        pos += 2;
        if (shared > word.size() || shared + rest == 0 || bytes.size() - pos < rest + 1u)
            throw damaged("bad lengths at word " + std::to_string(i + 1));
        word.resize(shared);
        word.append(bytes.substr(pos, rest));
        pos += rest;
        const auto rank = static_cast<unsigned char>(bytes[pos++]);
        if (rank < kRare || rank > kCommon || word.find('\0') != std::string::npos)
            throw damaged("bad word " + std::to_string(i + 1));
        table.Append(word, rank);
        if (i > 0) {
            const std::string_view a = table.Key(i - 1), b = table.Key(i);
            if (b < a || (a == b && table.Form(i) <= table.Form(i - 1)))
                throw damaged("words out of order at word " + std::to_string(i + 1));
        }
    }
    if (pos != bytes.size())
        throw damaged("bytes after the last word");
    return table;
}

} // namespace spell
