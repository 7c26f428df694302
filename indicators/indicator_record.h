#pragma once

// One discovered indicator: the item data of its list row. The row owns the
// record from its creation until the dialog is destroyed.

#include <cstdint>
#include <string>

struct IndicatorRecord {
    uint32_t address = 0;     // sender of the last accepted message, network byte order
    int64_t valid_until = 0;  // seconds since 1970 UTC; 0: no valid time
    std::string address_text;
    std::string status;
    std::string hostname;
    std::string dev_type;
    std::string usn;  // the key, never changed after creation
    std::string model_description;
    std::string description;
    // Its last fetch that ended got its answer promptly: it may fetch from
    // the fetch budget's reserve.
    bool prompt_fetch = false;
};

// Status texts of the Status column; the first three end in one blank.
inline constexpr const char kStatusOnline[] = "online ";
inline constexpr const char kStatusNew[] = "new ";
inline constexpr const char kStatusChanged[] = "changed ";
inline constexpr const char kStatusByebye[] = "byebye";
inline constexpr const char kStatusSearching[] = "searching";
inline constexpr const char kStatusLost[] = "lost";
inline constexpr const char kNoValidTime[] = "????";

inline constexpr const char kOutsideNetwork[] = "-outside network-";
inline constexpr const char kUnknown[] = "(unknown)";
inline constexpr const char kNoBody[] = "???";

enum IndicatorColumn { kColumnAddress = 0, kColumnHostname, kColumnDevType, kColumnStatus, kColumnValidUntil };

// The Valid-until cell: local time of day, or "????" when no time is set.
std::string FormatValidUntil(int64_t validUntil);
