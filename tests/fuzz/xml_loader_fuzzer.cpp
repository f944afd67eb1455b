// Fuzz target for the XML loader: any bytes must load or fail cleanly, and a loaded tree
// must be consistent and readable through every typed accessor.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "xml/xml.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "xml_loader_fuzzer: %s\n", what);
        std::abort();
    }
}

void Visit(const enXml& root) {
    std::vector<const enXml*> pending{&root};
    while (!pending.empty()) {
        const enXml* element = pending.back();
        pending.pop_back();
        for (const enXmlAttribute& attribute : element->Attributes()) {
            int integer = 0;
            float single = 0;
            double number = 0;
            uint8_t bytes[16];
            element->GetAttribute(attribute.name, integer);
            element->GetAttribute(attribute.name, single);
            element->GetAttribute(attribute.name, number);
            element->GetAttribute(attribute.name, bytes, static_cast<int>(sizeof bytes));
        }
        const coTree* last = nullptr;
        for (enXml* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
            Check(child->Parent() == element, "child with a wrong parent");
            Check(child->GetName().empty() || element->FindChild(child->GetName()) != nullptr,
                  "child not found by name");
            pending.push_back(child);
            last = child;
        }
        Check(element->LastChild() == last, "wrong last child");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    enXml root;
    if (root.LoadMemory(reinterpret_cast<const char*>(data), size)) {
        Check(!root.GetName().empty(), "loaded root without a name");
        Visit(root);
    } else {
        Check(root.GetName().empty() && root.Attributes().empty() && !root.FirstChild(), "failed load left content");
    }
    return 0;
}
