// The pal data file reader on any bytes: it must never crash, leak or hang, and what it
// reads must write and read back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "core/silent_user_interface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CSilentUserInterface ui;
    CYubinoApp app(ui);
    ReadPalData(app, std::string_view(reinterpret_cast<const char*>(data), size));
    if (app.GetPalCount() > kMaxPals) std::abort();

    const std::string written = WritePalData(app);
    CYubinoApp again(ui);
    const PalDataReadResult result = ReadPalData(again, written);
    if (result.LostData() || WritePalData(again) != written) std::abort();
    return 0;
}
