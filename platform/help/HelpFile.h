// The program's help file: topics with titles, keywords and context numbers, read from
// our own plain-text format. Portable: no Windows headers, so it is tested natively.
//
// The format, one directive or body line per line (CR LF or LF):
//   QUIPTIDE HELP 1        the first line, exactly
//   ; text                 a comment, anywhere
//   .topic <id>            starts a topic; id of letters, digits, '-' and '_', unique
//   .title <text>          the topic's title, exactly once per topic
//   .context <number>      a context number (decimal, 32 bits) of the topic, unique in the
//                          file; a topic may have several
//   .keywords <a>; <b>     index keywords of the topic, separated by ';'
//   other lines            the topic's text: lines next to each other form one paragraph,
//                          a blank line ends it; a line beginning with "- " starts a new
//                          line (a list item), one beginning with two blanks is kept as is
// The first topic is the contents topic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace help {

// A file that cannot be read or does not follow the format; the message names the line.
class HelpError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Topic {
    std::string id;
    std::string title;
    std::vector<std::uint32_t> contexts;
    std::vector<std::string> keywords;
    std::string text; // paragraphs, lines separated by "\r\n"
};

struct IndexEntry {
    std::string keyword;
    std::size_t topic; // position in Topics()
};

class HelpFile {
  public:
    static constexpr std::size_t MaxFileSize = 1 << 20;

    static HelpFile Parse(std::string_view source);
    static HelpFile Load(const std::string& path);

    const std::vector<Topic>& Topics() const { return topics_; }
    const Topic& Contents() const { return topics_.front(); }
    std::optional<std::size_t> FindContext(std::uint32_t context) const;
    // Index entries whose keyword begins with the partial key (letter case ignored),
    // ordered by keyword and then by topic; an empty key gives the whole index.
    std::vector<IndexEntry> Search(std::string_view partialKey) const;

  private:
    std::vector<Topic> topics_; // never empty
};

} // namespace help
