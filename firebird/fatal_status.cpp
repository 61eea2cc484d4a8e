#include "firebird/fatal_status.h"

#include <algorithm>
#include <iterator>

namespace {

const ISC_STATUS kShutdownCodes[] = {isc_shutdown, isc_shutinprog};

const ISC_STATUS kLostConnectionCodes[] = {
    isc_network_error, isc_net_read_err, isc_net_write_err, isc_conn_lost,          isc_lost_db_connection,
    isc_att_shutdown,  isc_bad_db_handle, isc_net_server_shutdown,
};

const ISC_STATUS kFileIoCodes[] = {
    isc_io_error,         isc_io_read_err, isc_io_write_err, isc_io_access_err, isc_io_32bit_exceeded_err,
    isc_read_only_database,
};

template <size_t N>
bool Holds(const ISC_STATUS (&codes)[N], ISC_STATUS code)
{
    return std::find(std::begin(codes), std::end(codes), code) != std::end(codes);
}

// Calls the visitor with every error code of the vector (the isc_arg_gds entries), in order.
template <typename Visit>
void ForEachCode(const ISC_STATUS* status, Visit visit)
{
    const ISC_STATUS* item = status;
    while (*item != isc_arg_end) {
        const ISC_STATUS type = item[0];
        if (type == isc_arg_gds) visit(item[1]);
        // Every argument is one pair, except the counted string, which takes three slots.
        item += type == isc_arg_cstring ? 3 : 2;
    }
}

}  // namespace

FatalKind FatalKindOfStatus(const ISC_STATUS* status)
{
    if (!status || status[0] != isc_arg_gds || status[1] == 0) return FatalKind::None;
    bool shutdown = false, lost = false, fileIo = false;
    ForEachCode(status, [&](ISC_STATUS code) {
        shutdown = shutdown || Holds(kShutdownCodes, code);
        lost = lost || Holds(kLostConnectionCodes, code);
        fileIo = fileIo || Holds(kFileIoCodes, code);
    });
    // A shutdown also ends the connection; naming the shutdown says more.
    if (shutdown) return FatalKind::DatabaseShutdown;
    if (lost) return FatalKind::LostConnection;
    if (fileIo) return FatalKind::DatabaseFileIo;
    return FatalKind::None;
}
