#include "common/DateTime.h"

#include <cstdlib>

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "platform/Platform.h"

namespace tavrel {

std::string MonthName(int month) { return Msg(Format("%05d", month + 231)); }

std::string DateText(const std::string& date) {
    auto first = date.find('-');
    auto last = date.rfind('-');
    if (first == std::string::npos || first >= last) return std::string();
    const std::string day = date.substr(last + 1);
    const int month = std::atoi(date.substr(first + 1, last - first - 1).c_str());
    return " - " + day + " " + MonthName(month) + " " + date.substr(0, first) + " - ";
}

std::string FormatTime(const std::tm& time, const std::string& format) {
    if (format.empty()) return std::string();
    char buffer[129];
    size_t n = std::strftime(buffer, sizeof buffer - 1, format.c_str(), &time);
    if (n == 0) return std::string();
    return std::string(buffer, n);
}

std::string DateTimeText(const std::tm& time, int order, char separator) {
    const std::string sep(1, separator);
    std::string fmt;
    if (order == 1)
        fmt = "%d" + sep + "%m" + sep + "%y";
    else if (order == 2)
        fmt = "%y" + sep + "%m" + sep + "%d";
    else
        fmt = "%m" + sep + "%d" + sep + "%y";
    return FormatTime(time, fmt) + Format(" %02d:%02d:%02d", time.tm_hour, time.tm_min, time.tm_sec);
}

std::string NowText() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    int order = 0;
    char separator = '/';
    Platform::LocaleDateFormat(order, separator);
    return DateTimeText(local, order, separator);
}

}  // namespace tavrel
