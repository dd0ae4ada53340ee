#pragma once
#include <ctime>
#include <string>

namespace tavrel {

// Catalogue name of a month (1 = January -> message 00232).
std::string MonthName(int month);
// "2010-11-03" -> " - 03 November 2010 - "; empty when the text has no two "-".
std::string DateText(const std::string& date);
// strftime into at most 128 characters; empty on failure or for an empty format.
std::string FormatTime(const std::tm& time, const std::string& format);
// Local date in the user's date order and separator, two-digit year, then " hh:mm:ss".
std::string NowText();
// The date part of NowText for a given order (0 m-d-y, 1 d-m-y, 2 y-m-d) and separator.
std::string DateTimeText(const std::tm& time, int order, char separator);

}  // namespace tavrel
