// Compiles one language's lexicon for its module and checks it on the way.
//
//   lexicon_compile <factors.tsv> <unitnames.tsv> <lexicon.tsv> <output>
//
// lexicon.tsv gives each unit (by its key of factors.tsv) the words people know it by, and the
// territories where it is the default meaning of the words it shares with its rivals; rows whose
// key begins with "@" hold the language's connecting words and the forms of composite names. The
// output is what the program reads: the connecting, joining and question-ending words, then one line a unit with
// its category code, its display name, its territories and every word, the composite ones built
// here by rule ("square feet" from the words of the foot).
//
// The build fails (exit status 1, the file and line named) when a key is unknown, a unit has no row,
// or a listed word names two units of one category that no territory tells apart: a lookup could
// then only guess. (Symbols that the catalogue gives two units stay the catalogue's business: the
// lookup offers both unless a territory decides.) A composite word that two units would share is left out instead,
// since nobody listed it.
//
// Plain C++ without Qt: it runs at build time in every preset, sanitizers included.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char kSpecialPrefix = '@';
constexpr char kWordSeparator = '|';
constexpr const char* kSlot = "{}";
constexpr std::size_t kSlotSize = 2;
constexpr int kExitFailure = 1;
constexpr int kArgumentCount = 5;

struct Unit
{
    std::string key;
    std::string code;
    std::string name;
    std::vector<std::string> regions;
    std::vector<std::string> words; // as listed in the table
    std::vector<std::string> composed;
    bool listed = false;
};

struct Failure
{
    std::string message;
};

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) {
        parts.push_back(part);
    }
    if (!text.empty() && text.back() == separator) {
        parts.emplace_back();
    }
    return parts;
}

bool isComment(const std::string& line)
{
    return line.empty() || line[0] == '#' || line[0] == '*';
}

/** Reads a table's lines (carriage returns dropped) with their numbers. */
std::vector<std::pair<int, std::string>> readLines(const std::string& path)
{
    std::ifstream file(path);
    if (!file) {
        throw Failure{path + ": cannot be read"};
    }
    std::vector<std::pair<int, std::string>> lines;
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!isComment(line)) {
            lines.emplace_back(number, line);
        }
    }
    return lines;
}

std::string symbolOf(const std::string& name)
{
    if (name.empty() || name.back() != ')') {
        return {};
    }
    const std::size_t open = name.rfind(" (");
    if (open == std::string::npos) {
        return {};
    }
    const std::string symbol = name.substr(open + 2, name.size() - open - 3);
    return symbol.find('(') == std::string::npos ? symbol : std::string();
}

/** The name before its first parenthesis: "gallon" of "gallon (US) (gal)". */
std::string baseName(const std::string& name)
{
    const std::size_t open = name.find(" (");
    return open == std::string::npos ? name : name.substr(0, open);
}

class Compiler
{
public:
    void readFactors(const std::string& path)
    {
        for (const auto& [number, line] : readLines(path)) {
            const std::vector<std::string> fields = split(line, '\t');
            if (fields.size() < 2) {
                throw Failure{path + ":" + std::to_string(number) + ": expected a key and a category code"};
            }
            m_index[fields[0]] = m_units.size();
            m_units.push_back(Unit{fields[0], fields[1], {}, {}, {}, {}, false});
        }
    }

    void readNames(const std::string& path)
    {
        for (const auto& [number, line] : readLines(path)) {
            const std::vector<std::string> fields = split(line, '\t');
            const auto found = fields.size() == 2 ? m_index.find(fields[0]) : m_index.end();
            if (found == m_index.end()) {
                throw Failure{path + ":" + std::to_string(number) + ": no unit of the factor table has this key"};
            }
            m_units[found->second].name = fields[1];
        }
    }

    void readLexicon(const std::string& path)
    {
        for (const auto& [number, line] : readLines(path)) {
            const std::string where = path + ":" + std::to_string(number) + ": ";
            const std::vector<std::string> fields = split(line, '\t');
            if (fields.size() != 3) {
                throw Failure{where + "expected a key, a tab, territories, a tab and words"};
            }
            std::vector<std::string> words;
            for (const std::string& word : split(fields[2], kWordSeparator)) {
                if (!word.empty()) {
                    words.push_back(word);
                }
            }
            if (fields[0][0] == kSpecialPrefix) {
                m_special[fields[0]] = words;
                continue;
            }
            const auto found = m_index.find(fields[0]);
            if (found == m_index.end()) {
                throw Failure{where + "no unit of the factor table has the key " + fields[0]};
            }
            Unit& unit = m_units[found->second];
            if (unit.listed) {
                throw Failure{where + "the key " + fields[0] + " has two rows"};
            }
            unit.listed = true;
            std::istringstream regions(fields[1]);
            for (std::string region; regions >> region;) {
                unit.regions.push_back(region);
            }
            unit.words = words;
            m_lines[found->second] = where;
        }
        for (const Unit& unit : m_units) {
            if (!unit.listed) {
                throw Failure{path + ": the unit " + unit.key + " has no row"};
            }
        }
    }

