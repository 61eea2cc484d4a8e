// fuzz-sources: fiscal/xml_text.cpp
// Feeds arbitrary bytes to the invoice XML text functions. The input's first line is the element
// name, the rest is the file's text. Every result must be a piece of the text it was cut from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fiscal/xml_text.h"

namespace {

void RequirePieceOf(const std::string& piece, const std::string& text)
{
    if (text.find(piece) == std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string name = newline == std::string::npos ? std::string() : input.substr(0, newline);
    const std::string text = newline == std::string::npos ? input : input.substr(newline + 1);

    RequirePieceOf(TagValue(name, text), text);
    RequirePieceOf(ElementText(name, text), text);
    RequirePieceOf(AccessKey(text), text);
    if (TimestampToDateText(text).size() > 10) std::abort();
    return 0;
}
