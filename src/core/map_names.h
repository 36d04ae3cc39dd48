// The nine built-in maps, index 0 to 8, in the order the map bar and the pal information
// dialog list them. UTF-8; Cp932Text gives the form pal records store.
#pragma once

inline constexpr int kMapCount = 9;
inline constexpr const char* g_apszMapNames[kMapCount] = {"北海道", "東北", "関東", "中部", "近畿",
                                                          "中国",   "四国", "九州", "世界"};