    void compose()
    {
        composeFrom("are.square_", "len.", "@square");
        composeFrom("vol.cubic_", "len.", "@cubic");
        composePer("spd.", "len.", "tme.");
    }

    void check() const
    {
        // word and category -> the units that carry it
        std::map<std::pair<std::string, std::string>, std::vector<std::size_t>> carriers;
        for (std::size_t u = 0; u < m_units.size(); ++u) {
            const std::set<std::string> own(m_units[u].words.begin(), m_units[u].words.end());
            for (const std::string& word : own) {
                carriers[{m_units[u].code, word}].push_back(u);
            }
        }
        for (const auto& [wordInCategory, units] : carriers) {
            if (units.size() > 1 && !toldApart(units)) {
                std::string message = location(units.back()) + "the word \"" + wordInCategory.second +
                                      "\" names several units of " + wordInCategory.first +
                                      " that no territory tells apart:";
                for (const std::size_t u : units) {
                    message += " " + m_units[u].key;
                }
                throw Failure{message};
            }
        }
    }

    void write(const std::string& path)
    {
        std::ostringstream out;
        out << "# Generated at build time by lexicon_compile from lexicon.tsv, unitnames.tsv and factors.tsv.\n";
        for (const auto& [key, words] : m_special) {
            if (key == "@connect" || key == "@and" || key == "@end") {
                out << key << "\t\t\t" << joined(words) << '\n';
            }
        }
        for (const Unit& unit : m_units) {
            std::vector<std::string> words;
            for (const std::vector<std::string>* list : {&unit.words, &unit.composed}) {
                for (const std::string& word : *list) {
                    if (word != unit.name && std::find(words.begin(), words.end(), word) == words.end()) {
                        words.push_back(word);
                    }
                }
            }
            std::string regions;
            for (const std::string& region : unit.regions) {
                regions += (regions.empty() ? "" : " ") + region;
            }
            out << unit.code << '\t' << unit.name << '\t' << regions << '\t' << joined(words) << '\n';
        }
        const std::string temporary = path + ".new";
        {
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            file << out.str();
            file.flush();
            if (!file) {
                throw Failure{temporary + ": cannot be written"};
            }
        }
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            throw Failure{path + ": cannot be replaced"};
        }
    }

