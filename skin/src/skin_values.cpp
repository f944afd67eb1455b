// Parsing of the values a skin writes in attributes: colours, fonts, rectangles, anchors.
// Free of Qt so that the parsers are testable on their own.
#include "skin/skin_values.h"

#include <cctype>
#include <cstring>

#include "platform/texts.h"
#include "skin/skin_manager.h"
#include "skin/src/skin_text.h"
#include "xml/xml.h"

namespace {

constexpr const char* kPaletteNames[SKINCOLOR_COUNT] = {
    "Window",   "Surface",        "Text",      "TextSecondary", "Accent",       "AccentText", "Border", "Focus",
    "EditText", "EditBackground", "Selection", "SelectionText", "DisabledText", "Hover",      "Link",   "Danger",
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

COLORREF ParseHexColor(const std::string& digits) {
    int v[6];
    for (size_t i = 0; i < digits.size(); ++i) {
        v[i] = HexDigit(digits[i]);
        if (v[i] < 0) return CLR_INVALID;
    }
    if (digits.size() == 3)
        return RGB(static_cast<uint8_t>(v[0] * 17), static_cast<uint8_t>(v[1] * 17), static_cast<uint8_t>(v[2] * 17));
    if (digits.size() == 6)
        return RGB(static_cast<uint8_t>(v[0] * 16 + v[1]), static_cast<uint8_t>(v[2] * 16 + v[3]),
                   static_cast<uint8_t>(v[4] * 16 + v[5]));
    return CLR_INVALID;
}

struct WeightName {
    const char* name;
    int weight;
};
constexpr WeightName kWeights[] = {
    {"thin", 100},   {"extralight", 200}, {"light", 300}, {"regular", 400},   {"normal", 400},
    {"medium", 500}, {"semibold", 600},   {"bold", 700},  {"extrabold", 800}, {"black", 900},
};

}  // namespace

namespace skintext {

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::vector<std::string> Split(const std::string& text, const char* separators) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : text) {
        if (std::strchr(separators, c)) {
            parts.push_back(Trim(current));
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(Trim(current));
    return parts;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    for (const std::string& part : Split(text, " \t\r\n|"))
        if (!part.empty()) words.push_back(part);
    return words;
}

bool ParseInt(const std::string& text, int32_t& value) {
    const std::string t = Trim(text);
    if (t.empty()) return false;
    size_t i = 0;
    bool negative = false;
    if (t[0] == '-' || t[0] == '+') {
        negative = t[0] == '-';
        i = 1;
    }
    if (i == t.size()) return false;
    int64_t v = 0;
    for (; i < t.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(t[i]))) return false;
        v = v * 10 + (t[i] - '0');
        if (v > 0x7FFFFFFF) return false;
    }
    value = static_cast<int32_t>(negative ? -v : v);
    return true;
}

COLORREF ParseColor(const std::string& text, const PaletteLookup& palette) {
    const std::string t = Trim(text);
    if (t.empty()) return CLR_INVALID;
    if (t[0] == '#') return ParseHexColor(t.substr(1));
    if (t[0] == '@') {
        const std::string name = t.substr(1);
        int32_t index = -1;
        if (!ParseInt(name, index)) {
            for (int i = 0; i < SKINCOLOR_COUNT; ++i)
                if (EqualsNoCase(name, kPaletteNames[i])) index = i;
        }
        if (index < 0 || index >= SKINCOLOR_COUNT || !palette) return CLR_INVALID;
        return palette(index);
    }
    const std::vector<std::string> parts = Split(t, ",");
    if (parts.size() != 3) return CLR_INVALID;
    int32_t c[3];
    for (int i = 0; i < 3; ++i)
        if (!ParseInt(parts[i], c[i]) || c[i] < 0 || c[i] > 255) return CLR_INVALID;
    return RGB(static_cast<uint8_t>(c[0]), static_cast<uint8_t>(c[1]), static_cast<uint8_t>(c[2]));
}

}  // namespace skintext

const char* SkinColorName(int index) { return index >= 0 && index < SKINCOLOR_COUNT ? kPaletteNames[index] : nullptr; }

