// morvane-manpage TEMPLATE: reads a program's --help text on standard input and writes its
// manual page, the template filled with the synopsis and the sections made from the help.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "packaging/manpage/man_page.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: morvane-manpage TEMPLATE < help.txt > page.1\n", stderr);
        return 2;
    }
    std::ifstream templateFile(argv[1]);
    if (!templateFile) {
        std::fprintf(stderr, "morvane-manpage: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string pageTemplate{std::istreambuf_iterator<char>(templateFile), {}};
    const std::string help{std::istreambuf_iterator<char>(std::cin), {}};
    const std::optional<ManPageParts> parts = ManPageFromHelp(help);
    if (!parts) {
        std::fputs("morvane-manpage: the help has no \"Usage:\" lines\n", stderr);
        return 1;
    }
    const std::optional<std::string> page = FillManPage(pageTemplate, *parts);
    if (!page) {
        std::fprintf(stderr, "morvane-manpage: %s lacks the help's marker lines\n", argv[1]);
        return 1;
    }
    std::cout << *page;
    return std::cout.good() ? 0 : 1;
}
