#include "firebird/fb_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <vector>

#include "firebird/database_error.h"
#include "firebird/fb_status.h"

using namespace std::chrono;

namespace {

constexpr short kCharsetNone = 0;

template <typename T>
void Store(std::vector<char>& buffer, XSQLVAR& var, short type, const T& value, short scale = 0)
{
    if (buffer.size() < sizeof(T)) buffer.resize(sizeof(T));
    std::memcpy(buffer.data(), &value, sizeof(T));
    var.sqltype = static_cast<short>(type | 1);
    var.sqlscale = scale;
    var.sqllen = sizeof(T);
    var.sqlsubtype = 0;
    var.sqldata = buffer.data();
}

void StoreVarying(std::vector<char>& buffer, XSQLVAR& var, const std::string& text, short charset)
{
    // The declared length only grows, so that the message layout stays the same from one record to the next.
    const size_t capacity = std::max<size_t>(static_cast<size_t>(var.sqltype & ~1) == SQL_VARYING ? var.sqllen : 0,
                                             text.size());
    if (capacity > 32765) throw DatabaseError("string right truncation");
    if (buffer.size() < capacity + 2) buffer.resize(capacity + 2);
    const unsigned short length = static_cast<unsigned short>(text.size());
    std::memcpy(buffer.data(), &length, 2);
    std::memcpy(buffer.data() + 2, text.data(), text.size());
    var.sqltype = SQL_VARYING | 1;
    var.sqllen = static_cast<short>(capacity);
    var.sqlscale = 0;
    var.sqlsubtype = charset;
    var.sqldata = buffer.data();
}

std::tm ToTm(const DateTime& value)
{
    std::tm tm{};
    tm.tm_year = static_cast<int>(value.date.year()) - 1900;
    tm.tm_mon = static_cast<int>(static_cast<unsigned>(value.date.month())) - 1;
    tm.tm_mday = static_cast<int>(static_cast<unsigned>(value.date.day()));
    const auto seconds = value.timeOfDay.count();
    tm.tm_hour = static_cast<int>(seconds / 3600);
    tm.tm_min = static_cast<int>(seconds / 60 % 60);
    tm.tm_sec = static_cast<int>(seconds % 60);
    return tm;
}

DateTime FromTm(const std::tm& tm)
{
    return DateTime{year_month_day{year{tm.tm_year + 1900}, month{static_cast<unsigned>(tm.tm_mon + 1)},
                                   day{static_cast<unsigned>(tm.tm_mday)}},
                    hours{tm.tm_hour} + minutes{tm.tm_min} + seconds{tm.tm_sec}};
}

void StoreDateTimeAs(short describedType, const DateTime& value, std::vector<char>& buffer, XSQLVAR& var)
{
    std::tm tm = ToTm(value);
    switch (describedType) {
    case SQL_TYPE_DATE: {
        ISC_DATE date;
        isc_encode_sql_date(&tm, &date);
        Store(buffer, var, SQL_TYPE_DATE, date);
        break;
    }
    case SQL_TYPE_TIME: {
        ISC_TIME time;
        isc_encode_sql_time(&tm, &time);
        time += static_cast<ISC_TIME>(value.tenThousandths);
        Store(buffer, var, SQL_TYPE_TIME, time);
        break;
    }
    default: {
        ISC_TIMESTAMP stamp;
        isc_encode_timestamp(&tm, &stamp);
        stamp.timestamp_time += static_cast<ISC_TIME>(value.tenThousandths);
        Store(buffer, var, SQL_TIMESTAMP, stamp);
    }
    }
}

void StoreBlob(const std::string& text, std::vector<char>& buffer, XSQLVAR& var, isc_db_handle* database,
               isc_tr_handle* transaction)
{
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    ISC_QUAD id{};
    isc_create_blob2(status, database, transaction, &blob, &id, 0, nullptr);
    CheckStatus(status);
    for (size_t offset = 0; offset < text.size(); offset += 32768) {
        const size_t piece = std::min<size_t>(32768, text.size() - offset);
        isc_put_segment(status, &blob, static_cast<unsigned short>(piece), text.data() + offset);
        if (status[0] == 1 && status[1]) {
            ISC_STATUS_ARRAY ignored;
            isc_cancel_blob(ignored, &blob);
            CheckStatus(status);
        }
    }
    isc_close_blob(status, &blob);
    CheckStatus(status);
    const short subtype = var.sqlsubtype;
    Store(buffer, var, SQL_BLOB, id);
    var.sqlsubtype = subtype;
}

// A text of decimal digits alone for an integer column, whose value the column holds: sent as the number, what the
// engine would have made of the text. Anything else (a sign, blanks, a fraction, a value beyond the column) stays
// text, for the engine to convert or refuse in its own words.
std::optional<std::int64_t> WholeNumberFitting(const std::string& text, const XSQLVAR& described)
{
    const short type = static_cast<short>(described.sqltype & ~1);
    if (described.sqlscale != 0 || (type != SQL_SHORT && type != SQL_LONG && type != SQL_INT64)) return std::nullopt;
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    const std::int64_t largest = type == SQL_SHORT ? 32767 : type == SQL_LONG ? 2147483647 : INT64_MAX;
    if (value > largest) return std::nullopt;
    return value;
}

void BindText(const std::string& text, const XSQLVAR& described, XSQLVAR& var, std::vector<char>& buffer,
              short& nullFlag, isc_db_handle* database, isc_tr_handle* transaction)
{
    const short type = static_cast<short>(described.sqltype & ~1);
    if (type == SQL_TEXT || type == SQL_VARYING) {
        StoreVarying(buffer, var, text, described.sqlsubtype);
        return;
    }
    if (type == SQL_BLOB) {
        var.sqlsubtype = described.sqlsubtype;
        StoreBlob(text, buffer, var, database, transaction);
        return;
    }
    if (text.empty()) {
        nullFlag = -1;
        return;
    }
    if (type == SQL_TYPE_DATE || type == SQL_TYPE_TIME || type == SQL_TIMESTAMP) {
        const auto parsed = ParseDateTimeText(text);
        if (!parsed) throw DatabaseError("'" + text + "' is not a valid date and time");
        StoreDateTimeAs(type, *parsed, buffer, var);
        return;
    }
    if (const auto whole = WholeNumberFitting(text, described)) {
        Store(buffer, var, SQL_INT64, static_cast<ISC_INT64>(*whole));
        return;
    }
    StoreVarying(buffer, var, text, kCharsetNone);
}

std::string TrimmedDecimal(std::int64_t value, int scale)
{
    if (scale >= 0) {
        for (int i = 0; i < scale; ++i) value *= 10;
        return std::to_string(value);
    }
    const bool negative = value < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::uint64_t divisor = 1;
    for (int i = 0; i < -scale; ++i) divisor *= 10;
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / divisor);
    std::string fraction = std::to_string(magnitude % divisor + divisor).substr(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += "," + fraction;
    return text;
}

std::string DoubleText(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    std::string result = text;
    for (char& c : result)
        if (c == '.') c = ',';
    return result;
}

std::string ReadBlob(const XSQLVAR& var, isc_db_handle* database, isc_tr_handle* transaction)
{
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    ISC_QUAD id;
    std::memcpy(&id, var.sqldata, sizeof id);
    isc_open_blob2(status, database, transaction, &blob, &id, 0, nullptr);
    CheckStatus(status);
    std::string content;
    char piece[8192];
    for (;;) {
        unsigned short length = 0;
        const ISC_STATUS result = isc_get_segment(status, &blob, &length, sizeof piece, piece);
        if (result != 0 && result != isc_segment) break;
        content.append(piece, length);
    }
    ISC_STATUS_ARRAY ignored;
    isc_close_blob(ignored, &blob);
    return content;
}

template <typename T>
T Load(const XSQLVAR& var)
{
    T value;
    std::memcpy(&value, var.sqldata, sizeof value);
    return value;
}

}  // namespace

