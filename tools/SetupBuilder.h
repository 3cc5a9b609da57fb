// Writes a setup file (and its part files for a spanned set) from a description.
#pragma once

#include "Description.h"

#include <filesystem>
#include <vector>

// The files written, the setup file first. Nothing is left behind on error: every file is
// written under a temporary name and renamed only when all of them are complete.
std::vector<std::filesystem::path> BuildSetup(const SetupDescription& description);

// The largest record that a part of partSize bytes (0: no limit) with partUsed bytes written can
// take before its trailer, and that a block's signed 32-bit length can state.
std::uint64_t RecordRoom(std::uint64_t partSize, std::uint64_t partUsed);

// The contents of the text blocks, as the stub reads them.
std::string LanguageBlockOf(const std::vector<LanguageSection>& languages);
std::string AgentRecordOf(const AgentSection& agent);
std::string WebRecordOf(const WebSection& web);
