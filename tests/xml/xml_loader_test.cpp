// Loading element trees: the shape of the tree, and malformed or hostile documents that
// must fail cleanly without reaching outside the document.
#include <libxml/parser.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/platform/scratch.h"
#include "xml/xml.h"

namespace {

bool Load(enXml& root, const std::string& document) { return root.LoadMemory(document.data(), document.size()); }

void ExpectEmpty(const enXml& element) {
    EXPECT_EQ(element.GetName(), "");
    EXPECT_TRUE(element.Attributes().empty());
    EXPECT_EQ(element.FirstChild(), nullptr);
}

std::vector<std::string> ChildNames(const enXml& parent) {
    std::vector<std::string> names;
    for (const enXml* child = parent.FirstChildElement(); child; child = child->NextSiblingElement())
        names.push_back(child->GetName());
    return names;
}

// True when some element of the tree has the name or an attribute with the name or value.
bool TreeMentions(const enXml& root, const std::string& word) {
    if (root.GetName() == word) return true;
    for (const enXmlAttribute& attribute : root.Attributes())
        if (attribute.name == word || attribute.value.find(word) != std::string::npos) return true;
    for (const enXml* child = root.FirstChildElement(); child; child = child->NextSiblingElement())
        if (TreeMentions(*child, word)) return true;
    return false;
}

TEST(XmlLoader, EveryNodeBecomesAChildAndOnlyElementsKeepContent) {
    ScratchFolder folder;
    const std::string path = folder / "doc.xml";
    WriteFileText(path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<A x=\"1\"><!-- note --><B/>some text</A>\n");
    enXml root;
    ASSERT_TRUE(root.LoadFile(path));
    EXPECT_EQ(root.GetName(), "A");
    ASSERT_EQ(root.Attributes().size(), 1u);
    EXPECT_EQ(root.Attributes()[0].name, "x");
    EXPECT_EQ(root.Attributes()[0].value, "1");
    EXPECT_THAT(ChildNames(root), ::testing::ElementsAre("", "B", ""));
    for (const enXml* child = root.FirstChildElement(); child; child = child->NextSiblingElement()) {
        EXPECT_TRUE(child->Attributes().empty());
        EXPECT_EQ(child->FirstChild(), nullptr);
    }
}

TEST(XmlLoader, WhiteSpaceBetweenElementsIsDroppedCdataAndInstructionsAreNodes) {
    enXml root;
    ASSERT_TRUE(Load(root, "<r>\n  <a/>\n\t<b>  </b>\n  <![CDATA[ x ]]>\n  <?pi data?>\n</r>"));
    EXPECT_THAT(ChildNames(root), ::testing::ElementsAre("a", "b", "", ""));
    EXPECT_EQ(root.FindChild("b")->FirstChild(), nullptr);
}

TEST(XmlLoader, AttributesKeepDocumentOrderWithEntitiesResolved) {
    enXml root;
    ASSERT_TRUE(Load(root,
                     "<!DOCTYPE r [<!ENTITY brand \"Qo &amp; Co\">]>"
                     "<r z=\"last?\" a=\"&lt;&#65;&#x42;&gt;\" m=\"&brand;\" X=\"upper\" x=\"lower\"/>"));
    std::vector<std::pair<std::string, std::string>> attributes;
    for (const enXmlAttribute& attribute : root.Attributes()) attributes.emplace_back(attribute.name, attribute.value);
    EXPECT_THAT(attributes, ::testing::ElementsAre(::testing::Pair("z", "last?"), ::testing::Pair("a", "<AB>"),
                                                   ::testing::Pair("m", "Qo & Co"), ::testing::Pair("X", "upper"),
                                                   ::testing::Pair("x", "lower")));
    std::string value;
    ASSERT_TRUE(root.GetAttribute("x", value));
    EXPECT_EQ(value, "upper");  // the first match, without regard to case
}

TEST(XmlLoader, InternalEntitiesInContentExpand) {
    enXml root;
    ASSERT_TRUE(Load(root, "<!DOCTYPE r [<!ENTITY part \"<inner k='v'/>\">]><r>&part;</r>"));
    ASSERT_NE(root.FindChild("inner"), nullptr);
    std::string value;
    EXPECT_TRUE(root.FindChild("inner")->GetAttribute("k", value));
    EXPECT_EQ(value, "v");
}

TEST(XmlLoader, NamespacePrefixesAndEncodingsAreKept) {
    enXml root;
    ASSERT_TRUE(Load(root, "<p:r xmlns:p=\"urn:x\" p:a=\"1\"><p:c/></p:r>"));
    EXPECT_EQ(root.GetName(), "p:r");
    ASSERT_EQ(root.Attributes().size(), 2u);
    EXPECT_EQ(root.Attributes()[0].name, "xmlns:p");
    EXPECT_EQ(root.Attributes()[1].name, "p:a");
    EXPECT_THAT(ChildNames(root), ::testing::ElementsAre("p:c"));

    enXml latin;
    ASSERT_TRUE(Load(latin, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r t=\"caf\xE9\"/>"));
    std::string text;
    latin.GetAttribute("t", text);
    EXPECT_EQ(text, "caf\xC3\xA9");
}

TEST(XmlLoader, BadPathsFail) {
    ScratchFolder folder;
    enXml root;
    EXPECT_FALSE(root.LoadFile(""));
    EXPECT_FALSE(root.LoadFile(folder / "missing.xml"));
    EXPECT_FALSE(root.LoadFile(folder.Path()));
    WriteFileText(folder / "empty.xml", "");
    EXPECT_FALSE(root.LoadFile(folder / "empty.xml"));
    ASSERT_EQ(::mkfifo((folder / "pipe.xml").c_str(), 0600), 0);
    EXPECT_FALSE(root.LoadFile(folder / "pipe.xml"));  // and does not wait for a writer
    ExpectEmpty(root);
}

TEST(XmlLoader, MalformedDocumentsFailAndLeaveTheElementEmpty) {
    const std::vector<std::string> documents = {
        "<a><b></a>",
        "<a>",
        "<a x=1/>",
        "<a/><b/>",
        "just text",
        "<a>&undefined;</a>",
        "<?xml version=\"1.0\"?>",
        std::string("\x00\x01\xFF\xFE<a/>\x00", 9),
        std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01", 16),
        "<a b=\"1\" b=\"2\"/>",
    };
    for (const std::string& document : documents) {
        enXml root;
        EXPECT_FALSE(Load(root, document)) << document;
        ExpectEmpty(root);
    }
    enXml root;
    EXPECT_FALSE(root.LoadMemory(nullptr, 10));
}

TEST(XmlLoader, EntityExpansionBombsFail) {
    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int i = 1; i <= 9; ++i)
        laughs += "<!ENTITY lol" + std::to_string(i) + " \"" + [&] {
            std::string refs;
            for (int j = 0; j < 10; ++j) refs += "&lol" + (i == 1 ? std::string() : std::to_string(i - 1)) + ";";
            return refs;
        }() + "\">";
    enXml content, attribute;
    EXPECT_FALSE(Load(content, laughs + "]><lolz>&lol9;</lolz>"));
    EXPECT_FALSE(Load(attribute, laughs + "]><lolz a=\"&lol9;\"/>"));
    ExpectEmpty(content);
    ExpectEmpty(attribute);

