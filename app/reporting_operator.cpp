#include "app/reporting_operator.h"

namespace {

// The length of the well-formed UTF-8 sequence at i, 0 when there is none.
size_t Utf8SequenceAt(const std::string& text, size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80           ? 1
                          : (lead >> 5) == 0x6  ? 2
                          : (lead >> 4) == 0xE  ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    return length;
}

// The program's own texts are UTF-8; legacy bytes and the server's texts travel as ISO 8859-1, sometimes within
// one line. Every byte that does not start a UTF-8 sequence is taken as ISO 8859-1.
std::string AsUtf8(const std::string& text)
{
    std::string converted;
    for (size_t i = 0; i < text.size();) {
        if (const size_t length = Utf8SequenceAt(text, i)) {
            converted.append(text, i, length);
            i += length;
            continue;
        }
        const auto byte = static_cast<unsigned char>(text[i++]);
        converted += static_cast<char>(0xC0 | (byte >> 6));
        converted += static_cast<char>(0x80 | (byte & 0x3F));
    }
    return converted;
}

}  // namespace

void ReportingOperator::ShowMessage(const std::string& text)
{
    lines_.push_back("Mensagem: " + text);
    inner_.ShowMessage(text);
}

void ReportingOperator::ShowErrorBox(const std::string& text)
{
    lines_.push_back("Erro: " + text);
    inner_.ShowErrorBox(text);
}

void ReportingOperator::LogAppend(const std::string& line)
{
    lines_.push_back(line);
    inner_.LogAppend(line);
}

void ReportingOperator::ConnectionFailed(const std::string& reason)
{
    lines_.push_back(reason);
    inner_.ConnectionFailed(reason);
}

void ReportingOperator::ShowRecordFailureMessage(const std::string& text)
{
    lines_.push_back("Mensagem: " + text);
    inner_.ShowRecordFailureMessage(text);
}

void ReportingOperator::RecordFailed(const RecordFailure& failure)
{
    failures_.push_back(failure);
    inner_.RecordFailed(failure);
}

void ReportingOperator::CopyCounted(const CopyCounts& counts)
{
    counts_.push_back(counts);
    inner_.CopyCounted(counts);
}

std::string ReportingOperator::ReportText(const std::string& title) const
{
    std::string text = title + "\n\nLog e mensagens:\n";
    for (const std::string& line : lines_) text += line + "\n";
    text += "\nRegistros com erro: " + std::to_string(failures_.size()) + "\n";
    for (const RecordFailure& failure : failures_) {
        text += "Registro " + std::to_string(failure.recordNumber) + " de " + failure.fileName + ", chave \"" +
                failure.key + "\":\n";
        text += failure.text + "\n\n";
    }
    text += "\nResumo:\n";
    for (const CopyCounts& counts : counts_)
        text += counts.fileName + ": lidos " + std::to_string(counts.read) + ", gravados " +
                std::to_string(counts.written) + ", ignorados " + std::to_string(counts.skipped) + ", com erro " +
                std::to_string(counts.failed) + "\n";
    return AsUtf8(text);
}
