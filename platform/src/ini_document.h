// An INI file held as its lines, the model behind the private-profile functions and the
// key store. Edits touch only the lines they concern, so comments, blank lines, lines
// without '=' and the file's line endings stay exactly as they were.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Drops blanks (space, tab, CR, VT, FF) at both ends.
std::string_view TrimBlanks(std::string_view text);

class IniDocument {
public:
    explicit IniDocument(std::string_view text);
    // The whole file; every line ends with a line break.
    std::string Text() const;

    // Sections of the same name count as one, in file order; the first key of a name wins.
    // The value comes without surrounding blanks.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
    bool HasSection(std::string_view section) const;
    // True when some section name satisfies the predicate.
    template <class Predicate>
    bool AnySection(Predicate&& predicate) const;

    // Replaces the value of the first such key (keeping its spelling and indentation), else
    // adds the key after the last key of the first such section, else adds the section at
    // the end of the file.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // Adds an empty section at the end unless one of that name exists.
    void AddSection(std::string_view section);
    // Remove every occurrence; true when something was removed.
    bool RemoveKey(std::string_view section, std::string_view key);
    bool RemoveSection(std::string_view section);

private:
    enum class Kind { Other, Section, Key };
    struct Parsed {
        Kind kind = Kind::Other;
        std::string_view name;
        std::string_view value;
    };
    static Parsed Parse(std::string_view line);
    // Removes the lines of the sections of that name for which shouldRemove(Parsed) holds.
    template <class ShouldRemove>
    bool RemoveLines(std::string_view section, ShouldRemove&& shouldRemove);
    std::string NewLine(std::string_view content) const;

    std::vector<std::string> m_lines;  // without '\n'; a CRLF file's lines keep their '\r'
    bool m_byteOrderMark = false;
    bool m_crlf = false;  // new lines get the ending of the file's first line
};

template <class Predicate>
bool IniDocument::AnySection(Predicate&& predicate) const {
    for (const std::string& line : m_lines) {
        const Parsed parsed = Parse(line);
        if (parsed.kind == Kind::Section && predicate(parsed.name)) return true;
    }
    return false;
}
