#pragma once

// The lunar month table: one 12-digit group of month codes per lunar year (see
// LunarTable.cpp for the codes). Only Convlunar reads it.
constexpr int kLunarFirstYear = 1841;
constexpr int kLunarLastYear = 2100;
constexpr int kLunarYearCount = kLunarLastYear - kLunarFirstYear + 1;

extern const char* const kLunarYearCodes[kLunarYearCount];
