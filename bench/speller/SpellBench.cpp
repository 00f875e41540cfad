// The spell checker against hunspell (en_US) in the same run: first and top-five suggestion
// hits on the committed misspelling list, checking a 1 MB English text against
// `hunspell -l`, and the dictionary's load time.
//   spell_bench american.vtd misspellings.txt text.txt workdir
#include "platform/speller/core/Speller.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

struct Case {
    std::string typed, meant;
};

std::vector<Case> ReadCases(const std::string& file) {
    std::ifstream in(file);
    std::vector<Case> cases;
    for (std::string line; std::getline(in, line);)
        if (const size_t tab = line.find('\t'); tab != std::string::npos)
            cases.push_back({line.substr(0, tab), line.substr(tab + 1)});
    return cases;
}

std::string Run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[65536];
        for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

// hunspell's suggestions for each word, in order, from its pipe mode.
std::vector<std::vector<std::string>> HunspellSuggestions(const std::vector<Case>& cases,
                                                          const std::string& work) {
    const std::string input = work + "/hunspell-in.txt";
    {
        std::ofstream out(input);
        for (const Case& c : cases)
            out << "^" << c.typed << "\n";
    }
    std::istringstream reply(Run("hunspell -a -d en_US < " + input));
    std::vector<std::vector<std::string>> all;
    std::string line;
    std::getline(reply, line); // the banner
    std::vector<std::string> current;
    bool answered = false;
    while (std::getline(reply, line)) {
        if (line.empty()) {
            all.push_back(answered ? current : std::vector<std::string>{});
            current.clear();
            answered = false;
            continue;
        }
        if (answered)
            continue; // only the first word of a line counts
        answered = true;
        if (line[0] == '&') {
            std::istringstream list(line.substr(line.find(':') + 2));
            for (std::string s; std::getline(list, s, ',');)
                current.push_back(s.substr(s.find_first_not_of(' ')));
        }
    }
    return all;
}

void Ratio(const char* name, double ours, double theirs, const char* goal, const char* what) {
    std::printf("%s ratio=%.3f (goal %s) ours=%.4g hunspell=%.4g %s\n", name,
                theirs > 0 ? ours / theirs : 0.0, goal, ours, theirs, what);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: spell_bench american.vtd misspellings.txt text.txt workdir\n";
        return 2;
    }
    // Load time: the best of several loads, as a warm start measures it.
    double load = 1e9;
    for (int i = 0; i < 10; ++i) {
        const auto t0 = Clock::now();
        const spell::Dictionary d = spell::Dictionary::Load(argv[1]);
        load = std::min(load, Ms(t0, Clock::now()));
    }
    const spell::Dictionary dictionary = spell::Dictionary::Load(argv[1]);
    spell::UserWords user(std::string(argv[4]) + "/no-user-words.txt");
    spell::Checker checker(dictionary, user);

    const std::vector<Case> cases = ReadCases(argv[2]);
    const auto theirs = HunspellSuggestions(cases, argv[4]);
    if (theirs.size() != cases.size()) {
        std::cerr << "spell_bench: hunspell answered " << theirs.size() << " of " << cases.size()
                  << " words\n";
        return 1;
    }
    size_t top1[2] = {}, top5[2] = {};
    const auto t0 = Clock::now();
    for (size_t i = 0; i < cases.size(); ++i) {
        const std::vector<std::string> lists[2] = {checker.Suggest(cases[i].typed, 8), theirs[i]};
        for (int who = 0; who < 2; ++who) {
            const auto& s = lists[who];
            top1[who] += !s.empty() && s[0] == cases[i].meant;
            top5[who] += std::find(s.begin(), s.begin() + std::min<size_t>(5, s.size()),
                                   cases[i].meant) != s.begin() + std::min<size_t>(5, s.size());
        }
    }
    const double suggestMs = Ms(t0, Clock::now()) / static_cast<double>(cases.size());
    const double n = static_cast<double>(cases.size());
    Ratio("spell_top1", top1[0] / n, top1[1] / n, ">= 1.0", "(share of first suggestions right)");
    Ratio("spell_top5", top5[0] / n, top5[1] / n, ">= 1.0", "(share right among the first five)");

    // Checking the text: ours loads the dictionary and walks the text as the program does;
    // hunspell -l is a whole run of the program over the same file.
    std::ifstream in(argv[3], std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const auto c0 = Clock::now();
    const spell::Dictionary fresh = spell::Dictionary::Load(argv[1]);
    spell::Checker check(fresh, user);
    size_t unknown = 0;
    for (size_t from = 0;;) {
        const auto m = check.NextMisspelling(text, from);
        if (!m)
            break;
        ++unknown;
        from = m->offset + m->length;
    }
    const double oursMs = Ms(c0, Clock::now());
    const auto h0 = Clock::now();
    const std::string listed = Run(std::string("hunspell -d en_US -l < ") + argv[3]);
    const double hunMs = Ms(h0, Clock::now());
    const size_t hunUnknown = static_cast<size_t>(std::count(listed.begin(), listed.end(), '\n'));
    std::printf("spell_speed ratio=%.3f (goal <= 1.0) ours=%.1f ms hunspell=%.1f ms on %zu bytes; "
                "unknown words ours=%zu hunspell=%zu\n",
                oursMs / hunMs, oursMs, hunMs, text.size(), unknown, hunUnknown);
    std::printf("spell_load ratio=%.3f (goal <= 1.0: at most 50 ms) %.2f ms for %zu words\n",
                load / 50.0, load, dictionary.Words().Size());
    std::printf("spell_suggest %.2f ms a word on average (%zu misspellings)\n", suggestMs,
                cases.size());
    return 0;
}
