// Texts for the bad-input tests: bytes 1..255, half of them from the
// characters a reader acts on, either short or up to the longest text a
// reader is asked to read.
#pragma once

#include "engine/BaseConverter.h"

#include <cstring>
#include <memory>
#include <random>
#include <string>

inline std::string RandomText(std::mt19937& rng, const char* active)
{
    const std::size_t activeCount = std::strlen(active);
    std::uniform_int_distribution<int> coin(0, 1), anyByte(1, 255);
    std::uniform_int_distribution<std::size_t> pick(0, activeCount - 1), shortLength(0, 40),
        anyLength(0, BaseConverter::kMaxParseLength);
    std::string text(coin(rng) ? shortLength(rng) : anyLength(rng), '\0');
    for (char& c : text)
        c = char(coin(rng) ? active[pick(rng)] : anyByte(rng));
    return text;
}

// A copy in a heap buffer of exactly its size, so that a read past the
// terminator is caught by the sanitizers.
inline std::unique_ptr<char[]> ExactCopy(const std::string& text)
{
    auto exact = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(exact.get(), text.c_str(), text.size() + 1);
    return exact;
}
