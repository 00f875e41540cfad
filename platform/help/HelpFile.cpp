// Reading the help file: line-by-line parse with every rule checked, text layout of the
// topic bodies, and the keyword index.
#include "platform/help/HelpFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

namespace help {

namespace {

const std::string_view Signature = "QUIPTIDE HELP 1";

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return Lower(c); });
    return out;
}

std::string_view Trim(std::string_view s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool ValidId(std::string_view id) {
    return !id.empty() && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    });
}

// Lays out body lines: neighbouring lines join into a paragraph, a blank line separates
// paragraphs, "- " starts a list item and two leading blanks keep a line as it is.
class BodyWriter {
  public:
    void Add(std::string_view line) {
        if (Trim(line).empty()) {
            Flush();
            gap_ = !lines_.empty();
        } else if (line.substr(0, 2) == "  ") {
            Flush();
            Emit(std::string(line));
        } else if (line.substr(0, 2) == "- ") {
            Flush();
            paragraph_ = Trim(line);
        } else {
            if (!paragraph_.empty())
                paragraph_ += ' ';
            paragraph_ += Trim(line);
        }
    }
    std::string Finish() {
        Flush();
        std::string text;
        for (std::size_t i = 0; i < lines_.size(); ++i)
            text += (i ? "\r\n" : "") + lines_[i];
        return text;
    }

  private:
    void Flush() {
        if (!paragraph_.empty())
            Emit(std::move(paragraph_));
        paragraph_.clear();
    }
    void Emit(std::string line) {
        if (gap_)
            lines_.emplace_back();
        gap_ = false;
        lines_.push_back(std::move(line));
    }
    std::vector<std::string> lines_;
    std::string paragraph_;
    bool gap_ = false;
};

class Parser {
  public:
    std::vector<Topic> Run(std::string_view source) {
        std::size_t pos = 0;
        while (pos <= source.size()) {
            std::size_t end = source.find('\n', pos);
            if (end == std::string_view::npos)
                end = source.size();
            std::string_view line = source.substr(pos, end - pos);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            ++lineNo_;
            Line(line);
            pos = end + 1;
        }
        EndTopic();
        if (topics_.empty())
            throw HelpError("the help file has no topics");
        return std::move(topics_);
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw HelpError("line " + std::to_string(lineNo_) + ": " + what);
    }

    void Line(std::string_view line) {
        if (lineNo_ == 1) {
            if (line != Signature)
                Fail("not a Quiptide help file");
            return;
        }
        for (char c : line)
            if ((static_cast<unsigned char>(c) < 32 && c != '\t') || c == 127)
                Fail("control character in the text");
        if (!line.empty() && line[0] == ';')
            return;
        if (!line.empty() && line[0] == '.') {
            std::size_t blank = line.find_first_of(" \t");
            std::string_view name = line.substr(0, blank);
            std::string_view arg =
                blank == std::string_view::npos ? std::string_view{} : Trim(line.substr(blank));
            Directive(name, arg);
            return;
        }
        if (!inTopic_) {
            if (!Trim(line).empty())
                Fail("text outside a topic");
            return;
        }
        body_.Add(line);
    }

    void Directive(std::string_view name, std::string_view arg) {
        if (name == ".topic") {
            EndTopic();
            if (!ValidId(arg))
                Fail("a topic id is made of letters, digits, '-' and '_'");
            if (!ids_.insert(std::string(arg)).second)
                Fail("topic " + std::string(arg) + " is defined twice");
            topics_.push_back(Topic{std::string(arg), {}, {}, {}, {}});
            inTopic_ = true;
            topicLine_ = lineNo_;
            return;
        }
        if (!inTopic_)
            Fail(std::string(name) + " outside a topic");
        Topic& topic = topics_.back();
        if (name == ".title") {
            if (!topic.title.empty())
                Fail("topic " + topic.id + " has two titles");
            if (arg.empty())
                Fail("empty title");
            topic.title = arg;
        } else if (name == ".context") {
            std::uint32_t number = Number(arg);
            if (!contexts_.insert(number).second)
                Fail("context number " + std::string(arg) + " is used twice");
            topic.contexts.push_back(number);
        } else if (name == ".keywords") {
            std::size_t pos = 0;
            while (pos <= arg.size()) {
                std::size_t end = std::min(arg.find(';', pos), arg.size());
                std::string_view keyword = Trim(arg.substr(pos, end - pos));
                if (!keyword.empty())
                    topic.keywords.emplace_back(keyword);
                pos = end + 1;
            }
        } else {
            Fail("unknown directive " + std::string(name));
        }
    }

    std::uint32_t Number(std::string_view text) const {
        if (text.empty() || text.size() > 10 ||
            !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
            Fail("a context number is a whole number from 0 to 4294967295");
        std::uint64_t value = 0;
        for (char c : text)
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > 0xFFFFFFFFu)
            Fail("a context number is a whole number from 0 to 4294967295");
        return static_cast<std::uint32_t>(value);
    }

    void EndTopic() {
        if (!inTopic_)
            return;
        Topic& topic = topics_.back();
        if (topic.title.empty()) {
            lineNo_ = topicLine_;
            Fail("topic " + topic.id + " has no title");
        }
        topic.text = body_.Finish();
        body_ = BodyWriter();
        inTopic_ = false;
    }

    std::vector<Topic> topics_;
    std::set<std::string> ids_;
    std::set<std::uint32_t> contexts_;
    BodyWriter body_;
    bool inTopic_ = false;
    std::size_t lineNo_ = 0;
    std::size_t topicLine_ = 0;
};

} // namespace

HelpFile HelpFile::Parse(std::string_view source) {
    if (source.size() > MaxFileSize)
        throw HelpError("the help file is larger than 1 MiB");
    HelpFile file;
    file.topics_ = Parser().Run(source);
    return file;
}

HelpFile HelpFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw HelpError("the help file cannot be opened");
    std::string source;
    source.resize(MaxFileSize + 1);
    in.read(source.data(), static_cast<std::streamsize>(source.size()));
    if (in.bad())
        throw HelpError("the help file cannot be read");
    source.resize(static_cast<std::size_t>(in.gcount()));
    return Parse(source);
}

std::optional<std::size_t> HelpFile::FindContext(std::uint32_t context) const {
    for (std::size_t i = 0; i < topics_.size(); ++i) {
        const auto& c = topics_[i].contexts;
        if (std::find(c.begin(), c.end(), context) != c.end())
            return i;
    }
    return std::nullopt;
}

std::vector<IndexEntry> HelpFile::Search(std::string_view partialKey) const {
    std::string key = Lower(Trim(partialKey));
    std::vector<IndexEntry> found;
    std::set<std::pair<std::string, std::size_t>> seen;
    for (std::size_t i = 0; i < topics_.size(); ++i)
        for (const std::string& keyword : topics_[i].keywords) {
            std::string folded = Lower(keyword);
            if (folded.compare(0, key.size(), key) == 0 && seen.emplace(folded, i).second)
                found.push_back(IndexEntry{keyword, i});
        }
    std::stable_sort(found.begin(), found.end(), [](const IndexEntry& a, const IndexEntry& b) {
        return Lower(a.keyword) < Lower(b.keyword);
    });
    return found;
}

} // namespace help
