#include "shift_outputs/geojson_writer.h"

#include <cmath>
#include <ostream>
#include <string>
#include <string_view>

#include "format/text_escape.h"
#include "shift_outputs/number_text.h"

namespace tessovane2::shifts {

namespace {

void appendNumber(std::string& out, double value, int decimals) {
  if (!appendDecimal(out, value, decimals)) out += "null";
}

void appendProperty(std::string& out, std::string_view name) {
  out += ",\"";
  out += name;
  out += "\":";
}

void appendFitProperties(std::string& out, const RowFit& fit) {
  const DecimalField numbers[] = {
      {R"(,"fit_dn":)", fit.fitDn, kMetreDecimals},
      {R"(,"fit_de":)", fit.fitDe, kMetreDecimals},
      {R"(,"fit_du":)", fit.fitDu, kMetreDecimals},
      {R"(,"res_dn":)", fit.resDn, kMetreDecimals},
      {R"(,"res_de":)", fit.resDe, kMetreDecimals},
      {R"(,"res_du":)", fit.resDu, kMetreDecimals},
      {R"(,"res_horizontal":)", fit.resHorizontal, kMetreDecimals},
      {R"(,"res_sigma":)", fit.resSigma, kSigmaDecimals},
  };
  appendDecimalFields(out, numbers, "null");
  out += R"(,"outlier":)";
  out += std::isnan(fit.resHorizontal) ? "null" : (fit.outlier ? "true" : "false");
}

// The --locate properties: null on the rows that were not searched (pairs
// by identifier) and where there is no candidate.
void appendCandidateProperties(std::string& out, const RowCandidate& candidate) {
  const bool found = candidate.searched && candidate.status != CandidateStatus::None;
  appendProperty(out, "candidate_pid");
  if (found) {
    appendJsonString(out, candidate.pid);
  } else {
    out += "null";
  }
  appendProperty(out, "candidate_ssn");
  if (found) {
    appendJsonString(out, candidate.ssn);
  } else {
    out += "null";
  }
  appendProperty(out, "candidate_distance");
  appendNumber(out, candidate.distance, kMetreDecimals);
  appendProperty(out, "candidate_status");
  if (candidate.searched) {
    appendJsonString(out, candidateStatusName(candidate.status));
  } else {
    out += "null";
  }
}

// The foreign member "fit" (RFC 7946 allows members of its own): the model,
// its parameters and their standard deviations by name, the robust scales.
std::string fitMember(const SystematicChange& fit) {
  std::string out = R"("fit":{"model":)";
  appendJsonString(out, fit.model);
  appendProperty(out, "vertical");
  appendJsonString(out, fit.vertical);
  for (const bool deviations : {false, true}) {
    appendProperty(out, deviations ? "std_dev" : "parameters");
    out += '{';
    for (std::size_t i = 0; i < fit.parameters.size(); ++i) {
      const FitParameterValue& p = fit.parameters[i];
      if (i > 0) out += ',';
      appendJsonString(out, p.name);
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
    appendJsonString(feature, row.pid);
    appendProperty(feature, "ssn");
    appendJsonString(feature, row.ssn);
    appendProperty(feature, "designation");
    appendJsonString(feature, row.designation);
    appendProperty(feature, "status");
    appendJsonString(feature, statusName(row.status));
    appendProperty(feature, "hemispheres_differ");
    feature += row.mixedHemisphere ? "true" : "false";
    const DecimalField numbers[] = {
        {R"(,"lat1":)", row.lat1, kDegreeDecimals}, {R"(,"lon1":)", row.lon1, kDegreeDecimals},
        {R"(,"h1":)", row.h1, kMetreDecimals},      {R"(,"lat2":)", row.lat2, kDegreeDecimals},
        {R"(,"lon2":)", row.lon2, kDegreeDecimals}, {R"(,"h2":)", row.h2, kMetreDecimals},
        {R"(,"dn":)", row.dn, kMetreDecimals},      {R"(,"de":)", row.de, kMetreDecimals},
        {R"(,"du":)", row.du, kMetreDecimals},      {R"(,"horizontal":)", row.horizontal, kMetreDecimals},
    };
    appendDecimalFields(feature, numbers, "null");
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
