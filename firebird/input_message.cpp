#include "firebird/input_message.h"

#include <cstring>

#include "firebird/database_error.h"
#include "firebird/fixed_metadata.h"
#include "firebird/interface_status.h"

namespace {

void SetField(Firebird::IMetadataBuilder& builder, Firebird::CheckStatusWrapper* status, unsigned index,
              const XSQLVAR& var)
{
    // The legacy call reads a text's character set from sqlsubtype and a blob's from sqlscale.
    const short type = static_cast<short>(var.sqltype & ~1);
    int subtype = var.sqlsubtype;
    int scale = var.sqlscale;
    unsigned charset = 0;
    if (type == SQL_TEXT || type == SQL_VARYING) {
        charset = static_cast<unsigned>(var.sqlsubtype);
        subtype = 0;
    } else if (type == SQL_BLOB) {
        charset = static_cast<unsigned>(var.sqlscale);
        scale = 0;
    }
    builder.setType(status, index, static_cast<unsigned>(type));
    builder.setLength(status, index, static_cast<unsigned>(var.sqllen));
    builder.setSubType(status, index, subtype);
    builder.setScale(status, index, scale);
    builder.setCharSet(status, index, charset);
}

}  // namespace

InputMessage::~InputMessage() { Reset(); }

Firebird::IMessageMetadata* InputMessage::Metadata() const { return metadata_; }

void InputMessage::Reset()
{
    if (metadata_) metadata_->release();
    metadata_ = nullptr;
    layout_.clear();
}

void InputMessage::LayOut(const XSQLDA& input, Firebird::IMessageMetadata* described)
{
    Reset();
    InterfaceStatus status;
    Firebird::IMetadataBuilder* const builder = described->getBuilder(status());
    status.Check();
    const unsigned count = static_cast<unsigned>(input.sqld);
    for (unsigned i = 0; i < count && !status.Failed(); ++i) SetField(*builder, status(), i, input.sqlvar[i]);
    Firebird::IMessageMetadata* const built = status.Failed() ? nullptr : builder->getMetadata(status());
    builder->release();
    status.Check();
    try {
        metadata_ = FixedMetadata::CopyOf(*built);
    } catch (...) {
        built->release();
        throw;
    }
    built->release();
    offsets_.resize(count);
    nullOffsets_.resize(count);
    for (unsigned i = 0; i < count; ++i) {
        offsets_[i] = metadata_->getOffset(status(), i);
        nullOffsets_[i] = metadata_->getNullOffset(status(), i);
        layout_.push_back({input.sqlvar[i].sqltype, input.sqlvar[i].sqllen, input.sqlvar[i].sqlscale,
                           input.sqlvar[i].sqlsubtype});
    }
    buffer_.assign(metadata_->getMessageLength(status()), 0);
    status.Check();
}

void InputMessage::Fill(const XSQLDA& input, Firebird::IMessageMetadata* described)
{
    const size_t count = static_cast<size_t>(input.sqld);
    bool same = metadata_ && layout_.size() == count;
    for (size_t i = 0; same && i < count; ++i) {
        const XSQLVAR& var = input.sqlvar[i];
        same = layout_[i] == Item{var.sqltype, var.sqllen, var.sqlscale, var.sqlsubtype};
    }
    if (!same) LayOut(input, described);
    for (size_t i = 0; i < count; ++i) {
        const XSQLVAR& var = input.sqlvar[i];
        const bool isNull = (var.sqltype & 1) && var.sqlind && *var.sqlind < 0;
        const short flag = isNull ? -1 : 0;
        std::memcpy(buffer_.data() + nullOffsets_[i], &flag, sizeof flag);
        if (isNull) continue;
        if (!var.sqldata) throw DatabaseError("Dynamic SQL Error\nSQLDA data at address 0");
        size_t length = static_cast<size_t>(var.sqllen);
        if ((var.sqltype & ~1) == SQL_VARYING) {
            unsigned short used = 0;
            std::memcpy(&used, var.sqldata, sizeof used);
            length = 2 + std::min<size_t>(used, static_cast<size_t>(var.sqllen));
        }
        std::memcpy(buffer_.data() + offsets_[i], var.sqldata, length);
    }
}
