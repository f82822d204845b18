#include "error_report.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "engine_error.h"
#include "table.h"
#include "work_areas.h"

namespace memotab {

namespace {

std::string Padded(const std::string& text, size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string RightAligned(long long value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%*lld", width, value);
  return text;
}

// 1234567 -> "1,234,567"
std::string Thousands(uint64_t value) {
  std::string digits = std::to_string(value);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
  return digits;
}

std::string Elapsed(double seconds) {
  const auto whole = static_cast<long long>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  return text;
}

std::string Logical(bool value) { return value ? ".T." : ".F."; }

class Report {
 public:
  void Line(const std::string& text = {}) { text_ += text + "\r\n"; }
  void Heading(const std::string& title) {
    Line(title);
    Line(std::string(title.size(), '='));
  }
  std::string Text() const { return text_; }

 private:
  std::string text_;
};

void Application(Report& report, const RuntimeError& error, const ReportContext& context) {
  report.Heading("Application");
  report.Line("   Path and name: " + context.facts.cProgramPath + " (" + std::to_string(context.facts.nProgramBits) +
              " bits)");
  report.Line("   Size: " + Thousands(context.facts.nProgramSize) + " bytes");
  report.Line("   Time from start: " + Elapsed(context.nSecondsSinceStart));
  report.Line("   Error occurred at: " + context.cDate + ", " + context.cTime);
  report.Line("   Error description: " + ERRORMESSAGE(error));
  if (!error.aArgs.empty()) {
    report.Line("   Args:");
    for (size_t i = 0; i < error.aArgs.size(); ++i) {
      report.Line("     [" + RightAligned(static_cast<long long>(i + 1), 4) + "] = " + error.aArgs[i].cType + "   " +
                  error.aArgs[i].cValue);
    }
  }
}

void System(Report& report, const ReportContext& context) {
  const SystemFacts& facts = context.facts;
  report.Heading("System");
  report.Line("   CPU type: " + facts.cCpuName + " " + std::to_string(facts.nCpuMhz) + " Mhz");
  report.Line("   Hardware memory: " + std::to_string(facts.nMemoryMegabytes) + " megs");
  report.Line();
  report.Line("   Free System resources: " + std::to_string(facts.nFreeSystemPercent) + " %");
  report.Line("        GDI    resources: " + std::to_string(facts.nFreeGdiPercent) + " %");
  report.Line("        User   resources: " + std::to_string(facts.nFreeUserPercent) + " %");
  report.Line();
  report.Line("   Compiler version: " + context.cCompiler);
  report.Line("   Windows version: " + facts.cWindowsVersion);
  report.Line();
  report.Line("   Windows total applications running: " + std::to_string(facts.aRunningPrograms.size()));
  for (size_t i = 0; i < facts.aRunningPrograms.size(); ++i) {
    report.Line("    " + RightAligned(static_cast<long long>(i + 1), 3) + " " + facts.aRunningPrograms[i]);
  }
}

// The routines the report lists, innermost first.
std::span<const std::string> ReportedRoutines(const RuntimeError& error) {
  return std::span(error.aCallStack).first(std::min(error.aCallStack.size(), kReportedRoutines));
}

void Variables(Report& report, const RuntimeError& error) {
  // Parameters and locals are not kept by compiled code; the routines are listed.
  report.Heading("Variables in use");
  report.Line("   Procedure     Type   Value");
  report.Line("   ==========================");
  for (const std::string& routine : ReportedRoutines(error)) report.Line("   " + routine.substr(0, routine.find('(')));
}

void DataBases(Report& report) {
  report.Heading("DataBases in use");
  for (const WorkArea& area : WorkAreas()) {
    const Table& table = *area.table;
    const bool open = table.IsOpen();
    report.Line();
    report.Line(RightAligned(area.nArea, 3) + ": " + (area.nArea == CurrentWorkArea() ? "=> " : "   ") +
                Padded(area.cAlias, 15) + std::string(20, ' ') + "RddName: " + kEngineName);
    report.Line("     ==============================");
    report.Line("     RecNo    RecCount    BOF   EOF");
    report.Line("     " + RightAligned(open ? table.RecNo() : 0, 5) + "       " + RightAligned(open ? table.LastRec() : 0, 5) +
                "    " + Logical(open && table.LastRec() == 0) + "   " + Logical(!open || table.Eof()));
    report.Line();
    report.Line("     Indexes in use " + std::string(23, ' ') + "TagName");
    report.Line();
    report.Line("     Relations in use");
  }
}

}  // namespace

std::string ERRORMESSAGE(const RuntimeError& error) {
  std::string message = error.nOsCode != 0 ? "(DOS Error " + std::to_string(error.nOsCode) + ") "
                                           : (error.nSeverity > 1 ? "Error " : "Warning ");
  message += (error.cSubSystem.empty() ? "???" : error.cSubSystem) + "/" + std::to_string(error.nSubCode);
  if (!error.cDescription.empty()) message += "  " + error.cDescription;
  if (!error.cFileName.empty()) {
    message += ": " + error.cFileName;
  } else if (!error.cOperation.empty()) {
    message += ": " + error.cOperation;
  }
  return message;
}

std::vector<std::string> CalledFromLines(const RuntimeError& error) {
  std::vector<std::string> lines;
  for (const std::string& routine : ReportedRoutines(error)) lines.push_back("   Called from " + routine);
  return lines;
}

std::string ErrorReportText(const RuntimeError& error, const ReportContext& context) {
  return ErrorReportHead(error, context) + ErrorReportBody(error, context);
}

std::string ErrorReportHead(const RuntimeError& error, const ReportContext& context) {
  Report report;
  Application(report, error, context);
  report.Line();
  report.Heading("Stack Calls");
  for (const std::string& line : CalledFromLines(error)) report.Line(line);
  return report.Text();
}

std::string ErrorReportBody(const RuntimeError& error, const ReportContext& context) {
  Report report;
  report.Line();
  System(report, context);
  report.Line();
  Variables(report, error);
  report.Line();
  report.Heading("Linked RDDs");
  report.Line(std::string("   ") + kEngineName);
  report.Line();
  DataBases(report);
  report.Line();
  report.Heading("Classes in use:");
  for (size_t i = 0; i < context.aClasses.size(); ++i) {
    report.Line("   " + RightAligned(static_cast<long long>(i + 1), 3) + " " + context.aClasses[i]);
  }
  report.Line();
  report.Heading("Memory Analysis");
  report.Line("      0 Static variables");
  report.Line();
  report.Line("   Dynamic memory consume:");
  report.Line("      Actual  Value: " + std::to_string(context.facts.nMemoryInUse) + " bytes");
  report.Line("      Highest Value: " + std::to_string(context.facts.nMemoryPeak) + " bytes");
  return report.Text();
}

}  // namespace memotab
