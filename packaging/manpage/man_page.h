// A program's --help text turned into the roff of its manual page, so that the page says
// what the program says and cannot drift from it.
#pragma once

#include <optional>
#include <string>

// The help's layout, as morvane-cli and Morvane print it:
//   "Usage:" and below it one indented line per way to call the program (the synopsis);
//   a paragraph at the left margin before any command (more of the description);
//   a command's name alone at the left margin, then its paragraphs and option list, indented;
//   an option list entry: two spaces, the options or operands, two or more spaces, the
//   description, which may go on in lines indented further;
//   text at the left margin after the commands (notes), and a line "Exit status: ...".
struct ManPageParts {
    std::string synopsis;  // the SYNOPSIS section
    std::string body;      // what follows the description: OPTIONS, COMMANDS, NOTES, EXIT STATUS
};

// Nothing when the help has no "Usage:" lines.
std::optional<ManPageParts> ManPageFromHelp(const std::string& help);

// One line of running text for roff: backslashes and hyphens escaped (a hyphen is a minus
// sign, so that options can be copied from the page), a leading '.' or '\'' kept literal.
std::string RoffText(const std::string& text);

// The page: the template with its marker lines `.\" help: synopsis` and `.\" help: body`
// replaced by the parts; nothing when the template lacks one of them.
std::optional<std::string> FillManPage(const std::string& pageTemplate, const ManPageParts& parts);
