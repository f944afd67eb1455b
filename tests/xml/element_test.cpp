// The element tree: child list links and ownership, lookups by name, attributes and their
// typed forms, and the settings form ("Value" attribute of a named child).
#include <algorithm>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/key_store.h"
#include "xml/xml.h"

namespace {

std::vector<std::string> ChildNames(const enXml& parent) {
    std::vector<std::string> names;
    for (const enXml* child = parent.FirstChildElement(); child; child = child->NextSiblingElement())
        names.push_back(child->GetName());
    return names;
}

// Checks the list invariants: parents, the tail pointer and the terminating null.
void ExpectConsistent(const enXml& parent) {
    const coTree* last = nullptr;
    for (const coTree* child = parent.FirstChild(); child; child = child->NextSibling()) {
        EXPECT_EQ(child->Parent(), &parent);
        last = child;
    }
    EXPECT_EQ(parent.LastChild(), last);
}

// Records the order in which nodes are destroyed.
class TracedXml : public enXml {
public:
    TracedXml(std::string name, std::vector<std::string>& log) : enXml(name), m_log(log), m_label(std::move(name)) {}
    ~TracedXml() override { m_log.push_back(m_label); }

private:
    std::vector<std::string>& m_log;
    std::string m_label;
};

TEST(CoTree, AddChildLinksBehindPredecessorOrAtTheEnd) {
    enXml root("root");
    auto* a = root.CreateChild("a");
    auto* c = root.CreateChild("c");
    auto* b = new enXml("b");
    root.AddChild(b, a);
    auto* d = new enXml("d");
    root.AddChild(d, c);  // behind the last child: becomes the last
    EXPECT_THAT(ChildNames(root), ::testing::ElementsAre("a", "b", "c", "d"));
    ExpectConsistent(root);

    enXml stranger("stranger");
    auto* e = new enXml("e");
    root.AddChild(e, &stranger);  // a predecessor that is not our child appends
    root.AddChild(new enXml("f"), nullptr);
    root.AddChild(nullptr, a);
    EXPECT_THAT(ChildNames(root), ::testing::ElementsAre("a", "b", "c", "d", "e", "f"));
    ExpectConsistent(root);
}

TEST(CoTree, AddChildMovesANodeFromItsParent) {
    enXml first("first"), second("second");
    first.CreateChild("x");
    auto* moved = first.CreateChild("moved");
    second.CreateChild("y");
    second.AddChild(moved, nullptr);
    EXPECT_THAT(ChildNames(first), ::testing::ElementsAre("x"));
    EXPECT_THAT(ChildNames(second), ::testing::ElementsAre("y", "moved"));
    ExpectConsistent(first);
    ExpectConsistent(second);

    // Moving within the same parent: it is unlinked first, then placed behind "x".
    auto* z = first.CreateChild("z");
    first.AddChild(z, first.FindChild("x"));
    auto* w = first.CreateChild("w");
    first.AddChild(w, first.FindChild("x"));
    EXPECT_THAT(ChildNames(first), ::testing::ElementsAre("x", "w", "z"));
    ExpectConsistent(first);
}

TEST(CoTree, RefusesToMakeACycle) {
    enXml root("root");
    auto* child = root.CreateChild("child");
    auto* grandchild = child->CreateChild("grandchild");
    grandchild->AddChild(&root, nullptr);
    grandchild->AddChild(child, nullptr);
    child->AddChild(child, nullptr);
    EXPECT_EQ(root.Parent(), nullptr);
    EXPECT_EQ(child->Parent(), &root);
    EXPECT_EQ(grandchild->FirstChild(), nullptr);
    EXPECT_THAT(ChildNames(*child), ::testing::ElementsAre("grandchild"));
}

TEST(CoTree, RemoveChildUnlinksWithoutDestroying) {
    enXml root("root");
    root.CreateChild("a");
    auto* b = root.CreateChild("b");
    auto* c = root.CreateChild("c");
    root.RemoveChild(b);
    EXPECT_THAT(ChildNames(root), ::testing::ElementsAre("a", "c"));
    EXPECT_EQ(b->Parent(), nullptr);
    EXPECT_EQ(b->NextSibling(), nullptr);
    root.RemoveChild(c);
    EXPECT_THAT(ChildNames(root), ::testing::ElementsAre("a"));
    ExpectConsistent(root);

    enXml other("other");
    auto* foreign = other.CreateChild("foreign");
    root.RemoveChild(foreign);  // not ours: left alone
    EXPECT_EQ(foreign->Parent(), &other);
    delete b;
    delete c;
}

TEST(CoTree, DestroyingALinkedChildUnlinksIt) {
    enXml root("root");
    root.CreateChild("a");
    auto* b = root.CreateChild("b");
    auto* c = root.CreateChild("c");
    delete c;
    EXPECT_THAT(ChildNames(root), ::testing::ElementsAre("a", "b"));
    ExpectConsistent(root);
    delete b;
    EXPECT_THAT(ChildNames(root), ::testing::ElementsAre("a"));
    ExpectConsistent(root);
}

TEST(CoTree, DestroyingARootDestroysTheTreeChildrenInOrder) {
    std::vector<std::string> log;
    {
        TracedXml root("root", log);
        auto* a = new TracedXml("a", log);
        root.AddChild(a, nullptr);
        a->AddChild(new TracedXml("a1", log), nullptr);
        root.AddChild(new TracedXml("b", log), nullptr);
        root.AddChild(new TracedXml("c", log), nullptr);
    }
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log.front(), "root");
    const auto position = [&log](const char* name) { return std::find(log.begin(), log.end(), name) - log.begin(); };
    EXPECT_LT(position("a"), position("b"));
    EXPECT_LT(position("b"), position("c"));
    EXPECT_LT(position("a"), position("a1"));
}