void BindParameter(const ParameterValue& value, const XSQLVAR& described, XSQLVAR& var, std::vector<char>& buffer,
                   short& nullFlag, isc_db_handle* database, isc_tr_handle* transaction)
{
    nullFlag = 0;
    var.sqlind = &nullFlag;
    switch (value.kind) {
    case ParameterValue::Kind::Null:
        nullFlag = -1;
        return;
    case ParameterValue::Kind::Text:
        BindText(value.text, described, var, buffer, nullFlag, database, transaction);
        return;
    case ParameterValue::Kind::Integer:
        Store(buffer, var, SQL_LONG, static_cast<ISC_LONG>(value.number));
        return;
    case ParameterValue::Kind::Money:
        Store(buffer, var, SQL_INT64, static_cast<ISC_INT64>(value.number), -4);
        return;
    case ParameterValue::Kind::DateTime:
        StoreDateTimeAs(SQL_TIMESTAMP, value.dateTime, buffer, var);
        return;
    case ParameterValue::Kind::Date:
        StoreDateTimeAs(SQL_TYPE_DATE, value.dateTime, buffer, var);
        return;
    }
}

std::string ColumnAsText(const XSQLVAR& var, isc_db_handle* database, isc_tr_handle* transaction)
{
    if (var.sqlind && *var.sqlind < 0) return "";
    switch (var.sqltype & ~1) {
    case SQL_TEXT: return std::string(var.sqldata, static_cast<size_t>(var.sqllen));
    case SQL_VARYING: return std::string(var.sqldata + 2, Load<unsigned short>(var));
    case SQL_SHORT: return TrimmedDecimal(Load<short>(var), var.sqlscale);
    case SQL_LONG: return TrimmedDecimal(Load<ISC_LONG>(var), var.sqlscale);
    case SQL_INT64: return TrimmedDecimal(Load<ISC_INT64>(var), var.sqlscale);
    case SQL_FLOAT: return DoubleText(Load<float>(var));
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return DoubleText(Load<double>(var));
    case SQL_BOOLEAN: return Load<FB_BOOLEAN>(var) ? "True" : "False";
    case SQL_TYPE_DATE: {
        std::tm tm{};
        ISC_DATE date = Load<ISC_DATE>(var);
        isc_decode_sql_date(&date, &tm);
        return DateToText(FromTm(tm).date);
    }
    case SQL_TYPE_TIME: {
        std::tm tm{};
        ISC_TIME time = Load<ISC_TIME>(var);
        isc_decode_sql_time(&time, &tm);
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
        return text;
    }
    case SQL_TIMESTAMP: {
        std::tm tm{};
        ISC_TIMESTAMP stamp = Load<ISC_TIMESTAMP>(var);
        isc_decode_timestamp(&stamp, &tm);
        const DateTime value = FromTm(tm);
        return value.timeOfDay.count() == 0 ? DateToText(value.date) : DateTimeToText(value);
    }
    case SQL_BLOB: return ReadBlob(var, database, transaction);
    default: throw DatabaseError("Tipo de coluna não suportado");
    }
}

