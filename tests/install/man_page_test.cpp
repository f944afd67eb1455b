// The manual pages' maker: a --help text turned into roff sections, with the text escaped
// so that groff prints it as written.
#include <gtest/gtest.h>

#include "packaging/manpage/man_page.h"

namespace {

constexpr char kHelp[] = R"(Usage:
  tool make [options] IN -o OUT
  tool --help

A paragraph at the margin before the commands,
over two lines.

make
  Makes a thing.

  IN                   the file to read
  -o OUT               the file to write; it goes on
                       on a second line
  --fade-in, --no-fade-in      both switches
  TIME is seconds, a paragraph that starts with a capital.

.dot
  Never a command: a name starts with a letter.

Closing remarks at the margin.
Exit status: 0 success, 2 usage error.
)";

TEST(ManPageText, EscapesWhatRoffWouldTakeAsMarkup) {
    EXPECT_EQ(RoffText("--start TIME"), "\\-\\-start TIME");
    EXPECT_EQ(RoffText(R"(C:\path)"), R"(C:\epath)");
    // A line starting with a dot or an apostrophe would be a request.
    EXPECT_EQ(RoffText(".wav files"), "\\&.wav files");
    EXPECT_EQ(RoffText("'quoted' first"), "\\&'quoted' first");
    EXPECT_EQ(RoffText("a .wav"), "a .wav");
    EXPECT_EQ(RoffText(""), "");
}

TEST(ManPageText, SynopsisSetsWhatIsTypedInBoldAndWhatStandsForAValueInItalics) {
    const std::optional<ManPageParts> parts = ManPageFromHelp(kHelp);
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->synopsis,
              ".SH SYNOPSIS\n.nf\n"
              "\\fBtool\\fR \\fBmake\\fR [\\fIoptions\\fR] \\fIIN\\fR \\fB\\-o\\fR \\fIOUT\\fR\n"
              "\\fBtool\\fR \\fB\\-\\-help\\fR\n"
              ".fi\n");
}

TEST(ManPageText, BodyHasTheDescriptionCommandsEntriesNotesAndExitStatus) {
    const std::optional<ManPageParts> parts = ManPageFromHelp(kHelp);
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->body,
              // The paragraph before the commands goes on with the description.
              ".PP\nA paragraph at the margin before the commands,\nover two lines.\n"
              ".SH COMMANDS\n.SS make\n"
              ".PP\nMakes a thing.\n"
              ".TP\n\\fIIN\\fR\nthe file to read\n"
              // A deeper line goes on with its entry.
              ".TP\n\\fB\\-o\\fR \\fIOUT\\fR\nthe file to write; it goes on\non a second line\n"
              ".TP\n\\fB\\-\\-fade\\-in\\fR, \\fB\\-\\-no\\-fade\\-in\\fR\nboth switches\n"
              // Single spaces only: a paragraph, even with a capital first.
              ".PP\nTIME is seconds, a paragraph that starts with a capital.\n"
              ".SH NOTES\n.PP\n\\&.dot\n"
              ".PP\nNever a command: a name starts with a letter.\n"
              ".PP\nClosing remarks at the margin.\n"
              ".SH \"EXIT STATUS\"\n.PP\n0 success, 2 usage error.\n");
}

TEST(ManPageText, EntriesBeforeAnyCommandAreTheOptions) {
    const std::optional<ManPageParts> parts =
        ManPageFromHelp("Usage:\n  prog [FILE]\n\nWhat it does.\n\n  FILE     the file\n  --help   help\n");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->body,
              ".PP\nWhat it does.\n.SH OPTIONS\n.TP\n\\fIFILE\\fR\nthe file\n.TP\n\\fB\\-\\-help\\fR\nhelp\n");
}

TEST(ManPageText, HelpWithoutUsageLinesMakesNoPage) {
    EXPECT_FALSE(ManPageFromHelp(""));
    EXPECT_FALSE(ManPageFromHelp("make\n  Makes a thing.\n"));
    EXPECT_FALSE(ManPageFromHelp("Usage:\n\nmake\n"));
}

TEST(ManPageText, TemplateGetsBothPartsAtItsMarkersOrNoPage) {
    const ManPageParts parts{".SH SYNOPSIS\nS\n", ".SH OPTIONS\nB\n"};
    EXPECT_EQ(FillManPage(".TH T 1\n.\\\" help: synopsis\n.SH DESCRIPTION\nD\n.\\\" help: body\n.SH FILES\n", parts),
              ".TH T 1\n.SH SYNOPSIS\nS\n.SH DESCRIPTION\nD\n.SH OPTIONS\nB\n.SH FILES\n");
    EXPECT_FALSE(FillManPage(".TH T 1\n.\\\" help: synopsis\n", parts));
    EXPECT_FALSE(FillManPage(".TH T 1\n.\\\" help: body\n", parts));
}

}  // namespace
