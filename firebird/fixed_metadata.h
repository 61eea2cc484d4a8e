#pragma once

#include <firebird/Interface.h>

#include <atomic>
#include <vector>

// A message layout copied once from the client's own metadata and answered from plain arrays. The engine asks a
// message's metadata for every parameter's type, length, scale and character set at each execution; the client's
// metadata object answers each question with checks that cost more than the copy's.
class FixedMetadata final : public Firebird::IMessageMetadataImpl<FixedMetadata, Firebird::CheckStatusWrapper> {
    struct Item {
        unsigned type = 0;
        FB_BOOLEAN nullable = false;
        int subType = 0;
        unsigned length = 0;
        int scale = 0;
        unsigned charSet = 0;
        unsigned offset = 0;
        unsigned nullOffset = 0;
    };

public:
    // Throws DatabaseError when the source cannot be read.
    static FixedMetadata* CopyOf(Firebird::IMessageMetadata& source);

    void addRef() override { ++references_; }
    int release() override;

    unsigned getCount(Firebird::CheckStatusWrapper*) override { return static_cast<unsigned>(items_.size()); }
    const char* getField(Firebird::CheckStatusWrapper*, unsigned) override { return ""; }
    const char* getRelation(Firebird::CheckStatusWrapper*, unsigned) override { return ""; }
    const char* getOwner(Firebird::CheckStatusWrapper*, unsigned) override { return ""; }
    const char* getAlias(Firebird::CheckStatusWrapper*, unsigned) override { return ""; }
    unsigned getType(Firebird::CheckStatusWrapper* status, unsigned index) override
    {
        return Answer(status, index, &Item::type);
    }
    FB_BOOLEAN isNullable(Firebird::CheckStatusWrapper* status, unsigned index) override
    {
        return Answer(status, index, &Item::nullable);
    }
    int getSubType(Firebird::CheckStatusWrapper* status, unsigned index) override
    {
        return Answer(status, index, &Item::subType);
    }
    unsigned getLength(Firebird::CheckStatusWrapper* status, unsigned index) override
    {
        return Answer(status, index, &Item::length);
    }
    int getScale(Firebird::CheckStatusWrapper* status, unsigned index) override
    {
        return Answer(status, index, &Item::scale);
    }
    unsigned getCharSet(Firebird::CheckStatusWrapper* status, unsigned index) override
    {
        return Answer(status, index, &Item::charSet);
    }
    unsigned getOffset(Firebird::CheckStatusWrapper* status, unsigned index) override
    {
        return Answer(status, index, &Item::offset);
    }
    unsigned getNullOffset(Firebird::CheckStatusWrapper* status, unsigned index) override
    {
        return Answer(status, index, &Item::nullOffset);
    }
    Firebird::IMetadataBuilder* getBuilder(Firebird::CheckStatusWrapper* status) override;
    unsigned getMessageLength(Firebird::CheckStatusWrapper*) override { return length_; }

private:
    FixedMetadata() = default;
    bool Valid(Firebird::CheckStatusWrapper* status, unsigned index);
    template <typename T>
    T Answer(Firebird::CheckStatusWrapper* status, unsigned index, T Item::*field)
    {
        return Valid(status, index) ? items_[index].*field : T{};
    }

    std::vector<Item> items_;
    unsigned length_ = 0;
    std::atomic<int> references_{1};
};
