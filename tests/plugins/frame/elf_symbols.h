// The names a shared library exports: the defined global and weak symbols of its dynamic
// symbol table, read from the ELF file.
#pragma once

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::vector<std::string> DefinedDynamicSymbols(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> image{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<std::string> names;
    Elf64_Ehdr header;
    if (image.size() < sizeof header) return names;
    std::memcpy(&header, image.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) return names;
    const auto section = [&](size_t index) {
        Elf64_Shdr entry{};
        const size_t offset = header.e_shoff + index * sizeof(Elf64_Shdr);
        if (offset + sizeof entry <= image.size()) std::memcpy(&entry, image.data() + offset, sizeof entry);
        return entry;
    };
    for (size_t s = 0; s < header.e_shnum; ++s) {
        const Elf64_Shdr symbols = section(s);
        if (symbols.sh_type != SHT_DYNSYM || symbols.sh_entsize != sizeof(Elf64_Sym)) continue;
        const Elf64_Shdr strings = section(symbols.sh_link);
        for (size_t offset = symbols.sh_offset; offset + sizeof(Elf64_Sym) <= symbols.sh_offset + symbols.sh_size &&
                                                offset + sizeof(Elf64_Sym) <= image.size();
             offset += sizeof(Elf64_Sym)) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, image.data() + offset, sizeof symbol);
            const unsigned binding = ELF64_ST_BIND(symbol.st_info);
            if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK)) continue;
            const size_t at = strings.sh_offset + symbol.st_name;
            if (at < image.size()) names.emplace_back(image.data() + at, strnlen(image.data() + at, image.size() - at));
        }
    }
    return names;
}
