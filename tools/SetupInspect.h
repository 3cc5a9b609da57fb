// A readable account of a setup file or part file: trailer fields, flags, texts, records and
// whether the checksum holds.
#pragma once

#include <string>

struct InspectReport {
    std::string text;
    // A package whose checksum holds and whose records all decompress.
    bool sound = false;
};

InspectReport InspectPackage(const std::string& path);