private:
    static std::string joined(const std::vector<std::string>& words)
    {
        std::string text;
        for (const std::string& word : words) {
            text += (text.empty() ? "" : std::string(1, kWordSeparator)) + word;
        }
        return text;
    }

    std::string location(std::size_t unit) const
    {
        const auto found = m_lines.find(unit);
        return found == m_lines.end() ? std::string() : found->second;
    }

    /** Units that share a word are told apart when each has territories and no two claim the same. */
    bool toldApart(const std::vector<std::size_t>& units) const
    {
        std::set<std::string> claimed;
        for (const std::size_t u : units) {
            if (m_units[u].regions.empty()) {
                return false;
            }
            for (const std::string& region : m_units[u].regions) {
                if (!claimed.insert(region).second) {
                    return false;
                }
            }
        }
        return true;
    }

    /** Every word a unit is known by: its listed words, its name without qualifiers, its symbol. */
    std::vector<std::string> wordsOf(const Unit& unit) const
    {
        std::vector<std::string> words = unit.words;
        words.push_back(baseName(unit.name));
        const std::string symbol = symbolOf(unit.name);
        if (!symbol.empty()) {
            words.push_back(symbol);
        }
        return words;
    }

    /** A form's slot filled with a word; a form that glues the word to a prefix ("Quadrat{}")
     *  takes it with a small first letter, as the compound is written ("Quadratmeter"). */
    static std::string filled(const std::string& form, std::size_t slot, const std::string& word)
    {
        std::string inserted = word;
        const bool glued = slot > 0 && std::isalpha(static_cast<unsigned char>(form[slot - 1])) != 0;
        if (glued && !inserted.empty() && inserted[0] >= 'A' && inserted[0] <= 'Z') {
            inserted[0] = static_cast<char>(inserted[0] - 'A' + 'a');
        }
        return form.substr(0, slot) + inserted + form.substr(slot + kSlotSize);
    }

    void addComposed(std::size_t unit, const std::string& word)
    {
        m_units[unit].composed.push_back(word);
        m_composedBy[{m_units[unit].code, word}].insert(unit);
    }

    /** "are.square_foot" from "len.foot" through the forms of a rule such as "square {}|{}²". */
    void composeFrom(const std::string& prefix, const std::string& partPrefix, const std::string& rule)
    {
        const auto forms = m_special.find(rule);
        if (forms == m_special.end()) {
            return;
        }
        for (std::size_t u = 0; u < m_units.size(); ++u) {
            const std::string& key = m_units[u].key;
            if (key.rfind(prefix, 0) != 0) {
                continue;
            }
            const auto part = m_index.find(partPrefix + key.substr(prefix.size()));
            if (part == m_index.end()) {
                continue;
            }
            for (const std::string& form : forms->second) {
                const std::size_t slot = form.find(kSlot);
                if (slot == std::string::npos) {
                    continue;
                }
                for (const std::string& word : wordsOf(m_units[part->second])) {
                    addComposed(u, filled(form, slot, word));
                }
            }
        }
        dropShared();
    }

    /** "spd.mile_per_hour" from "len.mile" and "tme.hour" through forms such as "{} per {}". */
    void composePer(const std::string& prefix, const std::string& firstPrefix, const std::string& secondPrefix)
    {
        const auto forms = m_special.find("@per");
        if (forms == m_special.end()) {
            return;
        }
        const std::string per = "_per_";
        for (std::size_t u = 0; u < m_units.size(); ++u) {
            const std::string& key = m_units[u].key;
            const std::size_t middle = key.find(per);
            if (key.rfind(prefix, 0) != 0 || middle == std::string::npos) {
                continue;
            }
            const auto first = m_index.find(firstPrefix + key.substr(prefix.size(), middle - prefix.size()));
            const auto second = m_index.find(secondPrefix + key.substr(middle + per.size()));
            if (first == m_index.end() || second == m_index.end()) {
                continue;
            }
            for (const std::string& form : forms->second) {
                const std::size_t slot = form.find(kSlot);
                const std::size_t secondSlot = slot == std::string::npos ? slot : form.find(kSlot, slot + kSlotSize);
                if (secondSlot == std::string::npos) {
                    continue;
                }
                for (const std::string& a : wordsOf(m_units[first->second])) {
                    for (const std::string& b : wordsOf(m_units[second->second])) {
                        const std::string half = filled(form, secondSlot, b);
                        addComposed(u, filled(half, slot, a));
                    }
                }
            }
        }
        dropShared();
    }

    /** A composite word that two units would share, or that another unit lists, names neither. */
    void dropShared()
    {
        std::map<std::pair<std::string, std::string>, std::set<std::size_t>> listed;
        for (std::size_t u = 0; u < m_units.size(); ++u) {
            for (const std::string& word : m_units[u].words) {
                listed[{m_units[u].code, word}].insert(u);
            }
        }
        for (std::size_t u = 0; u < m_units.size(); ++u) {
            std::vector<std::string>& composed = m_units[u].composed;
            composed.erase(std::remove_if(composed.begin(), composed.end(),
                                          [&](const std::string& word) {
                                              const std::pair<std::string, std::string> at{m_units[u].code, word};
                                              const auto others = listed.find(at);
                                              const bool listedElsewhere =
                                                  others != listed.end() && !others->second.contains(u);
                                              return listedElsewhere || m_composedBy[at].size() > 1;
                                          }),
                           composed.end());
        }
    }

    std::vector<Unit> m_units;
    std::map<std::string, std::size_t> m_index;
    std::map<std::size_t, std::string> m_lines;
    std::map<std::string, std::vector<std::string>> m_special;
    std::map<std::pair<std::string, std::string>, std::set<std::size_t>> m_composedBy;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != kArgumentCount) {
        std::cerr << "usage: lexicon_compile <factors.tsv> <unitnames.tsv> <lexicon.tsv> <output>\n";
        return kExitFailure;
    }
    try {
        Compiler compiler;
        compiler.readFactors(argv[1]);
        compiler.readNames(argv[2]);
        compiler.readLexicon(argv[3]);
        compiler.compose();
        compiler.check();
        compiler.write(argv[4]);
    } catch (const Failure& failure) {
        std::cerr << failure.message << '\n';
        return kExitFailure;
    }
    return 0;
}
