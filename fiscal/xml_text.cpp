#include "fiscal/xml_text.h"

namespace {

// The piece of text that starts at the 1-based position start and is length characters long;
// a start before the text counts as its first character, anything beyond its end is left out.
std::string Cut(const std::string& text, long long start, long long length)
{
    if (start < 1) start = 1;
    if (length <= 0 || start > static_cast<long long>(text.size())) return {};
    return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
}

std::string Trimmed(const std::string& text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return text.substr(first, last - first);
}

// The text between from and the first occurrence of marker after it, or nothing without one.
std::string UpTo(const std::string& text, std::size_t from, const std::string& marker)
{
    const std::size_t end = text.find(marker, from);
    if (end == std::string::npos) return {};
    return text.substr(from, end - from);
}

}  // namespace

std::string TagValue(const std::string& name, const std::string& text)
{
    const std::string startTag = "<" + name + ">";
    const std::size_t start = text.find(startTag);
    if (start == std::string::npos) return {};

    const std::size_t blank = name.find(' ');
    const std::string elementName = blank == std::string::npos ? name : Trimmed(name.substr(0, blank));
    return UpTo(text, start + startTag.size(), "</" + elementName + ">");
}

std::string ElementText(const std::string& name, const std::string& text)
{
    const std::size_t start = text.find("<" + name);
    const std::size_t end = text.find("</" + name + ">");
    if (start == std::string::npos || end == std::string::npos || end < start) return {};
    return text.substr(start, end - start);
}

std::string AccessKey(const std::string& text)
{
    static const std::string kIdMarker = "Id=\"";
    constexpr std::size_t kPrefixLength = 3;  // "NFe", skipped by count

    const std::string element = ElementText("infNFe", text);
    // Only the start tag's own attributes count: an Id of an inner element is not the key.
    const std::string startTag = element.substr(0, element.find('>'));
    const std::size_t marker = startTag.find(kIdMarker);
    if (marker == std::string::npos) return {};

    const std::size_t valueStart = marker + kIdMarker.size();
    const std::size_t valueEnd = element.find('"', valueStart);
    const std::size_t keyStart = valueStart + kPrefixLength;
    if (valueEnd == std::string::npos || valueEnd < keyStart) return {};
    return element.substr(keyStart, valueEnd - keyStart);
}

std::string TimestampToDateText(const std::string& timestamp)
{
    return Cut(timestamp, 9, 2) + "/" + Cut(timestamp, 6, 2) + "/" + Cut(timestamp, 1, 4);
}