std::int32_t ColumnAsInteger(const XSQLVAR& var, isc_db_handle* database, isc_tr_handle* transaction)
{
    if (var.sqlind && *var.sqlind < 0) return 0;
    auto scaled = [&var](std::int64_t value) {
        for (int i = 0; i < -var.sqlscale; ++i) value /= 10;
        return static_cast<std::int32_t>(value);
    };
    switch (var.sqltype & ~1) {
    case SQL_SHORT: return scaled(Load<short>(var));
    case SQL_LONG: return scaled(Load<ISC_LONG>(var));
    case SQL_INT64: return scaled(Load<ISC_INT64>(var));
    case SQL_FLOAT: return static_cast<std::int32_t>(std::lround(Load<float>(var)));
    case SQL_DOUBLE: return static_cast<std::int32_t>(std::lround(Load<double>(var)));
    default: {
        std::string text = ColumnAsText(var, database, transaction);
        while (!text.empty() && text.back() == ' ') text.pop_back();
        std::int32_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            throw DatabaseError("'" + text + "' is not a valid integer value");
        return value;
    }
    }
}

namespace {

// value * 10^(scale + 4), rounded half away from zero when decimals are dropped.
std::int64_t ToTenThousandths(std::int64_t value, int scale)
{
    int shift = scale + 4;
    for (; shift > 0; --shift) value *= 10;
    if (shift == 0) return value;
    std::int64_t divisor = 1;
    for (; shift < 0; ++shift) divisor *= 10;
    const std::int64_t quotient = value / divisor;
    const std::int64_t remainder = value % divisor;
    if (2 * (remainder < 0 ? -remainder : remainder) >= divisor) return quotient + (value < 0 ? -1 : 1);
    return quotient;
}

Money MoneyFromText(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    std::string digits;
    int scale = 0;
    bool negative = false, separator = false;
    for (size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (i == begin && (c == '-' || c == '+')) {
            negative = c == '-';
        } else if ((c == ',' || c == '.') && !separator) {
            separator = true;
        } else if (c >= '0' && c <= '9') {
            digits += c;
            if (separator) --scale;
        } else {
            digits.clear();
            break;
        }
    }
    std::int64_t value = 0;
    const auto [last, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || last != digits.data() + digits.size())
        throw DatabaseError("'" + text + "' is not a valid floating point value");
    return Money{ToTenThousandths(negative ? -value : value, scale)};
}

}  // namespace

Money ColumnAsMoney(const XSQLVAR& var, isc_db_handle* database, isc_tr_handle* transaction)
{
    if (var.sqlind && *var.sqlind < 0) return Money{};
    switch (var.sqltype & ~1) {
    case SQL_SHORT: return Money{ToTenThousandths(Load<short>(var), var.sqlscale)};
    case SQL_LONG: return Money{ToTenThousandths(Load<ISC_LONG>(var), var.sqlscale)};
    case SQL_INT64: return Money{ToTenThousandths(Load<ISC_INT64>(var), var.sqlscale)};
    case SQL_FLOAT: return Money{std::llround(static_cast<double>(Load<float>(var)) * 10000.0)};
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return Money{std::llround(Load<double>(var) * 10000.0)};
    default: return MoneyFromText(ColumnAsText(var, database, transaction));
    }
}
