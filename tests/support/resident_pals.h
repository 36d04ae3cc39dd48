// A small pal data file for placement tests: four pals with residences, one known place
// each, one that names no place, and one already on a map of its own at (200, 120).
#pragma once

#include <filesystem>

void WriteResidentPals(const std::filesystem::path& file);
