#include "firebird/interface_status.h"

#include "firebird/fb_status.h"

Firebird::IMaster* Master()
{
    static Firebird::IMaster* const master = Firebird::fb_get_master_interface();
    return master;
}

InterfaceStatus::InterfaceStatus() : status_(Master()->getStatus()), wrapper_(status_) {}

InterfaceStatus::~InterfaceStatus() { status_->dispose(); }

Firebird::CheckStatusWrapper* InterfaceStatus::operator()()
{
    wrapper_.init();
    return &wrapper_;
}

bool InterfaceStatus::Failed() const { return (wrapper_.getState() & Firebird::IStatus::STATE_ERRORS) != 0; }

const ISC_STATUS* InterfaceStatus::Errors() const { return wrapper_.getErrors(); }

void InterfaceStatus::Check() const
{
    if (Failed()) CheckStatus(Errors());
}
