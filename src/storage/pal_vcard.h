// Pals as vCards: the cards of any address book taken as new pals, and pals written as
// vCard 4.0 or 3.0 with every field, the ones vCard has no property for as X-YUBINO-
// properties, so that what Yubino writes reads back as the same pals.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/pen_pal.h"
#include "storage/imported_pals.h"
#include "storage/vcard_reader.h"

enum class VCardVersion { V3, V4 };

// The pal a card describes: FN or N the name, NICKNAME the handle name, EMAIL the two
// addresses and a mobile-typed one, BDAY, two TEL, the home ADR the residence, URL, NOTE
// the memo, GENDER, TITLE the job, a photo embedded or a local file; X-YUBINO- properties
// override. A card without any mail address gives nothing.
std::optional<ImportedPal> PalFromVCard(const VCard& card, std::vector<ImportProblem>& problems);

// Every card of the file that names a mail address, in file order.
ImportedPals ReadVCardPals(std::string_view bytes);

// The cards of the pals, UTF-8, lines ended by CRLF and folded at 75 bytes. A pal's
// picture file (looked for as the list does, beside `dataFolder` too) is embedded when
// it can be read and is no larger than a card may carry.
// Every card has a UID; this form makes it from the address (StableUid).
std::string WriteVCards(std::span<const CPenPal> pals, VCardVersion version, const std::filesystem::path& dataFolder);
// With each pal's record (`cards` beside `pals`): its UID, revision, readings, the text the
// user gave where code page 932 lacked characters, and what the record keeps beyond the
// data file's fields.
std::string WriteVCards(std::span<const CPenPal> pals, VCardVersion version, const std::filesystem::path& dataFolder,
                        std::span<const PalCard> cards);
// A UID that stays the same for the same address, for pals without a record.
std::string StableUid(std::string_view address);
