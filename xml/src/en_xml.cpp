// Element operations: children by name, attributes and their typed forms, and the
// settings form (child element N holding its value in the attribute "Value").
#include "platform/key_store.h"
#include "platform/texts.h"
#include "xml/src/value_text.h"
#include "xml/xml.h"

namespace {
constexpr const char* kValue = "Value";
}

enXml* enXml::FindChild(const std::string& name) const {
    for (enXml* child = FirstChildElement(); child; child = child->NextSiblingElement())
        if (EqualsNoCase(child->m_name, name)) return child;
    return nullptr;
}

enXml* enXml::CreateChild(const std::string& name) {
    auto* child = new enXml(name);
    AddChild(child, nullptr);
    return child;
}

bool enXml::GetAttribute(const std::string& name, std::string& text) const {
    for (const enXmlAttribute& attribute : m_attributes) {
        if (EqualsNoCase(attribute.name, name)) {
            text = attribute.value;
            return true;
        }
    }
    return false;
}

bool enXml::GetAttribute(const std::string& name, int& value) const {
    std::string text;
    if (!GetAttribute(name, text)) return false;
    value = valuetext::ParseInt(text);
    return true;
}

bool enXml::GetAttribute(const std::string& name, float& value) const {
    std::string text;
    if (!GetAttribute(name, text)) return false;
    value = valuetext::ToFloat(valuetext::ParseDouble(text));
    return true;
}

bool enXml::GetAttribute(const std::string& name, double& value) const {
    std::string text;
    if (!GetAttribute(name, text)) return false;
    value = valuetext::ParseDouble(text);
    return true;
}

int enXml::GetAttribute(const std::string& name, uint8_t* bytes, int maxCount) const {
    std::string text;
    if (!GetAttribute(name, text)) return 0;
    return valuetext::HexBytes(text, bytes, maxCount);
}

enXmlAttribute* enXml::SetAttribute(const std::string& name, const std::string& text) {
    for (enXmlAttribute& attribute : m_attributes) {
        if (EqualsNoCase(attribute.name, name)) {
            attribute.value = text;
            return &attribute;
        }
    }
    m_attributes.push_back({name, text});
    return &m_attributes.back();
}

enXmlAttribute* enXml::SetAttribute(const std::string& name, int value) {
    return SetAttribute(name, std::to_string(value));
}

enXmlAttribute* enXml::SetAttribute(const std::string& name, float value) {
    return SetAttribute(name, valuetext::FormatGeneral(value));
}

enXmlAttribute* enXml::SetAttribute(const std::string& name, double value) {
    return SetAttribute(name, valuetext::FormatGeneral(value));
}

enXmlAttribute* enXml::SetAttribute(const std::string& name, const uint8_t* bytes, int count) {
    return SetAttribute(name, valuetext::HexText(bytes, count));
}

bool enXml::GetValue(const std::string& child, std::string& text) const {
    const enXml* element = FindChild(child);
    return element && element->GetAttribute(kValue, text);
}

bool enXml::GetValue(const std::string& child, int& value) const {
    const enXml* element = FindChild(child);
    return element && element->GetAttribute(kValue, value);
}

bool enXml::GetValue(const std::string& child, float& value) const {
    const enXml* element = FindChild(child);
    return element && element->GetAttribute(kValue, value);
}

bool enXml::GetValue(const std::string& child, double& value) const {
    const enXml* element = FindChild(child);
    return element && element->GetAttribute(kValue, value);
}

int enXml::GetValue(const std::string& child, uint8_t* bytes, int maxCount) const {
    const enXml* element = FindChild(child);
    return element ? element->GetAttribute(kValue, bytes, maxCount) : 0;
}

namespace {
// The child that holds the setting, made at the end when missing.
enXml& SettingElement(enXml& parent, const std::string& child) {
    enXml* element = parent.FindChild(child);
    return element ? *element : *parent.CreateChild(child);
}
}  // namespace

void enXml::SetValue(const std::string& child, const std::string& text) {
    SettingElement(*this, child).SetAttribute(kValue, text);
}

void enXml::SetValue(const std::string& child, int value) { SettingElement(*this, child).SetAttribute(kValue, value); }

void enXml::SetValue(const std::string& child, float value) {
    SettingElement(*this, child).SetAttribute(kValue, value);
}

void enXml::SetValue(const std::string& child, double value) {
    SettingElement(*this, child).SetAttribute(kValue, value);
}

void enXml::SetValue(const std::string& child, const uint8_t* bytes, int count) {
    SettingElement(*this, child).SetAttribute(kValue, bytes, count);
}
