#include "firebird/fb_database.h"

#include <algorithm>

#include "firebird/database_error.h"
#include "firebird/fb_query.h"
#include "firebird/fb_status.h"
#include "firebird/interface_status.h"

namespace {

// Builds the attachment parameter block from "name=value" texts.
std::string BuildDpb(const std::vector<std::string>& params)
{
    std::string dpb(1, static_cast<char>(isc_dpb_version1));
    auto add = [&dpb](char tag, const std::string& value) {
        dpb += tag;
        dpb += static_cast<char>(std::min<size_t>(value.size(), 255));
        dpb.append(value, 0, 255);
    };
    for (const std::string& param : params) {
        const auto equals = param.find('=');
        const std::string name = param.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : param.substr(equals + 1);
        if (name == "user_name")
            add(isc_dpb_user_name, value);
        else if (name == "password")
            add(isc_dpb_password, value);
        else if (name == "lc_ctype")
            add(isc_dpb_lc_ctype, value);
        else if (name == "sql_role_name")
            add(isc_dpb_sql_role_name, value);
        else
            throw DatabaseError("Parâmetro de conexão desconhecido: " + param);
    }
    // File names travel as UTF-8, as the program holds them, whatever the locale: the client would otherwise
    // convert them from the locale's character set, which fails for "joão" under LANG=C.
    dpb += static_cast<char>(isc_dpb_utf8_filename);
    dpb += static_cast<char>(0);
    dpb += static_cast<char>(isc_dpb_sql_dialect);
    dpb += static_cast<char>(4);
    dpb.append("\3\0\0\0", 4);
    return dpb;
}

bool NamesServer(const std::string& name)
{
    const auto colon = name.find(':');
    return colon != std::string::npos && colon > 1 && name.find('/') != 0;
}

}  // namespace

FbDatabase::FbDatabase() : transaction_(*this) {}

FbDatabase::~FbDatabase()
{
    try {
        Close();
    } catch (...) {
        // The process is ending: nothing can be reported any more.
        Abandon();
    }
}

void FbDatabase::Abandon()
{
    transaction_.RollbackQuietly();
    for (FbQuery* query : listeners_) query->ForgetPrepared();
    Detach();
}

// A detach that fails (the connection is lost) still lets go of the attachment.
void FbDatabase::Detach()
{
    EndOrRelease(attachment_, [](Firebird::IAttachment& attachment, auto* status) { attachment.detach(status); });
    handle_ = 0;
}

void FbDatabase::SetName(const std::string& name)
{
    if (name == name_) return;
    if (IsOpen()) throw DatabaseError("Cannot perform operation -- DB is currently open");
    name_ = name;
    throughServer_ = NamesServer(name_);
}

void FbDatabase::Open()
{
    if (IsOpen()) return;
    const std::string dpb = BuildDpb(params_);
    InterfaceStatus status;
    Firebird::IProvider* const dispatcher = Master()->getDispatcher();
    Firebird::IAttachment* const attachment = dispatcher->attachDatabase(
        status(), name_.c_str(), static_cast<unsigned>(dpb.size()), reinterpret_cast<const unsigned char*>(dpb.data()));
    dispatcher->release();
    if (status.Failed()) throw DatabaseError(StatusText(status.Errors()));
    attachment_ = attachment;
    ISC_STATUS_ARRAY legacy;
    fb_get_database_handle(legacy, &handle_, attachment_);
    if (legacy[0] == 1 && legacy[1]) {
        Detach();
        throw DatabaseError(StatusText(legacy));
    }
}

void FbDatabase::Close()
{
    if (!IsOpen()) return;
    FlushBatches();
    if (transaction_.Active()) transaction_.Commit();
    for (FbQuery* query : listeners_) query->ForgetPrepared();
    Detach();
}

void FbDatabase::FlushBatches()
{
    for (FbQuery* query : listeners_)
        if (query->HasWaitingRows()) query->Flush();
}

void FbDatabase::AddCloseListener(FbQuery* query) { listeners_.push_back(query); }

void FbDatabase::RemoveCloseListener(FbQuery* query) { std::erase(listeners_, query); }

void SetFixedConnectionParams(FbDatabase& database)
{
    database.SetLoginPrompt(false);
    database.ClearParams();
    database.AddParam("user_name=sysdba");
    database.AddParam("password=pxlortevn");
    database.AddParam("lc_ctype=ISO8859_1");
}
