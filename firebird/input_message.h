#pragma once

#include <firebird/Interface.h>
#include <ibase.h>

#include <vector>

// The input message of a statement executed through the object interface. It is laid out from the variables as
// bound, again only when one of them changes its type or length, and filled from them before each execution; the
// engine sees what the XSQLDA of the legacy call would have given it.
class InputMessage {
public:
    InputMessage() = default;
    ~InputMessage();
    InputMessage(const InputMessage&) = delete;
    InputMessage& operator=(const InputMessage&) = delete;

    // `described` is the statement's own input metadata: the layout starts from it.
    void Fill(const XSQLDA& input, Firebird::IMessageMetadata* described);
    Firebird::IMessageMetadata* Metadata() const;
    unsigned char* Buffer() { return buffer_.data(); }
    void Reset();

private:
    struct Item {
        short type;
        short length;
        short scale;
        short subtype;
        bool operator==(const Item&) const = default;
    };
    void LayOut(const XSQLDA& input, Firebird::IMessageMetadata* described);

    std::vector<Item> layout_;
    std::vector<unsigned> offsets_;
    std::vector<unsigned> nullOffsets_;
    class FixedMetadata* metadata_ = nullptr;
    std::vector<unsigned char> buffer_;
};