    // Quadratic blow-up: one large entity referenced very many times.
    std::string quadratic = "<!DOCTYPE r [<!ENTITY big \"" + std::string(100000, 'x') + "\">]><r a=\"";
    for (int i = 0; i < 100000; ++i) quadratic += "&big;";
    enXml blown;
    EXPECT_FALSE(Load(blown, quadratic + "\"/>"));
}

class ExternalResources : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::string secret = folder / "secret.xml";
    std::string dtd = folder / "external.dtd";
    void SetUp() override {
        WriteFileText(secret, "<leak attribute=\"SECRET-CONTENT\"/>");
        WriteFileText(dtd,
                      "<!ENTITY injected \"<leak/>\">\n"
                      "<!ATTLIST r leaked CDATA \"SECRET-DEFAULT\">\n");
    }
    // The document must fail, or load without anything from outside.
    void ExpectNothingFromOutside(const std::string& document) {
        enXml root;
        if (Load(root, document)) {
            EXPECT_FALSE(TreeMentions(root, "leak")) << document;
            EXPECT_FALSE(TreeMentions(root, "SECRET-CONTENT")) << document;
            EXPECT_FALSE(TreeMentions(root, "SECRET-DEFAULT")) << document;
        } else {
            ExpectEmpty(root);
        }
    }
};

