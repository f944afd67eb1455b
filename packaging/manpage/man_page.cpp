#include "packaging/manpage/man_page.h"

#include <sstream>
#include <vector>

namespace {

constexpr char kSynopsisMarker[] = ".\\\" help: synopsis";
constexpr char kBodyMarker[] = ".\\\" help: body";

size_t IndentOf(const std::string& line) { return line.find_first_not_of(' '); }

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsCommandName(const std::string& line) {
    if (line.empty()) return false;
    for (const char c : line)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
    return line[0] != '-';
}

bool IsPlaceholder(const std::string& word) {
    if (word.empty() || word[0] < 'A' || word[0] > 'Z') return false;
    for (const char c : word)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

// Words of a synopsis line or an option list's left column in the page's fonts: what is
// typed as it stands in bold (options, the program and its commands), what stands for a
// value in italics (upper-case names, and words in brackets such as [options]).
std::string FormattedWords(const std::string& text) {
    std::istringstream words(text);
    std::string out;
    for (std::string word; words >> word;) {
        const size_t first = word.find_first_not_of("[(");
        const size_t last = word.find_last_not_of("]),|");
        if (!out.empty()) out += ' ';
        if (first == std::string::npos || last == std::string::npos || last < first) {
            out += RoffText(word);
            continue;
        }
        const std::string core = word.substr(first, last - first + 1);
        const bool bracketed = first > 0;
        const char* font = core[0] == '-' ? "\\fB" : IsPlaceholder(core) || bracketed ? "\\fI" : "\\fB";
        out += RoffText(word.substr(0, first)) + font + RoffText(core) + "\\fR" + RoffText(word.substr(last + 1));
    }
    return out;
}

// An option list entry: two spaces, a term that starts with an option or a placeholder, a
// gap of two or more spaces, the description.
struct Entry {
    std::string term;
    std::string description;
};

std::optional<Entry> EntryOf(const std::string& line) {
    if (IndentOf(line) != 2) return std::nullopt;
    const std::string rest = line.substr(2);
    if (rest[0] != '-' && !(rest[0] >= 'A' && rest[0] <= 'Z')) return std::nullopt;
    const size_t gap = rest.find("  ");
    if (gap == std::string::npos) return std::nullopt;
    return Entry{rest.substr(0, gap), Trimmed(rest.substr(gap))};
}

class BodyWriter {
public:
    void Blank() { m_kind = Kind::None; }

    void Command(const std::string& name) {
        if (!m_sawCommand) m_out += ".SH COMMANDS\n";
        m_sawCommand = true;
        m_out += ".SS " + RoffText(name) + "\n";
        m_kind = Kind::None;
    }

    void MarginText(const std::string& text) {
        static const std::string kExitStatus = "Exit status:";
        if (text.rfind(kExitStatus, 0) == 0) {
            m_out += ".SH \"EXIT STATUS\"\n";
            m_kind = Kind::None;
            const std::string rest = Trimmed(text.substr(kExitStatus.size()));
            if (!rest.empty()) Paragraph(rest, 0);
            return;
        }
        if (m_sawCommand && !m_sawNotes) {
            m_out += ".SH NOTES\n";
            m_sawNotes = true;
            m_kind = Kind::None;
        }
        Paragraph(text, 0);
    }

    void IndentedText(const std::string& line) {
        if (const std::optional<Entry> entry = EntryOf(line)) {
            if (!m_sawCommand && !m_sawOptions) m_out += ".SH OPTIONS\n";
            m_sawOptions = true;
            m_out += ".TP\n" + FormattedWords(entry->term) + "\n" + RoffText(entry->description) + "\n";
            m_kind = Kind::Entry;
            return;
        }
        // Deeper lines go on with the entry or paragraph above them.
        if (IndentOf(line) > 2 && m_kind != Kind::None) {
            m_out += RoffText(Trimmed(line)) + "\n";
            return;
        }
        Paragraph(Trimmed(line), IndentOf(line));
    }

    const std::string& Text() const { return m_out; }

private:
    enum class Kind { None, Paragraph, Entry };

    // Lines at one indentation make one paragraph; another indentation starts the next.
    void Paragraph(const std::string& text, size_t indent) {
        if (m_kind != Kind::Paragraph || indent != m_paragraphIndent) m_out += ".PP\n";
        m_out += RoffText(text) + "\n";
        m_kind = Kind::Paragraph;
        m_paragraphIndent = indent;
    }

    std::string m_out;
    Kind m_kind = Kind::None;
    size_t m_paragraphIndent = 0;
    bool m_sawCommand = false;
    bool m_sawOptions = false;
    bool m_sawNotes = false;
};

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::string RoffText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::optional<ManPageParts> ManPageFromHelp(const std::string& help) {
    ManPageParts parts;
    BodyWriter body;
    bool inUsage = false;
    bool sawUsage = false;
    for (const std::string& line : LinesOf(help)) {
        const size_t indent = IndentOf(line);
        if (indent == std::string::npos) {
            inUsage = false;
            body.Blank();
        } else if (indent == 0 && line == "Usage:") {
            inUsage = sawUsage = true;
        } else if (inUsage) {
            parts.synopsis += FormattedWords(line) + "\n";
        } else if (indent == 0 && IsCommandName(line)) {
            body.Command(line);
        } else if (indent == 0) {
            body.MarginText(Trimmed(line));
        } else {
            body.IndentedText(line);
        }
    }
    if (!sawUsage || parts.synopsis.empty()) return std::nullopt;
    parts.synopsis = ".SH SYNOPSIS\n.nf\n" + parts.synopsis + ".fi\n";
    parts.body = body.Text();
    return parts;
}

std::optional<std::string> FillManPage(const std::string& pageTemplate, const ManPageParts& parts) {
    std::string page;
    bool synopsis = false;
    bool body = false;
    for (const std::string& line : LinesOf(pageTemplate)) {
        if (line == kSynopsisMarker) {
            page += parts.synopsis;
            synopsis = true;
        } else if (line == kBodyMarker) {
            page += parts.body;
            body = true;
        } else {
            page += line + "\n";
        }
    }
    if (!synopsis || !body) return std::nullopt;
    return page;
}
