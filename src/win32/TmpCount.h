#pragma once
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
// TEMPORARY measurement (not to be committed).
struct TmpTimer {
    std::string key;
    LARGE_INTEGER t0;
    explicit TmpTimer(std::string k) : key(std::move(k)) { QueryPerformanceCounter(&t0); }
    ~TmpTimer() {
        LARGE_INTEGER t1, f;
        QueryPerformanceCounter(&t1);
        QueryPerformanceFrequency(&f);
        static std::map<std::string, std::pair<double, long>>* totals = new std::map<std::string, std::pair<double, long>>;
        auto& e = (*totals)[key];
        e.first += double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(f.QuadPart);
        e.second++;
        const char* path = std::getenv("CORALVANE_TIMELOG");
        static DWORD start = GetTickCount();
        static DWORD last = start;
        const DWORD now = GetTickCount();
        if (!path || now - last < 10000) return;
        last = now;
        if (FILE* file = std::fopen(path, "w")) {
            const double secs = (now - start) / 1000.0;
            for (auto& [k, v] : *totals) std::fprintf(file, "%-34s %8ld %8.3f ms/s %8.3f ms/call\n", k.c_str(), v.second, v.first / secs, v.first / v.second);
            std::fclose(file);
        }
    }
};
