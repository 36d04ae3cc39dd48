// Any bytes as the backup settings file: both numbers stay within their range.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "storage/backup_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const BackupPolicy policy = ParseBackupPolicy(std::string_view(reinterpret_cast<const char*>(data), size));
    for (int number : {policy.keepLast, policy.keepDays})
        if (number < 0 || number > kMaxBackupPolicyNumber) __builtin_trap();
    return 0;
}
