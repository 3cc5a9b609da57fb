// ExtractPackage: the extraction of a package into a folder by the running program, with the
// status window's progress, its disk prompt and its error boxes.
#pragma once

#include "KProgBar.h"
#include "UnPackCore.h"
#include "ZLibOpen.h"

#include <cstdint>
#include <string>

// Extracts source into destDir (see ExtractPackageWith). The disk prompt shows diskPrompt
// with caption and buttons in the character set charset; progress gets the start and step
// events. Returns false when the user cancelled a disk prompt. EZLibError leaves it when a
// record's zlib stream is damaged.
bool ExtractPackage(const std::string& source, const std::string& destDir, const std::string& agentName,
                    bool& checksumOK, ProgressObserver progress, const std::string& diskPrompt,
                    const std::string& caption, const std::string& buttons, std::uint8_t charset, bool forcePrompt,
                    std::string& runName);
