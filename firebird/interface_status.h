#pragma once

#include <firebird/Interface.h>

// The client's object interface, for the calls that run for every row: they take a message laid out once instead
// of an XSQLDA that the client reads again for each call. The legacy handles of the same objects serve the rest.
Firebird::IMaster* Master();

// One status object of the object interface, cleared before each call it is given to.
class InterfaceStatus {
public:
    InterfaceStatus();
    ~InterfaceStatus();
    InterfaceStatus(const InterfaceStatus&) = delete;
    InterfaceStatus& operator=(const InterfaceStatus&) = delete;

    // Cleared, for the next call.
    Firebird::CheckStatusWrapper* operator()();
    bool Failed() const;
    // Throws the failure as the legacy calls do (the same texts), when the last call failed.
    void Check() const;
    // The failure's status vector, in the legacy form.
    const ISC_STATUS* Errors() const;

private:
    Firebird::IStatus* status_;
    Firebird::CheckStatusWrapper wrapper_;
};

// Ends an object of the interface with `end` (detach, free, close, rollback) and forgets it. One that ends lets go of
// itself; one whose end fails (its connection is lost) is let go of all the same.
template <typename Object, typename End>
void EndOrRelease(Object*& object, End end)
{
    if (!object) return;
    InterfaceStatus status;
    end(*object, status());
    if (status.Failed()) object->release();
    object = nullptr;
}
