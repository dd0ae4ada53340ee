#pragma once
// The cutting plan of a job for other programs (a rack planner, a spreadsheet): every pattern of
// every optimised material with its plate, its piece placements and its offcuts, as CSV or as
// JSON. Lengths are millimetres with one decimal whatever unit the installation shows: they
// are the result's own tenths written out exactly, so two stations export the same plan alike.
// Texts are UTF-8 (a Windows station's job texts are converted from Windows-1252). A material
// whose stored result cannot be read is listed with its status and reason, without patterns.

#include <string>
#include <vector>

#include "results/JobReport.h"

namespace tavrel {

struct Job;

// RFC 4180 CSV, CR LF: one "material" row per material, then per pattern one "pattern" row,
// one "piece" row per placement and one "offcut" row per offcut (README of tavrel-batch).
std::string PlanCsv(const Job& job, const std::vector<StoredMaterialResult>& results);
// One JSON object: the job's texts and the materials with their patterns.
std::string PlanJson(const Job& job, const std::vector<StoredMaterialResult>& results);

// A text as a JSON string literal: quoted, with quotes, backslashes and control characters
// escaped, in UTF-8 (Windows-1252 bytes converted).
std::string JsonString(const std::string& text);

}  // namespace tavrel
