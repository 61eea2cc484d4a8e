#include "tests/support/dbf_writer.h"

#include <fstream>
#include <stdexcept>

namespace {

void PutLittleEndian(std::string& bytes, std::size_t offset, std::uint32_t value, int width)
{
    for (int i = 0; i < width; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

constexpr std::size_t kMemoBlock = 512;

}  // namespace

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

DbfWriter& DbfWriter::Field(const std::string& name, char type, int length, int decimals)
{
    std::string slot(32, '\0');
    slot.replace(0, std::min<std::size_t>(name.size(), 11), name.substr(0, 11));
    slot[11] = type;
    slot[16] = static_cast<char>(length);
    slot[17] = static_cast<char>(decimals);
    int size = length;
    if (type == 'C') size = length + 256 * decimals;
    if (type == 'D') size = 8;
    if (type == 'L') size = 1;
    if (type == 'M') size = 10;
    fields_.push_back({slot, type, size});
    return *this;
}

DbfWriter& DbfWriter::RawDescriptor(const std::string& bytes)
{
    std::string slot = bytes.substr(0, 32);
    slot.resize(32, '\0');
    fields_.push_back({slot, slot[11], static_cast<unsigned char>(slot[16])});
    return *this;
}

std::string DbfWriter::Pad(const FieldSpec& field, const std::string& value) const
{
    std::string text = value.substr(0, field.size);
    const std::string blanks(field.size - text.size(), ' ');
    const bool rightAligned = field.type == 'N' || field.type == 'F' || field.type == 'M';
    return rightAligned ? blanks + text : text + blanks;
}

DbfWriter& DbfWriter::AddRecord(char mark, const std::vector<std::string>& values)
{
    std::string record(1, mark);
    for (std::size_t i = 0; i < fields_.size(); ++i) record += Pad(fields_[i], i < values.size() ? values[i] : "");
    records_.push_back(record);
    return *this;
}

DbfWriter& DbfWriter::Record(const std::vector<std::string>& values) { return AddRecord(' ', values); }
DbfWriter& DbfWriter::DeletedRecord(const std::vector<std::string>& values) { return AddRecord('*', values); }

DbfWriter& DbfWriter::RawRecord(const std::string& bytes)
{
    records_.push_back(bytes);
    return *this;
}

DbfWriter& DbfWriter::TrailingBytes(const std::string& bytes)
{
    trailing_ = bytes;
    return *this;
}

std::string DbfWriter::Memo(const std::string& text)
{
    if (memo_.empty()) memo_.assign(kMemoBlock, '\0');
    const std::size_t block = memo_.size() / kMemoBlock;
    memo_ += text + "\x1A\x1A";
    memo_.resize((memo_.size() + kMemoBlock - 1) / kMemoBlock * kMemoBlock, '\0');
    PutLittleEndian(memo_, 0, static_cast<std::uint32_t>(memo_.size() / kMemoBlock), 4);
    if (!versionSet_) version_ = 0x83;
    const std::string number = std::to_string(block);
    return std::string(10 - number.size(), ' ') + number;
}

DbfWriter& DbfWriter::Version(std::uint8_t version)
{
    version_ = version;
    versionSet_ = true;
    return *this;
}

DbfWriter& DbfWriter::HeaderRecordCount(std::uint32_t count)
{
    headerRecordCount_ = static_cast<int>(count);
    return *this;
}

DbfWriter& DbfWriter::HeaderLength(std::uint16_t length)
{
    headerLength_ = length;
    return *this;
}

DbfWriter& DbfWriter::RecordLength(std::uint16_t length)
{
    recordLength_ = length;
    return *this;
}

DbfWriter& DbfWriter::WithoutDescriptorEnd()
{
    descriptorEnd_ = false;
    return *this;
}

DbfWriter& DbfWriter::EndOfFileMark(bool write)
{
    endOfFileMark_ = write;
    return *this;
}

std::uint16_t DbfWriter::ComputedRecordLength() const
{
    int length = 1;
    for (const auto& field : fields_) length += field.size;
    return static_cast<std::uint16_t>(length);
}

std::string DbfWriter::TableBytes() const
{
    std::string bytes(32, '\0');
    bytes[0] = static_cast<char>(version_);
    bytes[1] = 124;  // 2024-05-17
    bytes[2] = 5;
    bytes[3] = 17;
    for (const auto& field : fields_) bytes += field.descriptor;
    if (descriptorEnd_) bytes += '\x0D';
    const std::size_t headerLength = headerLength_ >= 0 ? static_cast<std::size_t>(headerLength_) : bytes.size();
    bytes.resize(headerLength, '\0');
    PutLittleEndian(bytes, 4, headerRecordCount_ >= 0 ? headerRecordCount_ : records_.size(), 4);
    PutLittleEndian(bytes, 8, static_cast<std::uint32_t>(headerLength), 2);
    PutLittleEndian(bytes, 10, recordLength_ >= 0 ? recordLength_ : ComputedRecordLength(), 2);
    for (const auto& record : records_) bytes += record;
    bytes += trailing_;
    if (endOfFileMark_) bytes += '\x1A';
    return bytes;
}

std::string DbfWriter::MemoBytes() const { return memo_; }

void DbfWriter::Write(const std::string& path, const std::string& memoPath) const
{
    WriteFileBytes(path, TableBytes());
    if (memo_.empty()) return;
    std::string target = memoPath;
    if (target.empty()) {
        const std::size_t slash = path.find_last_of('/');
        const std::size_t dot = path.find_last_of('.');
        target = (dot != std::string::npos && (slash == std::string::npos || dot > slash) ? path.substr(0, dot) : path) + ".dbt";
    }
    WriteFileBytes(target, memo_);
}
