#include "firebird/fixed_metadata.h"

#include <ibase.h>

#include <memory>

#include "firebird/interface_status.h"

FixedMetadata* FixedMetadata::CopyOf(Firebird::IMessageMetadata& source)
{
    InterfaceStatus status;
    std::unique_ptr<FixedMetadata> copy(new FixedMetadata);
    const unsigned count = source.getCount(status());
    copy->items_.resize(count);
    for (unsigned i = 0; i < count && !status.Failed(); ++i) {
        Item& item = copy->items_[i];
        item.type = source.getType(status(), i);
        item.nullable = source.isNullable(status(), i);
        item.subType = source.getSubType(status(), i);
        item.length = source.getLength(status(), i);
        item.scale = source.getScale(status(), i);
        item.charSet = source.getCharSet(status(), i);
        item.offset = source.getOffset(status(), i);
        item.nullOffset = source.getNullOffset(status(), i);
    }
    if (!status.Failed()) copy->length_ = source.getMessageLength(status());
    status.Check();
    return copy.release();
}

int FixedMetadata::release()
{
    if (--references_ != 0) return 1;
    delete this;
    return 0;
}

bool FixedMetadata::Valid(Firebird::CheckStatusWrapper* status, unsigned index)
{
    if (index < items_.size()) return true;
    const ISC_STATUS error[] = {isc_arg_gds, isc_invalid_index_val, isc_arg_number, static_cast<ISC_STATUS>(index),
                                isc_arg_end};
    status->setErrors(error);
    return false;
}

Firebird::IMetadataBuilder* FixedMetadata::getBuilder(Firebird::CheckStatusWrapper* status)
{
    // Nothing asks a message's metadata for a builder during an execution.
    const ISC_STATUS error[] = {isc_arg_gds, isc_wish_list, isc_arg_end};
    status->setErrors(error);
    return nullptr;
}
