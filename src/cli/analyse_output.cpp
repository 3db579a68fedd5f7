#include "cli/analyse_output.hpp"

#include <charconv>
#include <cmath>

#include "common/number_text.hpp"
#include "common/text_file.hpp"

namespace torvane::cli {

void AppendJsonNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  if (value == 0) value = 0;  // no "-0"
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

void AppendJsonString(std::string& out, std::string_view text) {
  out.push_back('"');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      // JSON is UTF-8: a sequence that is not (a file name in another
      // encoding) is written as the text "\\xe9", byte by byte.
      const std::size_t length = Utf8SequenceLength(text.substr(i));
      if (length == 0) {
        static const char kHex[] = "0123456789abcdef";
        out += "\\\\x";
        out.push_back(kHex[(static_cast<unsigned char>(c) >> 4) & 0xf]);
        out.push_back(kHex[c & 0xf]);
      } else {
        out.append(text.substr(i, length));
        i += length - 1;
      }
      continue;
    }
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          static const char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out.push_back(kHex[(c >> 4) & 0xf]);
          out.push_back(kHex[c & 0xf]);
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back('"');
}

std::string AnalyseJsonLine(const std::string& file, const Session& session,
                            const TrialAnalysis& analysis) {
  const SettingsRecord& s = session.settings;
  const AnalysisView& v = session.view;
  std::string out = "{\"file\": ";
  AppendJsonString(out, file);
  out += ", \"kind\": " + std::to_string(session.trial.FileKind);
  out += ", \"samples\": " + std::to_string(s.samples);
  out += ", \"frequency\": " + std::to_string(s.frequency);
  out += ", \"mass\": ";
  AppendJsonNumber(out, s.weight);
  out += s.RecordForce ? ", \"record_force\": true" : ", \"record_force\": false";
  out += ", \"mode\": ";
  AppendJsonString(out, ModeName(analysis.run.mode));
  out += ", \"analysis_start\": " + std::to_string(v.AnalysisStart);
  out += ", \"analysis_end\": " + std::to_string(v.AnalysisEnd);
  out += ", \"phases\": {\"MovementOnsetTime\": ";
  AppendJsonNumber(out, v.MovementOnsetTime);
  out += ", \"ZeroVelocityTime\": ";
  AppendJsonNumber(out, v.ZeroVelocityTime);
  out += ", \"TakeOffTime\": ";
  AppendJsonNumber(out, v.TakeOffTime);
  out += ", \"LandingTime\": ";
  AppendJsonNumber(out, v.LandingTime);
  out += "}, \"results\": {";
  const TrialResults& r = analysis.results;
  for (std::size_t i = 0; i < kResultsVariableCount; ++i) {
    if (i > 0) out += ", ";
    AppendJsonString(out, kResultsVariables[i].header);
    out += ": {\"text\": ";
    AppendJsonString(out, r.texts[i]);
    out += ", \"value\": ";
    if (r.values[i]) {
      AppendJsonNumber(out, *r.values[i]);
    } else {
      out += "null";
    }
    out += "}";
  }
  out += "}, \"quality\": [";
  for (std::size_t k = 0; k < analysis.quality.size(); ++k) {
    const QualityFlag& flag = analysis.quality[k];
    out += k > 0 ? ", {\"code\": " : "{\"code\": ";
    AppendJsonString(out, flag.code);
    out += ", \"message\": ";
    AppendJsonString(out, flag.message);
    out += ", \"values\": {";
    for (std::size_t i = 0; i < flag.values.size(); ++i) {
      if (i > 0) out += ", ";
      AppendJsonString(out, flag.values[i].first);
      out += ": ";
      AppendJsonNumber(out, flag.values[i].second);
    }
    out += "}}";
  }
  out += "]}\n";
  return out;
}

namespace {

void AppendCsvField(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += text;
    return;
  }
  out.push_back('"');
  for (const char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

}  // namespace

std::string AnalyseCsvHeader() {
  std::string out = "file";
  for (const ResultsVariable& variable : kResultsVariables) {
    out.push_back(',');
    AppendCsvField(out, variable.header);
  }
  out += "\n";
  return out;
}

std::string AnalyseCsvRow(const std::string& file, const TrialAnalysis& analysis) {
  std::string out;
  AppendCsvField(out, file);
  for (const std::string& text : analysis.results.texts) {
    out.push_back(',');
    AppendCsvField(out, text);
  }
  out += "\n";
  return out;
}

std::string AnalyseTable(const std::string& file, const Session& session,
                         const TrialAnalysis& analysis) {
  const SettingsRecord& s = session.settings;
  const AnalysisView& v = session.view;
  std::string out = OneLineText(file) + "\n";
  out += "  kind " + std::to_string(session.trial.FileKind) + ", " + std::to_string(s.samples) +
         " samples at " + std::to_string(s.frequency) + " Hz, mass " +
         FormatNumber(s.weight, "0.000") + " kg, force " +
         (s.RecordForce ? "recorded" : "calculated") + ", mode " + ModeName(analysis.run.mode) +
         "\n";
  out += "  analysis range: samples " + std::to_string(v.AnalysisStart) + " to " +
         std::to_string(v.AnalysisEnd) + "\n";
  out += "  phases (s): movement onset " + FormatNumber(v.MovementOnsetTime, "0.000") +
         ", zero velocity " + FormatNumber(v.ZeroVelocityTime, "0.000") + ", take-off " +
         FormatNumber(v.TakeOffTime, "0.000") + ", landing " +
         FormatNumber(v.LandingTime, "0.000") + "\n";
  for (std::size_t i = 0; i < kResultsVariableCount; ++i) {
    const ResultsVariable& variable = kResultsVariables[i];
    std::string line = "  " + std::string(variable.header);
    line.resize(22, ' ');
    const std::string& text = analysis.results.texts[i];
    std::string value = text.empty() ? "-" : text;
    if (value.size() < 12) value.insert(0, 12 - value.size(), ' ');
    line += value;
    if (!variable.unit.empty()) line += " " + std::string(variable.unit);
    out += line + "\n";
  }
  if (analysis.quality.empty()) {
    out += "  quality: no flags\n";
  } else {
    out += "  quality:\n";
    for (const QualityFlag& flag : analysis.quality) out += "    " + QualityFlagText(flag) + "\n";
  }
  return out;
}

}  // namespace torvane::cli
