// The in-memory XML element tree (coTree / enXml) and the typed parameter lists the effect
// plug-ins keep their settings in. Compiled into the program and into every plug-in; trees
// cross module boundaries by pointer, so the node layout is part of the modules' interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/key_store.h"

class enXml;

// Intrusive tree node. A parent owns its children: destroying a node detaches it from its
// parent, then destroys its children in order (without deep recursion, so a deep tree is
// safe to destroy).
class coTree {
public:
    coTree() = default;
    virtual ~coTree();
    coTree(const coTree&) = delete;
    coTree& operator=(const coTree&) = delete;

    coTree* FirstChild() const { return m_pFirstChild; }
    coTree* NextSibling() const { return m_pNextSibling; }
    enXml* Parent() const { return m_pParent; }
    coTree* LastChild() const { return m_pLastChild; }

    // Moves node under this node: behind predecessor when it is one of our children,
    // else at the end. A null node does nothing, and so does this node itself or one of
    // its ancestors (that would make a cycle).
    void AddChild(coTree* node, coTree* predecessor);
    // Unlinks node when it is one of our children; the caller owns it afterwards.
    void RemoveChild(coTree* node);

protected:
    coTree* m_pFirstChild = nullptr;
    coTree* m_pNextSibling = nullptr;
    enXml* m_pParent = nullptr;
    coTree* m_pLastChild = nullptr;
};

struct enXmlAttribute {
    std::string name;
    std::string value;
};

// One element: name, attributes in document order, children. Names compare without
// regard to case.
class enXml : public coTree {
public:
    enXml() = default;
    explicit enXml(std::string name) : m_name(std::move(name)) {}
    ~enXml() override = default;

    std::string GetName() const { return m_name; }
    void SetName(std::string name) {
        m_name = std::move(name);
        m_reserved = 0;
    }
    const std::vector<enXmlAttribute>& Attributes() const { return m_attributes; }

    enXml* FirstChildElement() const { return static_cast<enXml*>(m_pFirstChild); }
    enXml* NextSiblingElement() const { return static_cast<enXml*>(m_pNextSibling); }

    enXml* FindChild(const std::string& name) const;
    enXml* CreateChild(const std::string& name);

    // Readers: false (output untouched) when the attribute is absent.
    bool GetAttribute(const std::string& name, std::string& text) const;
    bool GetAttribute(const std::string& name, int& value) const;     // _wtoi manner
    bool GetAttribute(const std::string& name, float& value) const;   // atof manner
    bool GetAttribute(const std::string& name, double& value) const;  // atof manner
    // Hex text to bytes; returns the count produced (0 when absent).
    int GetAttribute(const std::string& name, uint8_t* bytes, int maxCount) const;

    // Writers: replace the first attribute of that name (keeping its spelling), else append.
    enXmlAttribute* SetAttribute(const std::string& name, const std::string& text);
    enXmlAttribute* SetAttribute(const std::string& name, const char* text) {
        return SetAttribute(name, std::string(text ? text : ""));
    }
    enXmlAttribute* SetAttribute(const std::string& name, int value);                        // decimal
    enXmlAttribute* SetAttribute(const std::string& name, float value);                      // "%g"
    enXmlAttribute* SetAttribute(const std::string& name, double value);                     // "%Lg"
    enXmlAttribute* SetAttribute(const std::string& name, const uint8_t* bytes, int count);  // upper-case hex

    // Settings form: the setting N is the child element N holding its "Value" attribute.
    bool GetValue(const std::string& child, std::string& text) const;
    bool GetValue(const std::string& child, int& value) const;
    bool GetValue(const std::string& child, float& value) const;
    bool GetValue(const std::string& child, double& value) const;
    int GetValue(const std::string& child, uint8_t* bytes, int maxCount) const;
    void SetValue(const std::string& child, const std::string& text);
    void SetValue(const std::string& child, const char* text) { SetValue(child, std::string(text ? text : "")); }
    void SetValue(const std::string& child, int value);
    void SetValue(const std::string& child, float value);
    void SetValue(const std::string& child, double value);
    void SetValue(const std::string& child, const uint8_t* bytes, int count);

    // Fills this (empty) element from the document element of an XML file. False when the
    // path is empty, missing or not a regular file, or the document is malformed or hostile
    // (nesting deeper than 256 elements, entity expansion beyond the parser's limits, a
    // text or attribute of 10 MB or more); the element is then left as it was. Never
    // touches the network or any other file: external entities and DTDs are not loaded;
    // internal entities are resolved. Comments, processing instructions, text and CDATA
    // each become one empty child; white space between elements is dropped.
    bool LoadFile(const std::string& path);
    // The same from a document in memory.
    bool LoadMemory(const char* data, size_t size);

private:
    friend class enXmlBuilder;  // the loader fills attributes as the document has them

    std::vector<enXmlAttribute> m_attributes;
    std::string m_name;
    int32_t m_reserved = 0;  // kept in the layout; nothing reads it
};

// ---- parameter lists --------------------------------------------------------------------
// A list is a type list ("DWORD DWORD double ...", tags without regard to case: UINT, DWORD,
// INT → int32_t; FLOAT → float; DOUBLE → double; STRING → std::string; LSS → ParameterLss),
// a key list (one name per tag) and one value pointer per tag. The type list counts up to
// its first 1023 characters; tags are separated by spaces; parameter i is tag i, key i and
// value i, and parameters beyond valueCount (or with a null key or an unknown tag) are
// skipped. A null section counts as "".
// The store: the XML element when non-null, else the key store under root/section when root
// is non-zero, else the INI file at ini/section when ini is non-null, else none.

// Byte block stored under "SIZE_LSS_"+N and "DATA_LSS_"+N. Loading replaces data (without
// freeing what was there) by a new[] buffer the caller then owns (FreeParameterLss), or by
// null with size 0 when the block is absent, empty or larger than kMaxParameterLssBytes.
struct ParameterLss {
    uint32_t size = 0;
    uint8_t* data = nullptr;
};
void FreeParameterLss(ParameterLss& lss);
inline constexpr uint32_t kMaxParameterLssBytes = uint32_t{16} << 20;

bool SaveParameterListV(const char* ini, const char* section, HKEY root, enXml* element, const char* const* keys,
                        const char* types, void* const* values, size_t valueCount);
void LoadParameterListV(const char* ini, const char* section, HKEY root, enXml* element, const char* const* keys,
                        const char* types, void* const* values, size_t valueCount);

// Returns false only when a key-store key cannot be created; true otherwise.
template <class... Values>
bool SaveParameterList(const char* ini, const char* section, HKEY root, enXml* element, const char* const* keys,
                       const char* types, Values*... values) {
    void* const pointers[] = {static_cast<void*>(values)..., nullptr};
    return SaveParameterListV(ini, section, root, element, keys, types, pointers, sizeof...(Values));
}

// Values whose key is absent keep what the caller put in them.
template <class... Values>
void LoadParameterList(const char* ini, const char* section, HKEY root, enXml* element, const char* const* keys,
                       const char* types, Values*... values) {
    void* const pointers[] = {static_cast<void*>(values)..., nullptr};
    LoadParameterListV(ini, section, root, element, keys, types, pointers, sizeof...(Values));
}
