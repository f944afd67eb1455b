// Typed parameter lists kept in an XML settings element, the key store or an INI file.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_file.h"
#include "platform/key_store.h"
#include "platform/texts.h"
#include "xml/src/value_text.h"
#include "xml/xml.h"

namespace {

enum class Tag { Integer, Float, Double, String, Lss };

struct Parameter {
    Tag tag;
    std::string key;
    void* value;
};

constexpr size_t kMaxTypeListChars = 1023;
constexpr size_t kProfileStringChars = 1024;

std::optional<Tag> TagNamed(std::string_view name) {
    if (EqualsNoCase(name, "UINT") || EqualsNoCase(name, "DWORD") || EqualsNoCase(name, "INT")) return Tag::Integer;
    if (EqualsNoCase(name, "FLOAT")) return Tag::Float;
    if (EqualsNoCase(name, "DOUBLE")) return Tag::Double;
    if (EqualsNoCase(name, "STRING")) return Tag::String;
    if (EqualsNoCase(name, "LSS")) return Tag::Lss;
    return std::nullopt;
}

// Tag i of the type list with key i and value i, for the parameters that can be handled.
std::vector<Parameter> Parameters(const char* const* keys, const char* types, void* const* values, size_t valueCount) {
    std::vector<Parameter> parameters;
    if (!keys || !types || !values) return parameters;
    std::string_view list(types, strnlen(types, kMaxTypeListChars));
    for (size_t index = 0; !list.empty(); ++index) {
        const size_t space = list.find(' ');
        const std::string_view token = list.substr(0, space);
        list = space == std::string_view::npos ? std::string_view() : list.substr(space + 1);
        if (index >= valueCount) break;
        const std::optional<Tag> tag = TagNamed(token);
        if (tag && keys[index] && values[index]) parameters.push_back({*tag, keys[index], values[index]});
    }
    return parameters;
}

std::string SizeKey(const std::string& key) { return "SIZE_LSS_" + key; }
std::string DataKey(const std::string& key) { return "DATA_LSS_" + key; }

template <class T>
T& As(const Parameter& parameter) {
    return *static_cast<T*>(parameter.value);
}

// The bytes of a block that are stored: none for a null pointer, and at most what loading
// accepts.
uint32_t LssBytes(const ParameterLss& lss) { return lss.data ? std::min(lss.size, kMaxParameterLssBytes) : 0; }

// Replaces the block by a zero-filled buffer of count bytes (none for 0 or an
// implausible count) and returns it.
uint8_t* NewLssBuffer(ParameterLss& lss, int64_t count) {
    if (count <= 0 || count > kMaxParameterLssBytes) {
        lss = {};
        return nullptr;
    }
    lss.size = static_cast<uint32_t>(count);
    lss.data = new uint8_t[lss.size]();
    return lss.data;
}

// ---- XML store ---------------------------------------------------------------------------

void SaveToXml(enXml& element, const std::vector<Parameter>& parameters) {
    for (const Parameter& p : parameters) {
        switch (p.tag) {
            case Tag::Integer: element.SetValue(p.key, As<int32_t>(p)); break;
            case Tag::Float: element.SetValue(p.key, As<float>(p)); break;
            case Tag::Double: element.SetValue(p.key, As<double>(p)); break;
            case Tag::String: element.SetValue(p.key, As<std::string>(p)); break;
            case Tag::Lss: {
                const ParameterLss& lss = As<ParameterLss>(p);
                const int count = static_cast<int>(LssBytes(lss));
                element.SetValue(SizeKey(p.key), count);
                element.SetValue(DataKey(p.key), lss.data, count);
                break;
            }
        }
    }
}

void LoadFromXml(const enXml& element, const std::vector<Parameter>& parameters) {
    for (const Parameter& p : parameters) {
        switch (p.tag) {
            case Tag::Integer: element.GetValue(p.key, As<int32_t>(p)); break;
            case Tag::Float: element.GetValue(p.key, As<float>(p)); break;
            case Tag::Double: element.GetValue(p.key, As<double>(p)); break;
            case Tag::String: element.GetValue(p.key, As<std::string>(p)); break;
            case Tag::Lss: {
                ParameterLss& lss = As<ParameterLss>(p);
                int count = 0;
                element.GetValue(SizeKey(p.key), count);
                if (uint8_t* buffer = NewLssBuffer(lss, count)) element.GetValue(DataKey(p.key), buffer, count);
                break;
            }
        }
    }
}

// ---- INI store ---------------------------------------------------------------------------

void SaveToIni(const std::string& path, const std::string& section, const std::vector<Parameter>& parameters) {
    for (const Parameter& p : parameters) {
        switch (p.tag) {
            case Tag::Integer: WritePrivateProfileString(section, p.key, std::to_string(As<int32_t>(p)), path); break;
            case Tag::Float:
                WritePrivateProfileString(section, p.key, valuetext::FormatGeneral(As<float>(p)), path);
                break;
            case Tag::Double:
                WritePrivateProfileString(section, p.key, valuetext::FormatGeneral(As<double>(p)), path);
                break;
            case Tag::String: WritePrivateProfileString(section, p.key, As<std::string>(p), path); break;
            case Tag::Lss: {
                const ParameterLss& lss = As<ParameterLss>(p);
                const uint32_t count = LssBytes(lss);
                WritePrivateProfileString(section, SizeKey(p.key), std::to_string(count), path);
                static constexpr uint8_t kNoBytes[1] = {};  // an empty block is still written
                WritePrivateProfileStruct(section, DataKey(p.key), lss.data ? lss.data : kNoBytes, count, path);
                break;
            }
        }
    }
}

void LoadFromIni(const std::string& path, const std::string& section, const std::vector<Parameter>& parameters) {
    const auto number = [&](const std::string& key, double current) {
        return valuetext::ParseDouble(
            GetPrivateProfileString(section, key, valuetext::FormatGeneral(current), path, kProfileStringChars));
    };
    for (const Parameter& p : parameters) {
        switch (p.tag) {
            case Tag::Integer: As<int32_t>(p) = GetPrivateProfileInt(section, p.key, As<int32_t>(p), path); break;
            case Tag::Float: As<float>(p) = valuetext::ToFloat(number(p.key, As<float>(p))); break;
            case Tag::Double: As<double>(p) = number(p.key, As<double>(p)); break;
            case Tag::String:
                As<std::string>(p) =
                    GetPrivateProfileString(section, p.key, As<std::string>(p), path, kProfileStringChars);
                break;
            case Tag::Lss: {
                ParameterLss& lss = As<ParameterLss>(p);
                const int count = GetPrivateProfileInt(section, SizeKey(p.key), 0, path);
                if (uint8_t* buffer = NewLssBuffer(lss, count))
                    GetPrivateProfileStruct(section, DataKey(p.key), buffer, lss.size, path);
                break;
            }
        }
    }
}

// ---- key store ---------------------------------------------------------------------------
// Raw bytes of each value with its own width, value type None.

RegValue RawValue(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    return {RegType::None, std::vector<uint8_t>(bytes, bytes + size)};
}

template <class T>
RegValue RawValueOf(const T& value) {
    return RawValue(&value, sizeof value);
}

bool SaveToKeyStore(HKEY root, const std::string& subkey, const std::vector<Parameter>& parameters) {
    if (!keystore::CreateKey(root, subkey)) return false;
    std::vector<std::pair<std::string, RegValue>> values;
    for (const Parameter& p : parameters) {
        switch (p.tag) {
            case Tag::Integer: values.emplace_back(p.key, RawValueOf(As<int32_t>(p))); break;
            case Tag::Float: values.emplace_back(p.key, RawValueOf(As<float>(p))); break;
            case Tag::Double: values.emplace_back(p.key, RawValueOf(As<double>(p))); break;
            case Tag::String: {
                const std::string& text = As<std::string>(p);
                values.emplace_back(p.key, RawValue(text.data(), text.size()));
                break;
            }
            case Tag::Lss: {
                const ParameterLss& lss = As<ParameterLss>(p);
                const uint32_t count = LssBytes(lss);
                values.emplace_back(SizeKey(p.key), RawValueOf(count));
                values.emplace_back(DataKey(p.key), RawValue(lss.data, count));
                break;
            }
        }
    }
    keystore::SetValues(root, subkey, values);
    return true;
}

// Copies a stored value of exactly sizeof(T) bytes; anything else leaves the value alone.
template <class T>
void LoadRaw(HKEY root, const std::string& subkey, const std::string& name, T& value) {
    const std::optional<RegValue> stored = keystore::QueryValue(root, subkey, name);
    if (stored && stored->bytes.size() == sizeof value) std::memcpy(&value, stored->bytes.data(), sizeof value);
}

void LoadFromKeyStore(HKEY root, const std::string& subkey, const std::vector<Parameter>& parameters) {
    if (!keystore::KeyExists(root, subkey)) return;
    for (const Parameter& p : parameters) {
        switch (p.tag) {
            case Tag::Integer: LoadRaw(root, subkey, p.key, As<int32_t>(p)); break;
            case Tag::Float: LoadRaw(root, subkey, p.key, As<float>(p)); break;
            case Tag::Double: LoadRaw(root, subkey, p.key, As<double>(p)); break;
            case Tag::String:
                if (const std::optional<RegValue> stored = keystore::QueryValue(root, subkey, p.key))
                    As<std::string>(p).assign(stored->bytes.begin(), stored->bytes.end());
                break;
            case Tag::Lss: {
                ParameterLss& lss = As<ParameterLss>(p);
                uint32_t count = 0;
                LoadRaw(root, subkey, SizeKey(p.key), count);
                uint8_t* buffer = NewLssBuffer(lss, count);
                const std::optional<RegValue> data =
                    buffer ? keystore::QueryValue(root, subkey, DataKey(p.key)) : std::nullopt;
                if (data) std::memcpy(buffer, data->bytes.data(), std::min<size_t>(data->bytes.size(), lss.size));
                break;
            }
        }
    }
}

}  // namespace

void FreeParameterLss(ParameterLss& lss) {
    delete[] lss.data;
    lss = {};
}

bool SaveParameterListV(const char* ini, const char* section, HKEY root, enXml* element, const char* const* keys,
                        const char* types, void* const* values, size_t valueCount) {
    const std::vector<Parameter> parameters = Parameters(keys, types, values, valueCount);
    const std::string sectionName = section ? section : "";
    if (element) {
        SaveToXml(*element, parameters);
    } else if (root) {
        return SaveToKeyStore(root, sectionName, parameters);
    } else if (ini) {
        SaveToIni(ini, sectionName, parameters);
    }
    return true;
}

void LoadParameterListV(const char* ini, const char* section, HKEY root, enXml* element, const char* const* keys,
                        const char* types, void* const* values, size_t valueCount) {
    const std::vector<Parameter> parameters = Parameters(keys, types, values, valueCount);
    const std::string sectionName = section ? section : "";
    if (element) {
        LoadFromXml(*element, parameters);
    } else if (root) {
        LoadFromKeyStore(root, sectionName, parameters);
    } else if (ini) {
        LoadFromIni(ini, sectionName, parameters);
    }
}
