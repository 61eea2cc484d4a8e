#include "legacy/table_layout.h"

#include <memory>

#include "common/failure.h"
#include "legacy/file_handle.h"

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr char kDescriptorEnd = 0x0D;

std::uint32_t Word(const unsigned char* bytes) { return bytes[0] | (bytes[1] << 8); }

std::string FieldName(const unsigned char* slot)
{
    std::size_t end = 0;
    while (end < 11 && slot[end] != 0) ++end;
    std::size_t begin = 0;
    while (begin < end && slot[begin] <= 32) ++begin;
    while (end > begin && slot[end - 1] <= 32) --end;
    std::string name(reinterpret_cast<const char*>(slot) + begin, end - begin);
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}

FieldKind KindOf(char type, std::uint32_t size, std::uint8_t decimals)
{
    switch (type) {
    case 'N':
    case 'F':
        if (decimals > 0) return FieldKind::Float;
        return size <= 9 ? FieldKind::Integer : FieldKind::LargeInteger;
    case 'D': return FieldKind::Date;
    case 'L': return FieldKind::Logical;
    case 'M': return FieldKind::Memo;
    default: return FieldKind::Text;
    }
}

std::uint32_t FieldSize(char type, const unsigned char* slot)
{
    switch (type) {
    case 'C': return slot[16] | (slot[17] << 8);
    case 'D': return 8;
    case 'L': return 1;
    case 'M': return 10;
    default: return slot[16];
    }
}

bool KnownType(char type)
{
    return type == 'C' || type == 'N' || type == 'F' || type == 'D' || type == 'L' || type == 'M';
}

}  // namespace

TableLayout ReadTableLayout(const FileHandle& file, const std::string& fileName)
{
    unsigned char header[kHeaderSize];
    const std::size_t got = file.ReadAt(0, reinterpret_cast<char*>(header), kHeaderSize);
    TableLayout layout;
    layout.version = header[0];
    if (got < kHeaderSize || (layout.version != 0x03 && layout.version != 0x83))
        throw Failure(fileName + " não é uma tabela dBase III");
    layout.headerLength = Word(header + 8);
    layout.recordLength = Word(header + 10);
    layout.headerRecordCount = Word(header + 4) | (Word(header + 6) << 16);
    if (layout.recordLength == 0) throw Failure(fileName + ": o tamanho do registro é 0");
    if (layout.recordLength > kBlockSize)
        throw Failure(fileName + ": o registro de " + std::to_string(layout.recordLength) +
                      " bytes não cabe no bloco de leitura de " + std::to_string(kBlockSize) + " bytes");

    // The descriptors must end with the 0x0D marker inside the header: everything after the header
    // is records.
    const auto area = std::make_unique<unsigned char[]>(layout.headerLength + 1);
    const std::size_t areaSize = file.ReadAt(0, reinterpret_cast<char*>(area.get()), layout.headerLength);
    std::size_t offset = kHeaderSize;
    std::uint32_t position = 1;
    for (;; offset += kDescriptorSize) {
        if (offset >= areaSize)
            throw Failure(fileName + ": a lista de campos não termina dentro do cabeçalho");
        const unsigned char* slot = area.get() + offset;
        if (slot[0] == kDescriptorEnd) break;
        if (offset + kDescriptorSize > areaSize)
            throw Failure(fileName + ": a lista de campos não termina dentro do cabeçalho");
        FieldDescriptor field;
        field.type = static_cast<char>(slot[11]);
        if (!KnownType(field.type))
            throw Failure(fileName + ": o tipo de campo '" + std::string(1, field.type) + "' não é do dBase III");
        field.name = FieldName(slot);
        field.size = FieldSize(field.type, slot);
        field.decimals = slot[17];
        field.position = position;
        field.kind = KindOf(field.type, field.size, field.decimals);
        position += field.size;
        layout.fields.push_back(std::move(field));
    }
    return layout;
}
