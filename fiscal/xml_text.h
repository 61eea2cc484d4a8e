#pragma once

#include <string>

// Plain text search over the whole content of an invoice XML file: no parsing, no entity
// decoding, no trimming. Texts are byte strings; nothing here raises, and a value that is not
// found gives an empty text.

// The text between the first start tag "<" + name + ">" and the end tag that follows it. A name
// with a blank carries attributes exactly as they stand in the start tag; its end tag is the
// element name alone (the part before the first blank).
std::string TagValue(const std::string& name, const std::string& text);

// The first element whose start tag begins with "<" + name (attributes allowed), from that "<" up
// to, not including, the first "</" + name + ">" of the text.
std::string ElementText(const std::string& name, const std::string& text);

// The access key of an NF-e or NFC-e: the value of the Id attribute of the infNFe start tag
// without its three-character prefix ("NFe"). The key ends at the closing double quote of the Id
// value, so attributes after Id never enter it; a start tag without Id gives an empty text.
std::string AccessKey(const std::string& text);

// "yyyy-mm-dd..." to "dd/mm/yyyy" by position (characters 9-10, 6-7, 1-4); the rest of the text
// (time of day, offset) is dropped and nothing is checked.
std::string TimestampToDateText(const std::string& timestamp);
