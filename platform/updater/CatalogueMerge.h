// The user's catalogue after an update: the launcher's CONFIG.db is made anew from the
// published catalogue the update brought, with the user's favourite flags carried over by ID,
// so an update never loses a favourite. The new file is written beside CONFIG.db, synced and
// renamed over it: a failure leaves the old CONFIG.db as it was.
#pragma once

#include <filesystem>
#include <string>

// The published catalogue, relative to the run directory (the update manifest lists this one,
// never CONFIG.db, which the user's favourites change).
extern const char* const kPublishedCatalogue;

// False with `error` set when the new CONFIG.db could not be made; CONFIG.db is then unchanged.
bool MergeCatalogue(const std::filesystem::path& runDirectory, std::string* error);
