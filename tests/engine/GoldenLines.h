#pragma once
// Engine input lines printed with the exact format strings of the three record kinds.

#include <cstdio>
#include <string>

namespace golden {

inline std::string LineA(const char* key, long pos, long w, long h, long qty, long prio, char letter) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "%-16.16s%-5ld%-16.16s%-12.12s%-12.12s%-8.8s%08ld%08ld%08ld%8.8s%8.8s%05ld%05ld%5.5s"
                  "%5.5s%05ld%-32.32s%-6.6s%c%08ld%08ld%c\n",
                  key, pos, key, "CUSTOMER", "ORDER", "", 400L, w, h, "", "", qty, prio, "", "", prio,
                  "CLEAR", "", ' ', 0L, 0L, letter);
    return buf;
}

inline std::string LineB(long trim, long minDistance, long minOffcut) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%08ld%05ld%05ld%05ld%05ld"
                  "%05ld%08ld%05ld%-32.32s%-23.23s%c\n",
                  0L, 0L, minOffcut, 0L, trim, minOffcut, trim, minDistance, 99990L, 99990L, 0L, 0L, 0L, 0L,
                  0L, 0L, 0L, 0L, 0L, "JOB", "", 'T');
    return buf;
}

inline std::string Piece(const char* key, long type, long w, long h, long qty, const char* id, bool turn) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "%-16.16s%-5ld%-16.16s%-12.12s%-12.12s%-8.8s%8.8s%08ld%08ld%08ld%08ld%05ld%05ld%05ld"
                  "%05ld%05ld%-32.32s%-6.6s%-16.16s%c%c\n",
                  key, type, key, "CUSTOMER", "ORDER", "", "", w, h, 0L, 0L, qty, 0L, 0L, 0L, 0L, "", "", id,
                  ' ', turn ? 'S' : 'N');
    return buf;
}

}  // namespace golden
