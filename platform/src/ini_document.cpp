// Line-based INI model: parsing is tolerant (any bytes, CRLF, a UTF-8 byte order mark,
// lines without '=', sections without keys); edits keep every unrelated line untouched.
#include "platform/src/ini_document.h"

#include "platform/texts.h"

namespace {
constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
}  // namespace

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

IniDocument::IniDocument(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        m_byteOrderMark = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    while (!text.empty()) {
        const size_t end = text.find('\n');
        m_lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    m_crlf = !m_lines.empty() && !m_lines.front().empty() && m_lines.front().back() == '\r';
}

std::string IniDocument::Text() const {
    std::string text = m_byteOrderMark ? std::string(kByteOrderMark) : std::string();
    for (const std::string& line : m_lines) {
        text += line;
        text += '\n';
    }
    return text;
}

IniDocument::Parsed IniDocument::Parse(std::string_view line) {
    const std::string_view text = TrimBlanks(line);
    if (text.empty() || text.front() == ';') return {};
    if (text.front() == '[') {
        const size_t close = text.find(']');
        if (close == std::string_view::npos) return {};
        return {Kind::Section, TrimBlanks(text.substr(1, close - 1)), {}};
    }
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) return {};
    return {Kind::Key, TrimBlanks(text.substr(0, equals)), TrimBlanks(text.substr(equals + 1))};
}

std::string IniDocument::NewLine(std::string_view content) const {
    std::string line(content);
    if (m_crlf) line += '\r';
    return line;
}

std::optional<std::string_view> IniDocument::Find(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const std::string& line : m_lines) {
        const Parsed parsed = Parse(line);
        if (parsed.kind == Kind::Section)
            inSection = EqualsNoCase(parsed.name, section);
        else if (inSection && parsed.kind == Kind::Key && EqualsNoCase(parsed.name, key))
            return parsed.value;
    }
    return std::nullopt;
}

bool IniDocument::HasSection(std::string_view section) const {
    return AnySection([section](std::string_view name) { return EqualsNoCase(name, section); });
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    bool inSection = false;
    std::optional<size_t> insertAfter;  // last key line (or the header) of the first such section
    bool firstSectionDone = false;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Parsed parsed = Parse(m_lines[i]);
        if (parsed.kind == Kind::Section) {
            if (inSection) firstSectionDone = true;
            inSection = EqualsNoCase(parsed.name, section);
            if (inSection && !insertAfter) insertAfter = i;
        } else if (inSection && parsed.kind == Kind::Key) {
            if (EqualsNoCase(parsed.name, key)) {
                std::string& line = m_lines[i];
                const bool carriageReturn = !line.empty() && line.back() == '\r';
                line.erase(line.find('=') + 1);
                line += value;
                if (carriageReturn) line += '\r';
                return;
            }
            if (!firstSectionDone) insertAfter = i;
        }
    }
    std::string keyLine = NewLine(std::string(key) + "=" + std::string(value));
    if (insertAfter) {
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(*insertAfter + 1), std::move(keyLine));
        return;
    }
    m_lines.push_back(NewLine("[" + std::string(section) + "]"));
    m_lines.push_back(std::move(keyLine));
}

void IniDocument::AddSection(std::string_view section) {
    if (!HasSection(section)) m_lines.push_back(NewLine("[" + std::string(section) + "]"));
}

template <class ShouldRemove>
bool IniDocument::RemoveLines(std::string_view section, ShouldRemove&& shouldRemove) {
    bool inSection = false;
    std::vector<std::string> kept;
    kept.reserve(m_lines.size());
    for (std::string& line : m_lines) {
        const Parsed parsed = Parse(line);
        if (parsed.kind == Kind::Section) inSection = EqualsNoCase(parsed.name, section);
        if (!(inSection && shouldRemove(parsed))) kept.push_back(std::move(line));
    }
    const bool removed = kept.size() != m_lines.size();
    m_lines = std::move(kept);
    return removed;
}

bool IniDocument::RemoveKey(std::string_view section, std::string_view key) {
    return RemoveLines(
        section, [key](const Parsed& parsed) { return parsed.kind == Kind::Key && EqualsNoCase(parsed.name, key); });
}

bool IniDocument::RemoveSection(std::string_view section) {
    return RemoveLines(section, [](const Parsed&) { return true; });
}