TEST(CoTree, DestroysAVeryDeepTree) {
    // A recursive destruction would exhaust the stack long before this depth.
    constexpr size_t kDepth = 200000;
    std::vector<std::string> log;
    auto* root = new TracedXml("root", log);
    enXml* tip = root;
    for (size_t i = 0; i < kDepth; ++i) {
        auto* child = new TracedXml("n", log);
        tip->AddChild(child, nullptr);
        tip = child;
    }
    delete root;
    ASSERT_EQ(log.size(), kDepth + 1);  // every node, none twice
    EXPECT_EQ(log.front(), "root");
    EXPECT_EQ(std::count(log.begin(), log.end(), "n"), static_cast<std::ptrdiff_t>(kDepth));
}

TEST(EnXml, FindChildIgnoresCaseAndTakesTheFirst) {
    enXml root("root");
    auto* first = root.CreateChild("Caption");
    root.CreateChild("caption");
    EXPECT_EQ(root.FindChild("caption"), first);
    EXPECT_EQ(root.FindChild("CAPTION"), first);
    EXPECT_EQ(root.FindChild("Captions"), nullptr);
}

TEST(EnXml, SetAttributeReplacesInPlaceOrAppends) {
    enXml element("e");
    element.SetAttribute("First", "1");
    element.SetAttribute("Second", "2");
    enXmlAttribute* replaced = element.SetAttribute("FIRST", "one");
    EXPECT_EQ(replaced, &element.Attributes()[0]);
    enXmlAttribute* added = element.SetAttribute("third", "3");
    ASSERT_EQ(element.Attributes().size(), 3u);
    EXPECT_EQ(element.Attributes()[0].name, "First");
    EXPECT_EQ(element.Attributes()[0].value, "one");
    EXPECT_EQ(element.Attributes()[1].name, "Second");
    EXPECT_EQ(added, &element.Attributes()[2]);
    EXPECT_EQ(added->name, "third");
}

TEST(EnXml, AbsentAttributesLeaveOutputsUntouched) {
    enXml element("e");
    std::string text = "keep";
    int integer = 5;
    float single = 1.5f;
    double number = 2.5;
    uint8_t bytes[2] = {7, 7};
    EXPECT_FALSE(element.GetAttribute("x", text));
    EXPECT_FALSE(element.GetAttribute("x", integer));
    EXPECT_FALSE(element.GetAttribute("x", single));
    EXPECT_FALSE(element.GetAttribute("x", number));
    EXPECT_EQ(element.GetAttribute("x", bytes, 2), 0);
    EXPECT_FALSE(element.GetValue("x", integer));
    EXPECT_EQ(text, "keep");
    EXPECT_EQ(integer, 5);
    EXPECT_EQ(single, 1.5f);
    EXPECT_EQ(number, 2.5);
    EXPECT_THAT(bytes, ::testing::ElementsAre(7, 7));
}

TEST(EnXml, IntegersParseLikeWtoi) {
    enXml element("e");
    const std::vector<std::pair<std::string, int>> cases = {{"42", 42},
                                                            {"  -12abc", -12},
                                                            {"+7", 7},
                                                            {"\t\n 3", 3},
                                                            {"abc", 0},
                                                            {"", 0},
                                                            {"- 4", 0},
                                                            {"99999999999", std::numeric_limits<int>::max()},
                                                            {"-99999999999", std::numeric_limits<int>::min()},
                                                            {"-2147483648", std::numeric_limits<int>::min()},
                                                            {"0x10", 0},
                                                            {"1.9", 1}};
    for (const auto& [text, expected] : cases) {
        element.SetAttribute("v", text);
        int value = -777;
        EXPECT_TRUE(element.GetAttribute("v", value));
        EXPECT_EQ(value, expected) << '"' << text << '"';
    }
    element.SetAttribute("v", -5);
    std::string text;
    element.GetAttribute("v", text);
    EXPECT_EQ(text, "-5");
}