COLORREF LoadColor(const std::string& text) {
    return skintext::ParseColor(text, [](int index) { return SkinControlsManager()->GetSkinColor(index); });
}

bool LoadFont(LOGFONT* lf, const std::string& text) {
    if (!lf) return false;
    *lf = LOGFONT{};
    const std::vector<std::string> parts = skintext::Split(text, ",");
    if (parts.size() < 2 || parts.size() > 4 || parts[0].empty()) return false;
    if (parts[0].size() >= sizeof(lf->lfFaceName)) return false;

    std::string size = parts[1];
    if (size.size() > 2 && skintext::EqualsNoCase(size.substr(size.size() - 2), "px"))
        size = skintext::Trim(size.substr(0, size.size() - 2));
    int32_t pixels = 0;
    if (!skintext::ParseInt(size, pixels) || pixels < 1 || pixels > 400) return false;

    LOGFONT result{};
    result.lfHeight = -pixels;
    result.lfWeight = 400;
    if (parts.size() >= 3) {
        int32_t weight = 0;
        bool known = skintext::ParseInt(parts[2], weight) && weight >= 100 && weight <= 900;
        for (const WeightName& w : kWeights)
            if (skintext::EqualsNoCase(parts[2], w.name)) {
                weight = w.weight;
                known = true;
            }
        if (!known) return false;
        result.lfWeight = weight;
    }
    if (parts.size() == 4) {
        const std::vector<std::string> flags = skintext::Words(parts[3]);
        if (flags.empty()) return false;
        for (const std::string& flag : flags) {
            if (skintext::EqualsNoCase(flag, "italic"))
                result.lfItalic = 1;
            else if (skintext::EqualsNoCase(flag, "underline"))
                result.lfUnderline = 1;
            else if (skintext::EqualsNoCase(flag, "strikeout"))
                result.lfStrikeOut = 1;
            else
                return false;
        }
    }
    std::memcpy(result.lfFaceName, parts[0].data(), parts[0].size());
    *lf = result;
    return true;
}

bool ParseFourInts(const std::string& text, int32_t out[4]) {
    std::vector<std::string> parts;
    for (const std::string& part : skintext::Split(text, ", \t"))
        if (!part.empty()) parts.push_back(part);
    if (parts.size() != 4) return false;
    int32_t values[4];
    for (int i = 0; i < 4; ++i)
        if (!skintext::ParseInt(parts[static_cast<size_t>(i)], values[i])) return false;
    for (int i = 0; i < 4; ++i) out[i] = values[i];
    return true;
}

RECT* LoadRect(RECT* rc, const std::string& text) {
    if (!rc) return nullptr;
    int32_t v[4];
    if (!ParseFourInts(text, v)) {
        *rc = RECT{};
        return nullptr;
    }
    *rc = RECT{v[0], v[1], v[2], v[3]};
    return rc;
}

int ParseAnchors(const std::string& text) {
    const std::vector<std::string> words = skintext::Words(text);
    if (words.empty()) return SC_ANCHOR_LEFT | SC_ANCHOR_TOP;
    int anchors = 0;
    for (const std::string& word : words) {
        if (skintext::EqualsNoCase(word, "left"))
            anchors |= SC_ANCHOR_LEFT;
        else if (skintext::EqualsNoCase(word, "top"))
            anchors |= SC_ANCHOR_TOP;
        else if (skintext::EqualsNoCase(word, "right"))
            anchors |= SC_ANCHOR_RIGHT;
        else if (skintext::EqualsNoCase(word, "bottom"))
            anchors |= SC_ANCHOR_BOTTOM;
    }
    return anchors;
}

std::string AttributeText(const enXml& element, const char* name) {
    std::string value;
    element.GetAttribute(name, value);
    return value;
}

int AttributeInt(const enXml& element, const char* name) {
    int value = 0;
    element.GetAttribute(name, value);
    return value;
}

COLORREF AttributeColor(const enXml& element, const char* name, COLORREF fallback) {
    std::string value;
    return element.GetAttribute(name, value) ? LoadColor(value) : fallback;
}
