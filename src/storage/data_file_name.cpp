#include "storage/data_file_name.h"

#include "core/texts.h"

std::filesystem::path WithDataFileExtension(const std::filesystem::path& chosen) {
    if (chosen.empty() || !chosen.has_filename() || chosen.has_extension()) return chosen;
    std::filesystem::path named = chosen;
    named += '.';
    named += texts::kFileExtension;
    return named;
}
