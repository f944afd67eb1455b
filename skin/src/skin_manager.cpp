// The skin manager: owns the loaded skin tree, its palette and fonts. Free of Qt.
// Used from the user-interface thread only.
#include "skin/skin_manager.h"

#include <memory>

#include "platform/platform.h"
#include "skin/src/skin_text.h"
#include "xml/xml.h"

namespace {

// The built-in light palette, also the values of a skin that names no palette.
constexpr COLORREF kDefaultPalette[SKINCOLOR_COUNT] = {
    RGB(0xF4, 0xF5, 0xF8),  // Window
    RGB(0xFF, 0xFF, 0xFF),  // Surface
    RGB(0x1D, 0x23, 0x30),  // Text
    RGB(0x5E, 0x66, 0x75),  // TextSecondary
    RGB(0x4A, 0x57, 0xD4),  // Accent
    RGB(0xFF, 0xFF, 0xFF),  // AccentText
    RGB(0xDD, 0xE1, 0xE8),  // Border
    RGB(0x6C, 0x78, 0xE8),  // Focus
    RGB(0x1D, 0x23, 0x30),  // EditText
    RGB(0xFF, 0xFF, 0xFF),  // EditBackground
    RGB(0xE8, 0xEA, 0xFB),  // Selection
    RGB(0x1D, 0x23, 0x30),  // SelectionText
    RGB(0xA3, 0xAA, 0xB6),  // DisabledText
    RGB(0xF0, 0xF1, 0xF5),  // Hover
    RGB(0x3F, 0x4C, 0xC8),  // Link
    RGB(0xD9, 0x3F, 0x4C),  // Danger
};

class CSkinManager final : public ISkinManager {
public:
    CSkinManager() { ResetPalette(); }

    int LoadStandardSkin(const std::string& path) override {
        if (!FileExists(path)) return SKINLOAD_NOT_FOUND;
        auto root = std::make_unique<enXml>();
        if (!root->LoadFile(path)) return SKINLOAD_BAD_XML;
        std::string caption;
        if (!skintext::EqualsNoCase(root->GetName(), "SKIN_KEL") || !root->GetAttribute("Caption", caption) ||
            caption.empty())
            return SKINLOAD_NOT_A_SKIN;

        m_root = std::move(root);
        const size_t slash = path.find_last_of('/');
        m_folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
        ResetPalette();
        if (const enXml* palette = m_root->FindChild("Palette")) ReadPalette(*palette);
        m_font = ReadFont("LogFont");
        m_captionFont = ReadFont("CaptionLogFont");
        return SKINLOAD_OK;
    }

    enXml* GetSkinXMLRoot() override { return m_root.get(); }

    COLORREF GetSkinColor(int index) const override {
        return index >= 0 && index < SKINCOLOR_COUNT ? m_palette[static_cast<size_t>(index)] : CLR_INVALID;
    }

    std::string GetSkinFolder() const override { return m_root ? m_folder : std::string(); }
    LOGFONT GetSkinFont() const override { return m_font; }
    LOGFONT GetCaptionFont() const override { return m_captionFont; }

private:
    void ResetPalette() {
        for (int i = 0; i < SKINCOLOR_COUNT; ++i) m_palette[static_cast<size_t>(i)] = kDefaultPalette[i];
    }

    // Palette entries may refer to entries written before them ("@Accent").
    void ReadPalette(const enXml& palette) {
        for (const enXmlAttribute& attribute : palette.Attributes()) {
            for (int i = 0; i < SKINCOLOR_COUNT; ++i) {
                if (!skintext::EqualsNoCase(attribute.name, SkinColorName(i))) continue;
                const COLORREF color = skintext::ParseColor(
                    attribute.value, [this](int index) { return m_palette[static_cast<size_t>(index)]; });
                if (color != CLR_INVALID) m_palette[static_cast<size_t>(i)] = color;
            }
        }
    }

    LOGFONT ReadFont(const char* attribute) const {
        LOGFONT lf{};
        std::string text;
        if (m_root->GetAttribute(attribute, text)) LoadFont(&lf, text);
        return lf;
    }

    std::unique_ptr<enXml> m_root;
    std::string m_folder;
    std::array<COLORREF, SKINCOLOR_COUNT> m_palette{};
    LOGFONT m_font{};
    LOGFONT m_captionFont{};
};

CSkinManager& Manager() {
    static CSkinManager manager;
    return manager;
}

ISkinManager* g_controlsManager = nullptr;

}  // namespace

int LoadStandardSkin(const std::string& path) { return Manager().LoadStandardSkin(path); }
enXml* GetSkinXMLRoot() { return Manager().GetSkinXMLRoot(); }
COLORREF GetSkinColor(int index) { return Manager().GetSkinColor(index); }
ISkinManager* GetSWQueryInterface() { return &Manager(); }
void SetSWQueryInterface(ISkinManager* manager) { g_controlsManager = manager; }
ISkinManager* SkinControlsManager() { return g_controlsManager ? g_controlsManager : &Manager(); }
