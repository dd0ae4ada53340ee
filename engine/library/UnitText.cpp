#include "library/UnitText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

#include "common/IniFile.h"

using namespace tavrel;

namespace {

// The folder this library was loaded from: CONFIG.INI lives there.
std::string LibraryFolder() {
    Dl_info info;
    if (::dladdr(reinterpret_cast<void*>(&UnitOfSection), &info) == 0 || !info.dli_fname) {
        return ".";
    }
    const std::string path = info.dli_fname;
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

void UnitOfSection(int sectionNumber, double& millimetresPerUnit, int& decimals) {
    millimetresPerUnit = 1.0;
    decimals = 1;
    const std::string ini = LibraryFolder() + "/CONFIG.INI";
    const std::string section = "UM" + std::to_string(sectionNumber);
    const std::string factor = IniFile::Read(ini, section, "LinearFactToMM", "");
    double f = 0.0;
    std::from_chars(factor.data(), factor.data() + factor.size(), f);
    if (factor.empty() || !(f > 0.0) || !std::isfinite(f)) {
        return;
    }
    millimetresPerUnit = f;
    const std::string d = IniFile::Read(ini, section, "NumDecimali", "1");
    decimals = std::atoi(d.c_str());
    decimals = decimals < 0 ? 0 : (decimals > 3 ? 3 : decimals);
}

std::string LengthText(double millimetres, int sectionNumber) {
    double factor = 1.0;
    int decimals = 1;
    UnitOfSection(sectionNumber, factor, decimals);
    double v = millimetres / factor;
    if (!std::isfinite(v)) {
        v = 0.0;
    }
    // Locale-independent: the host program may have switched the decimal separator.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf - 1, v, std::chars_format::fixed, decimals);
    return std::string(buf, r.ec == std::errc() ? r.ptr : buf);
}

bool LengthValue(const std::string& text, int sectionNumber, double& millimetres) {
    size_t a = 0;
    size_t b = text.size();
    while (a < b && (text[a] == ' ' || text[a] == '\t')) {
        ++a;
    }
    while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\t')) {
        --b;
    }
    if (a < b && text[a] == '+') {
        ++a;
    }
    double v = 0.0;
    const auto r = std::from_chars(text.data() + a, text.data() + b, v);
    if (a == b || r.ec != std::errc() || r.ptr != text.data() + b || !std::isfinite(v)) {
        return false;
    }
    double factor = 1.0;
    int decimals = 1;
    UnitOfSection(sectionNumber, factor, decimals);
    millimetres = v * factor;
    return true;
}
