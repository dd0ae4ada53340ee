#pragma once
// Length texts in the units of measure of CONFIG.INI, the suite's unit table, found beside the
// library itself.

#include <string>

// Millimetres per unit and shown decimals of section "UM<n>"; millimetres with one decimal
// when the section or the file is missing.
void UnitOfSection(int sectionNumber, double& millimetresPerUnit, int& decimals);

// value (millimetres) printed in the unit, e.g. "100.0" or "3.94".
std::string LengthText(double millimetres, int sectionNumber);
// A text in the unit read back as millimetres. False when the text is not a number.
bool LengthValue(const std::string& text, int sectionNumber, double& millimetres);
