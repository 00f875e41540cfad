// Reading and writing the index sidecar; see IndexDefs.h for its format.
#include "IndexDefs.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "../idapi.h"
#include "Bytes.h"
#include "Os.h"
#include "Status.h"
#include "TextFold.h"

namespace idp {

namespace {

constexpr size_t kMaxSidecar = 1 << 20;

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(line);
    while (std::getline(in, part, '\t'))
        parts.push_back(part);
    return parts;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" ");
    size_t e = s.find_last_not_of(" \r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool ParseNumber(const std::string& s, unsigned long max, unsigned long& v) {
    if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos)
        return false;
    v = std::stoul(s);
    return v <= max;
}

std::string ReadSmallFile(const std::string& path) {
    if (!os::FileExists(path))
        return {};
    os::File f = os::File::Open(path, false, os::Lock::None);
    uint64_t size = f.Size();
    std::string text(size < kMaxSidecar ? size : kMaxSidecar, '\0');
    text.resize(f.ReadAt(0, text.data(), text.size()));
    return text;
}

} // namespace

bool IndexDef::Primary() const {
    return options & IDP_IDX_PRIMARY;
}
bool IndexDef::Unique() const {
    return options & (IDP_IDX_UNIQUE | IDP_IDX_PRIMARY);
}
bool IndexDef::Descending() const {
    return options & IDP_IDX_DESCENDING;
}
bool IndexDef::CaseInsensitive() const {
    return options & IDP_IDX_CASE_INSENSITIVE;
}
bool IndexDef::Expression() const {
    return options & IDP_IDX_EXPRESSION;
}

bool ResolveFields(const Schema& schema, const std::string& fieldText, std::vector<int>& fields) {
    fields.clear();
    std::istringstream in(fieldText);
    std::string name;
    while (std::getline(in, name, ';')) {
        int n = schema.Find(Trim(name));
        if (n < 0)
            return false;
        fields.push_back(n);
    }
    return !fields.empty();
}

bool SidecarLines(const std::string& text, std::vector<std::string>& lines) {
    std::istringstream in(text);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (first) {
            if (line != "QIX1")
                return false;
            first = false;
            continue;
        }
        lines.push_back(line);
    }
    return true;
}

std::vector<IndexDef> LoadIndexes(const std::string& sidecarPath, Schema& schema) {
    IndexDef primary;
    primary.options = IDP_IDX_PRIMARY | IDP_IDX_UNIQUE;
    for (uint16_t i = 0; i < schema.keyFields; ++i) {
        primary.fields.push_back(i);
        primary.fieldText += (i ? ";" : "") + schema.fields[i].name;
    }
    std::vector<IndexDef> secondaries;
    std::vector<std::string> lines;
    SidecarLines(ReadSmallFile(sidecarPath), lines);
    for (const std::string& line : lines) {
        std::vector<std::string> p = SplitTabs(line);
        unsigned long n = 0;
        if (p.size() == 2 && p[0] == "required" && ParseNumber(p[1], 255, n) && n >= 1 &&
            n <= schema.fields.size()) {
            schema.fields[n - 1].required = true;
        } else if (p.size() == 4 && p[0] == "index" && ParseNumber(p[1], 0x1F, n) &&
                   p[2].size() < IDP_MAX_NAME && p[3].size() < IDP_MAX_PATH) {
            IndexDef d;
            d.options = static_cast<uint16_t>(n);
            d.name = p[2];
            d.fieldText = p[3];
            if (d.Primary()) {
                if (schema.Keyed()) {
                    primary.name = d.name;
                    primary.options = static_cast<uint16_t>(d.options | IDP_IDX_UNIQUE) &
                                      ~IDP_IDX_DESCENDING & ~IDP_IDX_EXPRESSION;
                }
            } else if (d.Expression() || ResolveFields(schema, d.fieldText, d.fields)) {
                secondaries.push_back(d);
            }
        }
    }
    std::vector<IndexDef> all;
    if (schema.Keyed())
        all.push_back(primary);
    all.insert(all.end(), secondaries.begin(), secondaries.end());
    return all;
}

namespace {

// Hands each field's part of a record's key to put(bytes, length, fold) in key order;
// fold asks for the bytes up to the part's first zero to be folded. The last field, when
// alpha, ends at its text's end: the rest is padding.
template <class Put>
void ForEachKeyPart(const Schema& schema, const uint8_t* record, const IndexDef& index, Put&& put) {
    for (size_t k = 0; k < index.fields.size(); ++k) {
        const Field& f = schema.fields[static_cast<size_t>(index.fields[k])];
        const uint8_t* p = record + f.offset;
        size_t length = f.width;
        if (f.type == IDP_FLD_ALPHA && k + 1 == index.fields.size())
            length = TextLength(p, f.width);
        if (!put(p, length, index.CaseInsensitive() && f.type == IDP_FLD_ALPHA))
            return;
    }
}

// Copies a part into out, folded up to its first zero when asked.
void PutPart(const uint8_t* p, size_t length, bool fold, uint8_t* out) {
    size_t i = 0;
    if (fold)
        for (; i < length && p[i]; ++i)
            out[i] = kFoldTable[p[i]];
    std::memcpy(out + i, p + i, length - i);
}

} // namespace

void FieldsKeyInto(const Schema& schema, const uint8_t* record, const IndexDef& index,
                   std::string& key) {
    // Keys have one length, so dropping the zero padding at the end keeps both equality
    // and order, and makes the keys of short taglines short.
    key.clear();
    ForEachKeyPart(schema, record, index, [&key](const uint8_t* p, size_t length, bool fold) {
        const size_t at = key.size();
        key.resize(at + length);
        PutPart(p, length, fold, reinterpret_cast<uint8_t*>(key.data()) + at);
        return true;
    });
    while (!key.empty() && key.back() == 0)
        key.pop_back();
}

KeyHead FieldsKeyHead(const Schema& schema, const uint8_t* record, const IndexDef& index) {
    uint8_t head[16] = {};
    size_t at = 0;
    ForEachKeyPart(schema, record, index, [&](const uint8_t* p, size_t length, bool fold) {
        const size_t n = std::min(length, sizeof head - at);
        PutPart(p, n, fold, head + at);
        at += n;
        return at < sizeof head;
    });
    return KeyHead::Of(head, sizeof head);
}

void SaveIndexes(const std::string& sidecarPath, const Schema& schema,
                 const std::vector<IndexDef>& indexes) {
    std::string text = "QIX1\r\n";
    bool anything = false;
    for (size_t i = 0; i < schema.fields.size(); ++i)
        if (schema.fields[i].required) {
            text += "required\t" + std::to_string(i + 1) + "\r\n";
            anything = true;
        }
    for (const IndexDef& d : indexes) {
        text += "index\t" + std::to_string(d.options) + "\t" + d.name + "\t" + d.fieldText + "\r\n";
        anything = true;
    }
    os::RemoveFile(sidecarPath);
    if (!anything)
        return;
    os::File f = os::File::Create(sidecarPath, os::Lock::None);
    f.WriteAt(0, text.data(), text.size());
}

} // namespace idp
