#include "shift_outputs/geojson_writer.h"

#include <cmath>
#include <ostream>
#include <string>
#include <string_view>

#include "shift_outputs/number_text.h"

namespace tessovane2::shifts {

namespace {

// The length of the valid UTF-8 sequence at the start of `text` (no
// overlong forms, no surrogates, at most U+10FFFF), or 0.
std::size_t utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

void appendHex4(std::string& out, unsigned value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

bool needsEscape(unsigned char c) { return c < 0x20 || c == '"' || c == '\\' || c >= 0x7F; }

void appendString(std::string& out, std::string_view text) {
  out += '"';
  // Plain printable ASCII, the usual identifier, goes in one piece.
  std::size_t plain = 0;
  while (plain < text.size() && !needsEscape(static_cast<unsigned char>(text[plain]))) ++plain;
  out += text.substr(0, plain);
  for (std::size_t i = plain; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      appendHex4(out, c);
    } else if (c >= 0x80) {
      if (const std::size_t length = utf8SequenceLength(text.substr(i))) {
        out += text.substr(i, length);
        i += length;
        continue;
      }
      appendHex4(out, c);  // Latin-1: the byte is its code point
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  out += '"';
}

void appendNumber(std::string& out, double value, int decimals) {
  if (!appendDecimal(out, value, decimals)) out += "null";
}

void appendProperty(std::string& out, std::string_view name) {
  out += ",\"";
  out += name;
  out += "\":";
}

void appendFitProperties(std::string& out, const RowFit& fit) {
  const struct {
    std::string_view name;
    double value;
    int decimals;
  } numbers[] = {
      {"fit_dn", fit.fitDn, kMetreDecimals},
      {"fit_de", fit.fitDe, kMetreDecimals},
      {"fit_du", fit.fitDu, kMetreDecimals},
      {"res_dn", fit.resDn, kMetreDecimals},
      {"res_de", fit.resDe, kMetreDecimals},
      {"res_du", fit.resDu, kMetreDecimals},
      {"res_horizontal", fit.resHorizontal, kMetreDecimals},
      {"res_sigma", fit.resSigma, kSigmaDecimals},
  };
  for (const auto& number : numbers) {
    appendProperty(out, number.name);
    appendNumber(out, number.value, number.decimals);
  }
  appendProperty(out, "outlier");
  out += std::isnan(fit.resHorizontal) ? "null" : (fit.outlier ? "true" : "false");
}

// The --locate properties: null on the rows that were not searched (pairs
// by identifier) and where there is no candidate.
void appendCandidateProperties(std::string& out, const RowCandidate& candidate) {
  const bool found = candidate.searched && candidate.status != CandidateStatus::None;
  appendProperty(out, "candidate_pid");
  if (found) {
    appendString(out, candidate.pid);
  } else {
    out += "null";
  }
  appendProperty(out, "candidate_ssn");
  if (found) {
    appendString(out, candidate.ssn);
  } else {
    out += "null";
  }
  appendProperty(out, "candidate_distance");
  appendNumber(out, candidate.distance, kMetreDecimals);
  appendProperty(out, "candidate_status");
  if (candidate.searched) {
    appendString(out, candidateStatusName(candidate.status));
  } else {
    out += "null";
  }
}

// The foreign member "fit" (RFC 7946 allows members of its own): the model,
// its parameters and their standard deviations by name, the robust scales.
std::string fitMember(const SystematicChange& fit) {
  std::string out = R"("fit":{"model":)";
  appendString(out, fit.model);
  appendProperty(out, "vertical");
  appendString(out, fit.vertical);
  for (const bool deviations : {false, true}) {
    appendProperty(out, deviations ? "std_dev" : "parameters");
    out += '{';
    for (std::size_t i = 0; i < fit.parameters.size(); ++i) {
      const FitParameterValue& p = fit.parameters[i];
      if (i > 0) out += ',';
      appendString(out, p.name);
      out += ':';
      appendNumber(out, deviations ? p.standardDeviation : p.value, kFitParameterDecimals);
    }
    out += '}';
  }
  appendProperty(out, "sigma_h");
  appendNumber(out, fit.sigmaH, kFitParameterDecimals);
  appendProperty(out, "sigma_v");
  appendNumber(out, fit.sigmaV, kFitParameterDecimals);
  appendProperty(out, "pairs_used");
  out += std::to_string(fit.pairsUsed);
  appendProperty(out, "iterations");
  out += std::to_string(fit.iterations);
  out += "},";
  return out;
}

}  // namespace

void writeGeoJson(const ShiftResults& results, std::ostream& file) {
  file << "{\"type\":\"FeatureCollection\"," << (results.fit ? fitMember(*results.fit) : "")
       << "\"features\":[";
  std::string feature;
  bool firstFeature = true;
  for (std::size_t i = 0; i < results.rows.size(); ++i) {
    const ShiftRow& row = results.rows[i];
    feature.clear();
    feature += firstFeature ? "\n" : ",\n";
    firstFeature = false;
    // The 2nd-file position, else the 1st-file one; a feature without either
    // (a bad position in every file it is in) has no geometry.
    const bool atSecond = !std::isnan(row.lat2) && !std::isnan(row.lon2);
    const bool atFirst = !atSecond && !std::isnan(row.lat1) && !std::isnan(row.lon1);
    if (atSecond || atFirst) {
      feature += R"({"type":"Feature","id":)" + std::to_string(i + 1) +
                 R"(,"geometry":{"type":"Point","coordinates":[)";
      appendNumber(feature, atSecond ? row.lon2 : row.lon1, kDegreeDecimals);
      feature += ',';
      appendNumber(feature, atSecond ? row.lat2 : row.lat1, kDegreeDecimals);
      feature += "]}";
    } else {
      feature += R"({"type":"Feature","id":)" + std::to_string(i + 1) + R"(,"geometry":null)";
    }
    feature += R"(,"properties":{"pid":)";
    appendString(feature, row.pid);
    appendProperty(feature, "ssn");
    appendString(feature, row.ssn);
    appendProperty(feature, "designation");
    appendString(feature, row.designation);
    appendProperty(feature, "status");
    appendString(feature, statusName(row.status));
    appendProperty(feature, "hemispheres_differ");
    feature += row.mixedHemisphere ? "true" : "false";
    const struct {
      std::string_view name;
      double value;
      int decimals;
    } numbers[] = {
        {"lat1", row.lat1, kDegreeDecimals}, {"lon1", row.lon1, kDegreeDecimals},
        {"h1", row.h1, kMetreDecimals},      {"lat2", row.lat2, kDegreeDecimals},
        {"lon2", row.lon2, kDegreeDecimals}, {"h2", row.h2, kMetreDecimals},
        {"dn", row.dn, kMetreDecimals},      {"de", row.de, kMetreDecimals},
        {"du", row.du, kMetreDecimals},      {"horizontal", row.horizontal, kMetreDecimals},
    };
    for (const auto& number : numbers) {
      appendProperty(feature, number.name);
      appendNumber(feature, number.value, number.decimals);
    }
    appendProperty(feature, "azimuth");
    if (!appendAzimuth(feature, row.azimuth)) feature += "null";
    if (results.fit) appendFitProperties(feature, results.fit->rows[i]);
    if (results.locate) appendCandidateProperties(feature, results.locate->rows[i]);
    feature += "}}";
    file.write(feature.data(), static_cast<std::streamsize>(feature.size()));
  }
  file << "\n]}\n";
}

}  // namespace tessovane2::shifts
