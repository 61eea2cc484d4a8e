#include "cli/console_operator.h"

#include <algorithm>

namespace {

const char* const kXmlFolderTitle = "Procure a Pasta dos XMLs";
const char* const kOrvelFileTitle = "Localizar BD ORVELSOFT";
constexpr int kBarWidth = 40;

}  // namespace

ConsoleOperator::ConsoleOperator(ConsoleAnswers answers, std::ostream& out, std::ostream& err, bool drawProgress)
    : answers_(std::move(answers)),
      legacyFolderBox_(answers_.legacyFolder),
      targetBox_(answers_.target),
      numberingBox_(answers_.numbering),
      out_(out),
      err_(err),
      drawProgress_(drawProgress)
{
}

ConsoleOperator::~ConsoleOperator() { EndBarLine(); }

void ConsoleOperator::EndBarLine()
{
    if (!barOnLine_) return;
    err_ << '\n' << std::flush;
    barOnLine_ = false;
}

void ConsoleOperator::DrawBar()
{
    if (!drawProgress_ || !gaugeShown_) return;
    const int filled = gauge_ * kBarWidth / 100;
    err_ << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, ' ') << "] " << gauge_ << "%"
         << std::flush;
    barOnLine_ = true;
}

void ConsoleOperator::ShowMessage(const std::string& text)
{
    EndBarLine();
    out_ << "ConvQuibraW: " << text << '\n' << std::flush;
}

void ConsoleOperator::ShowErrorBox(const std::string& text)
{
    EndBarLine();
    out_ << std::flush;
    err_ << "ConvQuibraW: erro: " << text << '\n' << std::flush;
    errorReported_ = true;
}

void ConsoleOperator::ConnectionFailed(const std::string& reason)
{
    EndBarLine();
    out_ << std::flush;
    err_ << "ConvQuibraW: " << reason << '\n' << std::flush;
    errorReported_ = true;
}

void ConsoleOperator::LogAppend(const std::string& line)
{
    EndBarLine();
    out_ << line << '\n';
    logHasLines_ = true;
}

void ConsoleOperator::GaugeReset()
{
    gauge_ = 0;
    DrawBar();
}

void ConsoleOperator::GaugeAdvance(int step)
{
    gauge_ = std::min(100, gauge_ + step);
    DrawBar();
}

void ConsoleOperator::GaugeShow()
{
    gaugeShown_ = true;
    DrawBar();
}

void ConsoleOperator::ProcessEvents() { out_ << std::flush; }

std::string ConsoleOperator::ChooseFolder(const std::string& title)
{
    if (title == kXmlFolderTitle) return answers_.xmlFolder.value_or("");
    return answers_.legacyFolder;
}

std::optional<std::string> ConsoleOperator::ChooseDatabaseFile(const std::string& title)
{
    if (title == kOrvelFileTitle) return answers_.orvel;
    if (answers_.target.empty()) return std::nullopt;
    return answers_.target;
}

std::optional<std::string> ConsoleOperator::AskText(const std::string&, const std::string&, const std::string&)
{
    // The product field update asks twice: the column first, then the legacy field.
    switch (textAnswersGiven_++) {
    case 0: return answers_.column;
    case 1: return answers_.field;
    default: return std::nullopt;
    }
}

bool ConsoleOperator::IsChecked(CheckBox box)
{
    switch (box) {
    case CheckBox::AutoPecas: return answers_.autoPecas;
    case CheckBox::CopiaVendas: return answers_.copySales;
    case CheckBox::CopiaEntradas: return answers_.copyPurchases;
    }
    return false;
}