TEST_F(ExternalResources, AreNeverLoaded) {
    ExpectNothingFromOutside("<!DOCTYPE r [<!ENTITY ext SYSTEM \"file://" + secret + "\">]><r>&ext;</r>");
    ExpectNothingFromOutside("<!DOCTYPE r [<!ENTITY ext SYSTEM \"" + secret + "\">]><r>&ext;</r>");
    ExpectNothingFromOutside("<!DOCTYPE r [<!ENTITY % p SYSTEM \"file://" + dtd + "\"> %p;]><r>&injected;</r>");
    ExpectNothingFromOutside("<!DOCTYPE r SYSTEM \"file://" + dtd + "\"><r/>");
    ExpectNothingFromOutside("<!DOCTYPE r SYSTEM \"file://" + dtd + "\"><r>&injected;</r>");
    ExpectNothingFromOutside("<!DOCTYPE r [<!ENTITY ext SYSTEM \"http://127.0.0.1:9/x.xml\">]><r>&ext;</r>");
    ExpectNothingFromOutside("<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"file://" + secret +
                             "\"/></r>");
}

TEST_F(ExternalResources, OtherLibxml2UsersKeepTheirLoader) {
    enXml ours;
    ASSERT_TRUE(Load(ours, "<r/>"));  // installs the refusing loader
    const std::string document = folder / "other.xml";
    WriteFileText(document, "<!DOCTYPE r [<!ENTITY ext SYSTEM \"file://" + secret + "\">]><r>&ext;</r>");
    xmlDoc* parsed = xmlReadFile(document.c_str(), nullptr, XML_PARSE_NOENT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    ASSERT_NE(parsed, nullptr);
    const xmlNode* leak = xmlDocGetRootElement(parsed)->children;
    ASSERT_NE(leak, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(leak->name), "leak");
    xmlFreeDoc(parsed);
}

TEST(XmlLoader, NestingIsCapped) {
    const auto nested = [](int depth) {
        std::string document;
        for (int i = 0; i < depth; ++i) document += "<n>";
        for (int i = 0; i < depth; ++i) document += "</n>";
        return document;
    };
    enXml shallow, deep, hostile;
    EXPECT_TRUE(Load(shallow, nested(200)));
    EXPECT_FALSE(Load(deep, nested(300)));
    EXPECT_FALSE(Load(hostile, nested(100000)));
    ExpectEmpty(hostile);
}

TEST(XmlLoader, HugeAttributesFailLargeOnesLoad) {
    enXml large, huge;
    ASSERT_TRUE(Load(large, "<r a=\"" + std::string(1 << 20, 'v') + "\"/>"));
    std::string value;
    large.GetAttribute("a", value);
    EXPECT_EQ(value.size(), size_t{1} << 20);
    EXPECT_FALSE(Load(huge, "<r a=\"" + std::string(10 << 20, 'v') + "\"/>"));
    ExpectEmpty(huge);
}

TEST(XmlLoader, LoadingAFileTwiceIntoFreshElementsGivesEqualTrees) {
    ScratchFolder folder;
    const std::string path = folder / "settings.xml";
    WriteFileText(path, "<Settings><Gain Value=\"1.5\"/><Mode Value=\"2\"/></Settings>");
    enXml first, second;
    ASSERT_TRUE(first.LoadFile(path));
    ASSERT_TRUE(second.LoadFile(path));
    double gain = 0;
    int mode = 0;
    EXPECT_TRUE(second.GetValue("gain", gain));
    EXPECT_TRUE(second.GetValue("MODE", mode));
    EXPECT_EQ(gain, 1.5);
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(ChildNames(first), ChildNames(second));
}

}  // namespace
