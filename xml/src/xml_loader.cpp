// Loading an element tree from an XML document through libxml2, configured so that a
// document can reach nothing outside itself: no network, no external entities, no
// external DTD subset. Internal entities are resolved within libxml2's expansion limits.
#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#include "platform/unique_fd.h"
#include "xml/xml.h"

namespace {

constexpr int kMaxDepth = 256;
constexpr size_t kMaxDocumentBytes = size_t{256} << 20;

// XML_PARSE_NOENT substitutes entities; the loader below makes sure that only internal
// ones can be. No XML_PARSE_DTDLOAD, no XML_PARSE_HUGE (libxml2's size, depth and
// amplification limits stay on).
constexpr int kParseOptions = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

struct DocumentFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
using DocumentPtr = std::unique_ptr<xmlDoc, DocumentFree>;

struct XmlCharFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};
using XmlText = std::unique_ptr<xmlChar, XmlCharFree>;

// libxml2 has one process-wide external entity loader. Ours refuses every resource while
// this thread is parsing for us and hands other parsers to the loader that was there.
// t_refuseResources is per thread; g_previousLoader is written once under the once-flag of
// InitialiseParser and only read afterwards.
thread_local bool t_refuseResources = false;
xmlExternalEntityLoader g_previousLoader = nullptr;

xmlParserInputPtr RefusingLoader(const char* url, const char* id, xmlParserCtxtPtr context) {
    if (t_refuseResources || !g_previousLoader) return nullptr;
    return g_previousLoader(url, id, context);
}

void InitialiseParser() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        g_previousLoader = xmlGetExternalEntityLoader();
        xmlSetExternalEntityLoader(RefusingLoader);
    });
}

class ResourcesRefused {
public:
    ResourcesRefused() : m_was(t_refuseResources) { t_refuseResources = true; }
    ~ResourcesRefused() { t_refuseResources = m_was; }
    ResourcesRefused(const ResourcesRefused&) = delete;
    ResourcesRefused& operator=(const ResourcesRefused&) = delete;

private:
    bool m_was;
};

std::string Text(const xmlChar* text) {
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

// The name as the document spells it, with its namespace prefix.
std::string QualifiedName(const xmlChar* name, const xmlNs* ns) {
    if (ns && ns->prefix) return Text(ns->prefix) + ":" + Text(name);
    return Text(name);
}

// The bytes of a regular file of at most kMaxDocumentBytes; nothing otherwise.
std::optional<std::vector<char>> ReadDocument(const std::string& path) {
    // Non-blocking open so that a FIFO or device cannot stall the caller.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<uint64_t>(info.st_size) > kMaxDocumentBytes)
        return std::nullopt;
    std::vector<char> bytes(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);  // a file that shrank meanwhile is parsed as it is now
    return bytes;
}

}  // namespace

// Builds elements from libxml2 nodes without recursion.
class enXmlBuilder {
public:
    // Fills target from the element node; false when the tree is nested too deeply.
    static bool Build(enXml& target, const xmlNode* element) {
        struct Pending {
            const xmlNode* source;
            enXml* target;
            int depth;
        };
        std::vector<Pending> pending{{element, &target, 1}};
        while (!pending.empty()) {
            const Pending next = pending.back();
            pending.pop_back();
            if (next.depth > kMaxDepth) return false;
            CopyNameAndAttributes(*next.target, next.source);
            for (const xmlNode* child = next.source->children; child; child = child->next) {
                if (child->type == XML_TEXT_NODE && xmlIsBlankNode(child)) continue;
                auto* node = new enXml;
                next.target->AddChild(node, nullptr);
                if (child->type == XML_ELEMENT_NODE) pending.push_back({child, node, next.depth + 1});
            }
        }
        return true;
    }

    // Moves name, attributes and children of a loaded tree into target.
    static void Adopt(enXml& target, enXml& loaded) {
        target.m_name = std::move(loaded.m_name);
        target.m_reserved = 0;
        target.m_attributes = std::move(loaded.m_attributes);
        while (coTree* child = loaded.FirstChild()) target.AddChild(child, nullptr);
    }

private:
    static void CopyNameAndAttributes(enXml& target, const xmlNode* source) {
        target.SetName(QualifiedName(source->name, source->ns));
        // Namespace declarations are attributes of the element as the document wrote it.
        for (const xmlNs* ns = source->nsDef; ns; ns = ns->next)
            target.m_attributes.push_back({ns->prefix ? "xmlns:" + Text(ns->prefix) : "xmlns", Text(ns->href)});
        for (const xmlAttr* attribute = source->properties; attribute; attribute = attribute->next) {
            const XmlText value(xmlNodeListGetString(source->doc, attribute->children, 1));
            target.m_attributes.push_back({QualifiedName(attribute->name, attribute->ns), Text(value.get())});
        }
    }
};

bool enXml::LoadMemory(const char* data, size_t size) {
    if (!data || size == 0 || size > static_cast<size_t>(INT_MAX)) return false;
    InitialiseParser();
    try {
        DocumentPtr document;
        {
            const ResourcesRefused refused;
            document.reset(xmlReadMemory(data, static_cast<int>(size), nullptr, nullptr, kParseOptions));
        }
        const xmlNode* root = document ? xmlDocGetRootElement(document.get()) : nullptr;
        if (!root) return false;
        enXml loaded;
        if (!enXmlBuilder::Build(loaded, root)) return false;
        enXmlBuilder::Adopt(*this, loaded);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool enXml::LoadFile(const std::string& path) {
    if (path.empty()) return false;
    const std::optional<std::vector<char>> bytes = ReadDocument(path);
    return bytes && LoadMemory(bytes->data(), bytes->size());
}