TEST(EnXml, NumbersParseLikeAtof) {
    enXml element("e");
    const std::vector<std::pair<std::string, double>> cases = {{"1.5e3", 1500.0}, {" 2.5x", 2.5},     {"abc", 0.0},
                                                               {"-0.25", -0.25},  {".5", 0.5},        {"0x1p3", 8.0},
                                                               {"1,5", 1.0},      {"1e400", HUGE_VAL}};
    for (const auto& [text, expected] : cases) {
        element.SetAttribute("v", text);
        double value = -777;
        EXPECT_TRUE(element.GetAttribute("v", value));
        EXPECT_EQ(value, expected) << '"' << text << '"';
    }
    // Only the first 99 characters count.
    element.SetAttribute("v", std::string(98, '0') + "12");
    double cut = 0;
    element.GetAttribute("v", cut);
    EXPECT_EQ(cut, 1.0);

    element.SetAttribute("v", "1e300");
    float single = 0;
    element.GetAttribute("v", single);
    EXPECT_TRUE(std::isinf(single));
}

TEST(EnXml, FloatsAndDoublesKeepSixSignificantDigits) {
    enXml element("e");
    element.SetValue("Gain", 1.2345678f);
    std::string text;
    ASSERT_TRUE(element.FindChild("Gain")->GetAttribute("Value", text));
    EXPECT_EQ(text, "1.23457");
    float single = 0;
    ASSERT_TRUE(element.GetValue("gain", single));
    EXPECT_FLOAT_EQ(single, 1.23457f);

    const std::vector<std::pair<double, std::string>> cases = {
        {1.0 / 3.0, "0.333333"},      {100000.0, "100000"}, {1e6, "1e+06"}, {1e-5, "1e-05"},
        {123456789.0, "1.23457e+08"}, {-2.5, "-2.5"},       {0.0, "0"}};
    for (const auto& [value, expected] : cases) {
        element.SetValue("d", value);
        element.GetValue("d", text);
        EXPECT_EQ(text, expected);
    }
}

TEST(EnXml, NumberTextsIgnoreTheProcessLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* german = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
        if (std::setlocale(LC_NUMERIC, name)) german = name;
    if (!german) GTEST_SKIP() << "no locale with a decimal comma installed";
    enXml element("e");
    element.SetValue("d", 2.5);
    std::string text;
    element.GetValue("d", text);
    double value = 0;
    element.SetAttribute("v", "0.75");
    element.GetAttribute("v", value);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(text, "2.5");
    EXPECT_EQ(value, 0.75);
}

TEST(EnXml, BytesAsHexText) {
    enXml element("e");
    const uint8_t bytes[] = {0x00, 0xAB, 0x7F};
    element.SetValue("Blob", bytes, 3);
    std::string text;
    element.GetValue("Blob", text);
    EXPECT_EQ(text, "00AB7F");

    uint8_t read[3] = {9, 9, 9};
    EXPECT_EQ(element.GetValue("blob", read, 2), 2);
    EXPECT_THAT(read, ::testing::ElementsAre(0x00, 0xAB, 9));

    const std::vector<std::pair<std::string, std::vector<uint8_t>>> cases = {
        {"ab", {0xAB}}, {"ABC", {0xAB}}, {"Gg", {0x00}}, {"!0", {0xA0}}, {"", {}}};
    for (const auto& [hex, expected] : cases) {
        element.SetAttribute("h", hex);
        uint8_t out[4] = {};
        const int count = element.GetAttribute("h", out, 4);
        EXPECT_EQ(std::vector<uint8_t>(out, out + count), expected) << hex;
    }
    element.SetValue("Empty", bytes, 0);
    element.GetValue("Empty", text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(element.GetValue("Blob", read, -1), 0);
}

TEST(EnXml, SetValueCreatesOnceAndUpdatesInPlace) {
    enXml element("settings");
    element.CreateChild("Other");
    element.SetValue("Name", std::string("first"));
    element.SetValue("NAME", std::string("second"));
    element.SetValue("Count", 3);
    EXPECT_THAT(ChildNames(element), ::testing::ElementsAre("Other", "Name", "Count"));
    std::string text;
    EXPECT_TRUE(element.GetValue("name", text));
    EXPECT_EQ(text, "second");
    EXPECT_EQ(element.FindChild("Name")->Attributes().size(), 1u);
}

}  // namespace
